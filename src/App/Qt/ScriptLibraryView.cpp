#include "App/Qt/ScriptLibraryView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "App/Qt/ImportFileDialog.h"
#include "App/Qt/ScriptEditorView.h"
#include "App/Qt/ScriptListModel.h"
#include "App/Qt/ScriptRowDelegate.h"
#include "App/ScriptLibraryViewModel.h"
#include "Script/Script.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

namespace {

constexpr int kSidebarMinimumWidth = 220;
constexpr int kSidebarWidth = 260;

std::optional<std::filesystem::path> firstDroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().isEmpty()) return std::nullopt;
    const QUrl first = data->urls().front();  // of one drop only the first item counts
    if (!first.isLocalFile()) return std::nullopt;
    return std::filesystem::path(first.toLocalFile().toStdString());
}

}  // namespace

ScriptLibraryView::ScriptLibraryView(ScriptLibraryViewModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setObjectName("scriptLibraryView");
    setMinimumSize(780, 480);
    setAcceptDrops(true);
    chooseFile_ = [this] { return ImportFileDialog::choose(this); };
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);
    split->addWidget(makeSidebar());
    detail_ = new QStackedWidget(split);
    detail_->setObjectName("detail");
    emptyState_ = makeEmptyState();
    editor_ = new ScriptEditorView(model_, detail_);
    detail_->addWidget(emptyState_);
    detail_->addWidget(editor_);
    split->addWidget(detail_);
    split->setStretchFactor(1, 1);
    split->setSizes({kSidebarWidth, 600});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);
    changes_ = model_.observeChanges([this] { refresh(); });
    refresh();
}

ScriptLibraryView::~ScriptLibraryView() = default;

QWidget* ScriptLibraryView::makeSidebar() {
    auto* sidebar = new QWidget(this);
    sidebar->setObjectName("list");
    sidebar->setMinimumWidth(kSidebarMinimumWidth);
    auto* column = new QVBoxLayout(sidebar);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    search_ = new QLineEdit(sidebar);
    search_->setObjectName("searchField");
    search_->setPlaceholderText("Buscar");
    search_->setClearButtonEnabled(true);
    connect(search_, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.setQuery(text.toStdString()); });
    column->addWidget(search_);

    libraryError_ = new QLabel(sidebar);
    libraryError_->setObjectName("libraryErrorLabel");
    libraryError_->setWordWrap(true);
    libraryError_->setContentsMargins(Style::Spacing::compact, Style::Spacing::compact,
                                      Style::Spacing::compact, Style::Spacing::compact);
    libraryError_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    libraryError_->setStyleSheet(
        QString("QLabel { color: %1; background: %2; }")
            .arg(Style::css(Style::errorText()), Style::css(Style::errorFill(0.1))));
    libraryError_->hide();
    column->addWidget(libraryError_);

    rows_ = new ScriptListModel(model_, this);
    list_ = new QListView(sidebar);
    list_->setObjectName("scriptList");
    list_->setModel(rows_);
    list_->setItemDelegate(new ScriptRowDelegate(list_));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { listSelectionChanged(); });
    column->addWidget(list_, 1);

    auto* divider = new QFrame(sidebar);
    divider->setFrameShape(QFrame::HLine);
    column->addWidget(divider);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(Style::Spacing::compact, Style::Spacing::compact,
                            Style::Spacing::compact, Style::Spacing::compact);
    bar->setSpacing(Style::Spacing::compact);
    auto button = [&](const char* name, const char* symbol, const char* tip, auto action) {
        auto* b = new QToolButton(sidebar);
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setIcon(ViewKit::symbolIcon(symbol, palette().color(QPalette::ButtonText)));
        b->setToolTip(tip);
        connect(b, &QToolButton::clicked, this, action);
        return b;
    };
    creators_ = {
        button("newButton", "plus", "Nuevo guion", [this] { model_.newScript(); }),
        button("pasteButton", "doc.on.clipboard", "Importar del portapapeles",
               [this] { model_.importFromPasteboard(); }),
        button("importButton", "square.and.arrow.down", "Importar un archivo",
               [this] { importFromFile(); }),
    };
    for (QToolButton* creator : creators_) bar->addWidget(creator);
    bar->addStretch(1);
    duplicate_ =
        button("duplicateButton", "doc.on.doc", "Duplicar", [this] { model_.duplicateSelected(); });
    delete_ = button("deleteButton", "trash", "Borrar", [this] { model_.deleteSelected(); });
    bar->addWidget(duplicate_);
    bar->addWidget(delete_);
    column->addLayout(bar);
    return sidebar;
}

QWidget* ScriptLibraryView::makeEmptyState() {
    auto* empty = new QWidget(this);
    empty->setObjectName("emptyState");
    auto* column = new QVBoxLayout(empty);
    column->addStretch(1);
    auto* icon = new QLabel(empty);
    icon->setPixmap(
        ViewKit::symbolPixmap("text.alignleft", palette().color(QPalette::PlaceholderText), 40));
    icon->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel("Elegí un guion", empty);
    title->setObjectName("emptyStateTitle");
    title->setFont(Style::font(Style::TextRole::title3));
    title->setAlignment(Qt::AlignCenter);
    auto* description = new QLabel(
        "O arrastrá acá un .txt, .md, .rtf o un .pptx con notas del presentador.", empty);
    description->setObjectName("emptyStateDescription");
    description->setAlignment(Qt::AlignCenter);
    description->setWordWrap(true);
    description->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(icon);
    column->addWidget(title);
    column->addWidget(description);
    column->addStretch(1);
    return empty;
}

void ScriptLibraryView::refresh() {
    {
        const QSignalBlocker blocker(search_);
        const QString query = ViewKit::qText(model_.query());
        if (search_->text() != query) search_->setText(query);
    }
    rows_->refresh();
    refreshSelection();
    const auto libraryError = model_.libraryErrorText();
    libraryError_->setVisible(libraryError.has_value());
    libraryError_->setText(ViewKit::qText(libraryError.value_or("")));
    for (QToolButton* creator : creators_) creator->setEnabled(model_.canCreate());
    duplicate_->setEnabled(model_.canDuplicate());
    delete_->setEnabled(model_.canDelete());
    detail_->setCurrentWidget(model_.selected() ? static_cast<QWidget*>(editor_) : emptyState_);
    editor_->refresh();
    refreshAlert();
}

void ScriptLibraryView::refreshSelection() {
    QItemSelectionModel* selection = list_->selectionModel();
    const QSignalBlocker blocker(selection);
    const int row = rows_->rowOf(model_.selected());
    const QModelIndex shown = selection->selectedIndexes().value(0);
    if (row < 0) {
        if (shown.isValid()) selection->clearSelection();
    } else if (shown.row() != row) {
        selection->setCurrentIndex(rows_->index(row), QItemSelectionModel::ClearAndSelect);
    }
    // The blocked signals did not repaint the lines whose selection changed.
    list_->viewport()->update();
}

void ScriptLibraryView::refreshAlert() {
    const auto& error = model_.importError();
    if (!error || alert_) return;
    alert_ = new QMessageBox(QMessageBox::Warning, "No se pudo importar", ViewKit::qText(*error),
                             QMessageBox::NoButton, this);
    alert_->setObjectName("importAlert");
    alert_->addButton("Entendido", QMessageBox::RejectRole);
    alert_->setAttribute(Qt::WA_DeleteOnClose);
    connect(alert_, &QMessageBox::finished, this, [this] {
        alert_ = nullptr;
        model_.dismissImportError();
    });
    alert_->open();
}

void ScriptLibraryView::listSelectionChanged() {
    const QModelIndexList chosen = list_->selectionModel()->selectedIndexes();
    if (chosen.isEmpty()) return;
    if (auto script = rows_->scriptAt(chosen.front().row()); script && script != model_.selected())
        model_.select(std::move(script));
}

void ScriptLibraryView::importFromFile() {
    if (const auto file = chooseFile_()) model_.importFile(*file);
}

void ScriptLibraryView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    model_.appear();
}

void ScriptLibraryView::dragEnterEvent(QDragEnterEvent* event) {
    if (firstDroppedFile(event->mimeData())) event->acceptProposedAction();
}

void ScriptLibraryView::dropEvent(QDropEvent* event) {
    if (handleDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

bool ScriptLibraryView::handleDrop(const QMimeData* data) {
    const auto file = firstDroppedFile(data);
    if (!file) return false;
    // The drop is taken at once; the import runs after the drop has ended.
    QMetaObject::invokeMethod(
        this, [this, path = *file] { model_.importFile(path); }, Qt::QueuedConnection);
    return true;
}

}  // namespace vorela
