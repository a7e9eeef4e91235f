#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace vorela {

class Bookmark;
class ScriptBodyEditor;
class ScriptLibraryViewModel;

// The detail column while a script is selected: title and body, saved as they are
// edited; the word count, reading time and bookmark count; the load button; the
// bookmark strip, where a click jumps and the context menu removes. Reads everything
// from the model in refresh(), which never writes back.
class ScriptEditorView final : public QWidget {
    Q_OBJECT

public:
    explicit ScriptEditorView(ScriptLibraryViewModel& model, QWidget* parent = nullptr);
    void refresh();

private:
    void rebuildBookmarkStrip();

    ScriptLibraryViewModel& model_;
    QLineEdit* title_ = nullptr;
    QLabel* wordCount_ = nullptr;
    QLabel* readingTime_ = nullptr;
    QLabel* bookmarkCount_ = nullptr;
    QPushButton* load_ = nullptr;
    ScriptBodyEditor* body_ = nullptr;
    QWidget* saveError_ = nullptr;  // the failed-save notice with its retry button
    QLabel* saveErrorText_ = nullptr;
    QScrollArea* strip_ = nullptr;
    QWidget* stripContent_ = nullptr;
    QHBoxLayout* stripRow_ = nullptr;
    std::vector<std::shared_ptr<Bookmark>> shownBookmarks_;
    // The model's draft body that the body editor holds; while the user types, the editor
    // is the draft, and its text is neither read back nor compared.
    std::uint64_t shownBodyRevision_ = 0;
    bool isTypingBody_ = false;
};

}  // namespace vorela
