#include "App/Qt/ScriptEditorView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "App/Qt/ScriptBodyEditor.h"
#include "App/ScriptLibraryViewModel.h"
#include "Script/Bookmark.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

namespace {

using Style::TextRole;
namespace Spacing = Style::Spacing;

QLabel* captionLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(Style::font(TextRole::caption));
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

}  // namespace

ScriptEditorView::ScriptEditorView(ScriptLibraryViewModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setObjectName("editor");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(Spacing::large, Spacing::large, Spacing::large, Spacing::large);
    column->setSpacing(Spacing::medium);

    title_ = new QLineEdit(this);
    title_->setObjectName("titleField");
    title_->setPlaceholderText("Título");
    title_->setFrame(false);
    title_->setFont(Style::font(TextRole::title2));
    title_->setStyleSheet("QLineEdit { background: transparent; }");
    connect(title_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.editTitle(text.toStdString()); });
    connect(title_, &QLineEdit::returnPressed, this, [this] { model_.saveDraft(); });
    column->addWidget(title_);

    auto* info = new QHBoxLayout;
    info->setSpacing(Spacing::regular);
    wordCount_ = captionLabel("wordCountLabel", this);
    readingTime_ = captionLabel("readingTimeLabel", this);
    bookmarkCount_ = captionLabel("bookmarkCountLabel", this);
    load_ = new QPushButton("Cargar en el prompter", this);
    load_->setObjectName("loadButton");
    load_->setDefault(true);
    connect(load_, &QPushButton::clicked, this, [this] { model_.loadIntoPrompter(); });
    info->addWidget(wordCount_);
    info->addWidget(readingTime_);
    info->addWidget(bookmarkCount_);
    info->addStretch(1);
    info->addWidget(load_);
    column->addLayout(info);

    saveError_ = new QWidget(this);
    saveError_->setObjectName("saveErrorNotice");
    saveError_->setStyleSheet(
        QString("#saveErrorNotice { background: %1; }").arg(Style::css(Style::errorFill(0.12))));
    auto* notice = new QHBoxLayout(saveError_);
    notice->setContentsMargins(Spacing::compact, Spacing::small, Spacing::compact, Spacing::small);
    saveErrorText_ = new QLabel(saveError_);
    saveErrorText_->setObjectName("saveErrorLabel");
    saveErrorText_->setWordWrap(true);
    saveErrorText_->setStyleSheet(
        QString("QLabel { color: %1; }").arg(Style::css(Style::errorText())));
    // Two lines at the least: a wrapped label is otherwise squeezed by the body's stretch.
    saveErrorText_->setMinimumHeight(2 * saveErrorText_->fontMetrics().lineSpacing() + 4);
    auto* retry = new QPushButton("Reintentar", saveError_);
    retry->setObjectName("retrySaveButton");
    connect(retry, &QPushButton::clicked, this, [this] { model_.retrySave(); });
    notice->addWidget(saveErrorText_, 1);
    notice->addWidget(retry);
    saveError_->hide();
    column->addWidget(saveError_);

    body_ = new ScriptBodyEditor(this);
    body_->setObjectName("bodyEditor");
    body_->setFont(Style::font(TextRole::bodyLarge));
    body_->setFrameShape(QFrame::NoFrame);
    body_->setStyleSheet(QString("QPlainTextEdit { background: %1; border-radius: 8px; }")
                             .arg(Style::css(Style::neutral(0.12))));
    connect(body_, &QPlainTextEdit::textChanged, this, [this] {
        const QScopedValueRollback typing(isTypingBody_, true);
        model_.editBody(body_->body().toStdString());
    });
    column->addWidget(body_, 1);

    strip_ = new QScrollArea(this);
    strip_->setObjectName("bookmarkList");
    strip_->setFixedHeight(34);
    strip_->setFrameShape(QFrame::NoFrame);
    strip_->setWidgetResizable(true);
    strip_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    strip_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stripContent_ = new QWidget(strip_);
    stripRow_ = new QHBoxLayout(stripContent_);
    stripRow_->setContentsMargins(0, 0, 0, 0);
    stripRow_->setSpacing(Spacing::compact);
    strip_->setWidget(stripContent_);
    column->addWidget(strip_);
    refresh();
}

void ScriptEditorView::refresh() {
    const QSignalBlocker titleBlocker(title_);
    const QSignalBlocker bodyBlocker(body_);
    const QString title = ViewKit::qText(model_.draftTitle());
    if (title_->text() != title) title_->setText(title);
    // Replacing an equal text would move the cursor to the start while the user types.
    if (!isTypingBody_ && shownBodyRevision_ != model_.draftBodyRevision()) {
        const QString body = ViewKit::qText(model_.draftBody());
        if (body_->body() != body) body_->setBody(body);
    }
    shownBodyRevision_ = model_.draftBodyRevision();
    // A script too large to open shows why instead of its body, and cannot be loaded.
    const bool tooLarge = model_.isSelectedTooLarge();
    body_->setReadOnly(tooLarge);
    body_->setPlaceholderText(tooLarge ? ViewKit::qText(model_.tooLargeText()) : QString());
    wordCount_->setVisible(!tooLarge);
    readingTime_->setVisible(!tooLarge);
    wordCount_->setText(ViewKit::qText(model_.wordCountText()));
    readingTime_->setText(ViewKit::qText(model_.readingTimeText()));
    const auto bookmarks = model_.bookmarkCountText();
    bookmarkCount_->setVisible(bookmarks.has_value());
    bookmarkCount_->setText(ViewKit::qText(bookmarks.value_or("")));
    load_->setEnabled(model_.selected() != nullptr && !tooLarge);
    // Stays until a save succeeds: the user must know the text on screen is not on disk.
    const auto saveError = model_.saveErrorText();
    saveError_->setVisible(saveError.has_value());
    saveErrorText_->setText(ViewKit::qText(saveError.value_or("")));
    rebuildBookmarkStrip();
}

void ScriptEditorView::rebuildBookmarkStrip() {
    auto bookmarks = model_.bookmarks();
    strip_->setVisible(!bookmarks.empty());
    if (bookmarks == shownBookmarks_) return;
    shownBookmarks_ = bookmarks;
    while (QLayoutItem* item = stripRow_->takeAt(0)) {
        if (QWidget* widget = item->widget()) widget->deleteLater();
        delete item;
    }
    for (const auto& bookmark : bookmarks) {
        auto* button = new QToolButton(stripContent_);
        button->setObjectName("bookmarkButton");
        button->setText(ViewKit::qText(bookmark->label()));
        button->setIcon(
            ViewKit::symbolIcon("bookmark.fill", palette().color(QPalette::ButtonText)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setFont(Style::font(TextRole::caption));
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        // Weakly held: a click after the bookmark was removed elsewhere does nothing.
        std::weak_ptr<Bookmark> weak = bookmark;
        connect(button, &QToolButton::clicked, this, [this, weak] {
            if (auto b = weak.lock(); b && !b->isDeleted()) model_.jumpToBookmark(b);
        });
        auto* menu = new QMenu(button);
        menu->setObjectName("bookmarkMenu");
        QAction* remove = menu->addAction("Quitar marcador");
        remove->setObjectName("removeBookmarkAction");
        connect(remove, &QAction::triggered, this, [this, weak] {
            if (auto b = weak.lock()) model_.removeBookmark(b);
        });
        connect(button, &QToolButton::customContextMenuRequested, button,
                [button, menu](const QPoint& at) { menu->popup(button->mapToGlobal(at)); });
        stripRow_->addWidget(button);
    }
    stripRow_->addStretch(1);
}

}  // namespace vorela
