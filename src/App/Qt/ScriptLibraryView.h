#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Observation/Subscription.h"

class QLabel;
class QLineEdit;
class QMimeData;
class QMessageBox;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vorela {

class Script;
class ScriptEditorView;
class ScriptLibraryViewModel;

// The upper area of the main window: the scripts grouped by folder under a search field,
// the buttons that create, import, duplicate and delete, and the editor or the empty
// state beside them. Takes dropped files (the first of a drop only) and shows a failed
// import in an alert. Everything it shows comes from the model in refresh().
class ScriptLibraryView final : public QWidget {
    Q_OBJECT

public:
    // Answers the file the user chose, or nothing when the dialog was cancelled.
    using FileChooser = std::function<std::optional<std::filesystem::path>()>;

    explicit ScriptLibraryView(ScriptLibraryViewModel& model, QWidget* parent = nullptr);
    ~ScriptLibraryView() override;
    ScriptLibraryView(const ScriptLibraryView&) = delete;
    ScriptLibraryView& operator=(const ScriptLibraryView&) = delete;
    ScriptLibraryView(ScriptLibraryView&&) = delete;
    ScriptLibraryView& operator=(ScriptLibraryView&&) = delete;

    // Replaces the desktop's open dialog (tests choose without a modal dialog).
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void refresh();
    // Of one drop only the first item counts, and only a local file: false refuses it.
    bool handleDrop(const QMimeData* data);

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* makeSidebar();
    QWidget* makeEmptyState();
    void refreshList();
    void refreshAlert();
    void listSelectionChanged();
    void importFromFile();

    ScriptLibraryViewModel& model_;
    FileChooser chooseFile_;
    QLineEdit* search_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* libraryError_ = nullptr;
    std::vector<QToolButton*> creators_;  // new, paste and import: off without a library
    QToolButton* duplicate_ = nullptr;
    QToolButton* delete_ = nullptr;
    QStackedWidget* detail_ = nullptr;
    QWidget* emptyState_ = nullptr;
    ScriptEditorView* editor_ = nullptr;
    QMessageBox* alert_ = nullptr;
    std::vector<std::shared_ptr<Script>> rowScripts_;  // the script of each row, in order
    std::vector<QTreeWidgetItem*> rowItems_;
    std::vector<std::string> shownSections_;
    // Last: its callback reaches the widgets above.
    Subscription changes_;
};

}  // namespace vorela
