#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "Shortcuts/RecorderController.h"

class QLabel;

namespace vorela::Shortcuts {

class ShortcutRecorder;

// A shortcut kept by its caller: read when the row refreshes, written when the user records
// or clears.
struct ShortcutBinding {
    std::function<std::optional<Shortcut>()> get;
    std::function<void(std::optional<Shortcut>)> set;
};

// A labelled recorder row, as a settings form shows one per named shortcut: the label
// ("label", absent without a title) and then the recorder ("recorder"); below them, while
// the shortcut shown is one the system holds, the recorder's own words for that
// ("takenBySystem"), since such a shortcut shows but never works. Bound to a name or to a
// caller's shortcut; refresh() brings a changed binding or conflict policy into the control
// without calling onChange. The context must outlive the row. Main thread.
class RecorderRow final : public QWidget {
    Q_OBJECT

public:
    RecorderRow(Context& context, std::optional<std::string> title, const Name& name,
                RecorderController::OnChange onChange = {}, QWidget* parent = nullptr);
    RecorderRow(Context& context, std::optional<std::string> title, ShortcutBinding binding,
                RecorderController::OnChange onChange = {}, QWidget* parent = nullptr);
    ~RecorderRow() override;
    RecorderRow(const RecorderRow&) = delete;
    RecorderRow& operator=(const RecorderRow&) = delete;
    RecorderRow(RecorderRow&&) = delete;
    RecorderRow& operator=(RecorderRow&&) = delete;

    // shortcutValidation(_:): the screen's own acceptance test, asked last.
    void setShortcutValidation(RecorderController::Validator validator);
    // Takes effect from the next recorded shortcut.
    void setOnChange(RecorderController::OnChange onChange) { onChange_ = std::move(onChange); }
    void refresh();

    ShortcutRecorder& recorder() { return *recorder_; }
    QLabel* label() const { return label_; }
    QLabel* takenNote() const { return takenNote_; }

private:
    void build(const std::optional<std::string>& title);
    void changed(std::optional<Shortcut> shortcut);
    void showWhetherTaken();

    std::optional<ShortcutBinding> binding_;
    RecorderController::OnChange onChange_;
    QLabel* label_ = nullptr;
    QLabel* takenNote_ = nullptr;
    ShortcutRecorder* recorder_ = nullptr;
};

}  // namespace vorela::Shortcuts
