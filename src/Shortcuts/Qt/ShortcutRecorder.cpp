#include "Shortcuts/Qt/ShortcutRecorder.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <utility>

#include "Shortcuts/Context.h"
#include "Shortcuts/Qt/ConflictPolicyScope.h"
#include "Shortcuts/Qt/QtKeys.h"
#include "Shortcuts/ShortcutTexts.h"

namespace vorela::Shortcuts {
namespace {

// The width the control asks for, in points.
constexpr int kMinimumWidth = 130;
// A click this close to the control still counts as on it.
constexpr int kClickSlop = 3;

bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
            return true;
        default:
            return false;
    }
}

}  // namespace

ShortcutRecorder::ShortcutRecorder(Context& context, const Name& name,
                                   RecorderController::OnChange onChange, QWidget* parent)
    : QLineEdit(parent) {
    configureView();
    controller_ = std::make_unique<RecorderController>(context, name, std::move(onChange),
                                                       static_cast<RecorderDelegate&>(*this));
    displayChanged();
}

ShortcutRecorder::ShortcutRecorder(Context& context, std::optional<Shortcut> shortcut,
                                   RecorderController::OnChange onChange, QWidget* parent)
    : QLineEdit(parent) {
    configureView();
    controller_ = std::make_unique<RecorderController>(context, shortcut, std::move(onChange),
                                                       static_cast<RecorderDelegate&>(*this));
    displayChanged();
}

ShortcutRecorder::~ShortcutRecorder() {
    if (isFilteringClicks_) qApp->removeEventFilter(this);
    // The controller gives its pause back; nothing may call into this widget after that.
    controller_.reset();
}

void ShortcutRecorder::configureView() {
    setObjectName("recorder");
    setAlignment(Qt::AlignCenter);
    // Keys are recorded, never typed or composed.
    setReadOnly(true);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    cancelButton_ = addAction(style()->standardIcon(QStyle::SP_LineEditClearButton),
                              QLineEdit::TrailingPosition);
    cancelButton_->setObjectName("cancelButton");
    cancelButton_->setVisible(false);
    connect(cancelButton_, &QAction::triggered, this, [this] { controller_->clear(); });
}

QSize ShortcutRecorder::sizeHint() const { return {kMinimumWidth, QLineEdit::sizeHint().height()}; }

void ShortcutRecorder::displayChanged() {
    setText(QString::fromStdString(controller_ ? controller_->text() : std::string()));
    setPlaceholderText(QString::fromStdString(controller_ ? controller_->placeholder()
                                                          : localizedText("record_shortcut")));
    cancelButton_->setVisible(controller_ && controller_->isClearButtonVisible());
    emit displayUpdated();
}

void ShortcutRecorder::startRecording() {
    controller_->setConflictPolicy(shortcutsConflictPolicy(this));
    controller_->beginRecording();
    if (!isFilteringClicks_) {
        qApp->installEventFilter(this);
        isFilteringClicks_ = true;
    }
}

void ShortcutRecorder::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // The focus a window hands its first control when it opens or comes back does not
    // start recording; a click, Tab or our own hand-back does.
    const auto reason = event->reason();
    const bool isHandedBack = std::exchange(resumesOnFocus_, false);
    if (!isHandedBack &&
        (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)) {
        return;
    }
    startRecording();
}

void ShortcutRecorder::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason) return;
    if (isFilteringClicks_) {
        qApp->removeEventFilter(this);
        isFilteringClicks_ = false;
    }
    controller_->endRecording();
}

void ShortcutRecorder::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (hasFocus() && !controller_->isRecording()) startRecording();
}

bool ShortcutRecorder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease || !controller_->isRecording()) {
        return QLineEdit::eventFilter(watched, event);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint local = mapFromGlobal(mouse->globalPosition().toPoint());
    const QRect grown = rect().adjusted(-kClickSlop, -kClickSlop, kClickSlop, kClickSlop);
    if (grown.contains(local)) return true;
    endEditing();
    return false;
}

bool ShortcutRecorder::event(QEvent* event) {
    if (controller_ && controller_->isRecording()) {
        if (event->type() == QEvent::ShortcutOverride) {
            // Every key is ours while recording, the window's shortcuts included.
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto& key = static_cast<QKeyEvent&>(*event);
            if (handleKeyPress(key)) return true;
            return QLineEdit::event(event);
        }
        if (event->type() == QEvent::KeyRelease) return true;
    }
    return QLineEdit::event(event);
}

bool ShortcutRecorder::handleKeyPress(QKeyEvent& event) {
    // Modifiers alone are not key presses on every platform: they wait for a key.
    if (isModifierKey(event.key())) return true;
    KeyEvent key = keyEventFrom(event, &controller_->context().keyboardLayout());
    if (key.type == KeyEvent::Type::other) {
        beep();
        return true;
    }
    if (event.key() == Qt::Key_Backtab) {
        key.modifierFlags = key.modifierFlags.without(ModifierFlags::shift);
    }
    // Editing ends once the decision is made: Tab keeps the focus for the window to move.
    isHandlingKey_ = true;
    endsEditing_ = false;
    const KeyDecision decision = controller_->handleKeyDown(key);
    isHandlingKey_ = false;
    if (decision == KeyDecision::passOn) return false;
    if (std::exchange(endsEditing_, false) && !controller_->isRecording() && hasFocus()) {
        clearFocus();
    }
    return true;
}

void ShortcutRecorder::endEditing() {
    controller_->endRecording();
    if (isHandlingKey_) {
        endsEditing_ = true;
    } else if (hasFocus()) {
        clearFocus();
    }
}

void ShortcutRecorder::beginEditing() {
    if (!window() || !isVisible()) return;
    if (hasFocus() && isActiveWindow()) {
        startRecording();
        return;
    }
    // An alert has the focus still or gives it back with the window: record when it comes.
    resumesOnFocus_ = true;
    setFocus(Qt::OtherFocusReason);
}

void ShortcutRecorder::beep() { QApplication::beep(); }

std::unique_ptr<QMessageBox> ShortcutRecorder::makeAlertBox(const RecorderAlert& alert,
                                                            QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setObjectName("recorderAlert");
    box->setIcon(QMessageBox::Warning);
    box->setText(QString::fromStdString(alert.title));
    if (alert.message) box->setInformativeText(QString::fromStdString(*alert.message));
    const auto titles =
        alert.buttons.empty() ? std::vector<std::string>{localizedText("ok")} : alert.buttons;
    for (const auto& title : titles) {
        box->addButton(QString::fromStdString(title), QMessageBox::AcceptRole);
    }
    return box;
}

int ShortcutRecorder::runAlert(const RecorderAlert& alert) {
    if (presentAlert_) return presentAlert_(alert, window());
    const auto box = makeAlertBox(alert, window());
    box->exec();
    const QAbstractButton* clicked = box->clickedButton();
    for (std::size_t i = 0; clicked && i < alert.buttons.size(); ++i) {
        if (clicked->text() == QString::fromStdString(alert.buttons[i])) {
            return kFirstButtonResponse + static_cast<int>(i);
        }
    }
    return kFirstButtonResponse;
}

}  // namespace vorela::Shortcuts
