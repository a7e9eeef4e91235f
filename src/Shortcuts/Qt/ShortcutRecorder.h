#pragma once

#include <QLineEdit>
#include <functional>
#include <memory>
#include <optional>

#include "Shortcuts/RecorderController.h"

class QAction;
class QMessageBox;

namespace vorela::Shortcuts {

// The one-line field in which the user sees and records a shortcut. Its clear button
// ("cancelButton") shows exactly when a shortcut is shown. With the keyboard focus (a click,
// Tab, or the focus handed back after an alert) it records the next key press; the focus
// a window gives its first control when it opens does not start recording. While it records
// it pauses the global shortcuts, takes every key before the window's own shortcuts, and a
// click farther than 3 points from it ends recording. No input method composes into it.
// The decisions are RecorderController's; this class only translates Qt's events.
class ShortcutRecorder final : public QLineEdit, private RecorderDelegate {
    Q_OBJECT

public:
    using AlertPresenter = std::function<int(const RecorderAlert&, QWidget* parent)>;

    // The context must outlive the control.
    ShortcutRecorder(Context& context, const Name& name, RecorderController::OnChange onChange = {},
                     QWidget* parent = nullptr);
    ShortcutRecorder(Context& context, std::optional<Shortcut> shortcut,
                     RecorderController::OnChange onChange = {}, QWidget* parent = nullptr);
    ~ShortcutRecorder() override;
    ShortcutRecorder(const ShortcutRecorder&) = delete;
    ShortcutRecorder& operator=(const ShortcutRecorder&) = delete;
    ShortcutRecorder(ShortcutRecorder&&) = delete;
    ShortcutRecorder& operator=(ShortcutRecorder&&) = delete;

    RecorderController& controller() { return *controller_; }
    // How alerts are shown (a modal message box by default); tests answer them.
    void setAlertPresenter(AlertPresenter presenter) { presentAlert_ = std::move(presenter); }
    // The message box the default presenter runs.
    static std::unique_ptr<QMessageBox> makeAlertBox(const RecorderAlert& alert, QWidget* parent);

    QSize sizeHint() const override;

signals:
    // What the control shows changed: its text, placeholder or clear button.
    void displayUpdated();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void configureView();
    void startRecording();
    bool handleKeyPress(QKeyEvent& event);

    // RecorderDelegate
    void endEditing() override;
    void beginEditing() override;
    void beep() override;
    int runAlert(const RecorderAlert& alert) override;
    void displayChanged() override;

    QAction* cancelButton_ = nullptr;
    AlertPresenter presentAlert_;
    bool isHandlingKey_ = false;
    bool endsEditing_ = false;
    bool resumesOnFocus_ = false;
    bool isFilteringClicks_ = false;
    std::unique_ptr<RecorderController> controller_;
};

}  // namespace vorela::Shortcuts
