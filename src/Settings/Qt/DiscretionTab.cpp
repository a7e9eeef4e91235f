#include "Settings/Qt/DiscretionTab.h"

#include <QDateTime>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "App/AppState.h"
#include "App/PanelController.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Workspace/DesktopSettings.h"
#include "Platform/Workspace/Workspace.h"
#include "Prefs/Prefs.h"
#include "Settings/StealthCheckPresentation.h"
#include "Settings/StealthChecker.h"
#include "Settings/StealthMeasure.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

namespace {

using Style::DesktopText;
using ViewKit::qText;

constexpr int kEvidenceMaxHeight = 90;  // points

QLabel* label(const char* name, const QString& text, DesktopText role = DesktopText::body,
              bool bold = false) {
    auto* l = new QLabel(text);
    l->setObjectName(name);
    l->setWordWrap(true);
    l->setFont(Style::desktopFont(role, l->font(), bold ? QFont::Bold : QFont::Normal));
    return l;
}

// Secondary text: the palette's placeholder colour, as the desktop dims hints.
void setSecondary(QLabel* l) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::PlaceholderText));
    l->setPalette(p);
}

void setTextColor(QLabel* l, const QColor& color) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
}

QPixmap iconPixmap(const char* symbol, const QColor& tint) {
    return ViewKit::symbolPixmap(symbol, tint, 18);
}

// One numbered step of the guide, as two rows of the guide's grid: the badge beside the
// title, the detail under it. A grid keeps the wrapped detail's height; nested boxes
// lost it in the scroll area.
void addStep(QGridLayout* grid, int number, const char* title, const char* detail) {
    const int row = grid->rowCount();
    auto* badge = label("stepBadge", QString::number(number), DesktopText::caption, true);
    badge->setWordWrap(false);
    badge->setAlignment(Qt::AlignCenter);
    badge->setFixedSize(18, 18);
    badge->setStyleSheet(
        QString("background: %1; border-radius: 9px;").arg(Style::css(Style::neutral(0.18))));
    grid->addWidget(badge, row, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(label("stepTitle", QString::fromUtf8(title), DesktopText::body, true), row, 1);
    auto* detailLabel = label("stepDetail", QString::fromUtf8(detail), DesktopText::footnote);
    setSecondary(detailLabel);
    grid->addWidget(detailLabel, row + 1, 1);
    grid->setRowMinimumHeight(row + 2, 12);  // the spacing between steps
}

}  // namespace

DiscretionTab::DiscretionTab(AppState& appState, PanelController& panelController, Screens& screens,
                             Workspace& workspace, std::unique_ptr<StealthChecker> checker,
                             QWidget* parent)
    : QWidget(parent),
      appState_(appState),
      panelController_(panelController),
      screens_(screens),
      workspace_(workspace),
      checker_(std::move(checker)) {
    setObjectName("discretionTab");
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("discretionScroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    content_ = new QWidget;
    auto* column = new QVBoxLayout(content_);
    column->setContentsMargins(Style::Spacing::section, Style::Spacing::section,
                               Style::Spacing::section, Style::Spacing::section);
    column->setSpacing(Style::Spacing::large);
    column->addWidget(makeVerifierCard());
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    column->addWidget(divider);
    column->addWidget(makeGuide());
    column->addStretch(1);
    scroll->setWidget(content_);
    content_->installEventFilter(this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    const auto changed = [this](const auto&) { refresh(); };
    observations_.push_back(checker_->status.observe(changed));
    observations_.push_back(checker_->evidence.observe([this](const auto&) { showEvidence(); }));
    observations_.push_back(panelController_.isVisible.observe(changed));
    refresh();
    showEvidence();
}

// The checker goes after the observations; its last act may switch the pattern off.
DiscretionTab::~DiscretionTab() { observations_.clear(); }

QWidget* DiscretionTab::makeVerifierCard() {
    auto* card = new QWidget;
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(Style::Spacing::medium);
    column->addWidget(label("verifierTitle", "Verificá tu setup", DesktopText::heading, true));
    column->addWidget(label(
        "verifierIntro",
        "Vamos a pintar el panel de un color plano, grabar tu pantalla completa con la misma API "
        "que usan Zoom, Meet y Teams, y contar si ese color aparece. Tarda unos segundos y no se "
        "guarda ninguna imagen fuera de esta ventana.",
        DesktopText::footnote));

    auto* row = new QHBoxLayout;
    row->setSpacing(Style::Spacing::regular);
    verifyButton_ = new QPushButton;
    verifyButton_->setObjectName("verifyButton");
    verifyButton_->setDefault(true);
    connect(verifyButton_, &QPushButton::clicked, this, [this] { run(); });
    row->addWidget(verifyButton_);
    panelHint_ = label("panelHint", "Mostrá el panel primero.", DesktopText::footnote);
    panelHint_->setWordWrap(false);
    setSecondary(panelHint_);
    row->addWidget(panelHint_);
    row->addStretch(1);
    column->addLayout(row);

    progress_ = new QProgressBar;
    progress_->setObjectName("checkProgress");
    progress_->setRange(0, 0);  // busy
    progress_->setMaximumSize(120, 8);
    progress_->setTextVisible(false);
    column->addWidget(progress_);

    resultBox_ = new QWidget;
    resultBox_->setObjectName("checkResult");
    auto* result = new QHBoxLayout(resultBox_);
    result->setContentsMargins(0, 0, 0, 0);
    resultIcon_ = new QLabel;
    resultIcon_->setObjectName("resultIcon");
    result->addWidget(resultIcon_, 0, Qt::AlignTop);
    auto* lines = new QVBoxLayout;
    lines->setSpacing(Style::Spacing::hairline);
    resultTitle_ = label("resultTitle", {}, DesktopText::body, true);
    resultDetail_ = label("resultDetail", {}, DesktopText::caption);
    setSecondary(resultDetail_);
    resultAdvice_ = label("resultAdvice", {}, DesktopText::footnote);
    lines->addWidget(resultTitle_);
    lines->addWidget(resultDetail_);
    lines->addWidget(resultAdvice_);
    permissionsButton_ = new QPushButton("Abrir permisos de grabación de pantalla");
    permissionsButton_->setObjectName("permissionsButton");
    permissionsButton_->setFlat(true);
    permissionsButton_->setCursor(Qt::PointingHandCursor);
    permissionsButton_->setStyleSheet(
        QString("QPushButton { color: %1; border: none; padding: 0; text-align: left; }")
            .arg(Style::css(Style::accent())));
    connect(permissionsButton_, &QPushButton::clicked, this, [this] { openPermissions(); });
    lines->addWidget(permissionsButton_, 0, Qt::AlignLeft);
    permissionsProblem_ = label("permissionsProblem", {}, DesktopText::footnote);
    setTextColor(permissionsProblem_, Style::orange());
    lines->addWidget(permissionsProblem_);
    result->addLayout(lines, 1);
    column->addWidget(resultBox_);

    storedLine_ = label("storedResult", {}, DesktopText::footnote);
    column->addWidget(storedLine_);

    evidenceBox_ = new QWidget;
    evidenceBox_->setObjectName("evidence");
    auto* evidence = new QVBoxLayout(evidenceBox_);
    evidence->setContentsMargins(0, 0, 0, 0);
    evidence->setSpacing(Style::Spacing::tiny);
    auto* caption = label("evidenceCaption",
                          "Lo que vio la captura, en la región del panel:", DesktopText::caption);
    setSecondary(caption);
    evidence->addWidget(caption);
    evidenceImage_ = new QLabel;
    evidenceImage_->setObjectName("evidenceImage");
    evidenceImage_->setAccessibleName("Recorte de la captura en la región del panel");
    evidence->addWidget(evidenceImage_, 0, Qt::AlignLeft);
    column->addWidget(evidenceBox_);
    return card;
}

QWidget* DiscretionTab::makeGuide() {
    auto* guide = new QWidget;
    auto* column = new QVBoxLayout(guide);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(Style::Spacing::regular);
    column->addWidget(
        label("guideTitle", "Cómo compartir sin que se vea", DesktopText::heading, true));
    auto* order =
        label("guideOrder", "En orden de fiabilidad real, no de comodidad:", DesktopText::footnote);
    setSecondary(order);
    column->addWidget(order);
    auto* steps = new QGridLayout;
    steps->setHorizontalSpacing(Style::Spacing::medium);
    steps->setVerticalSpacing(Style::Spacing::hairline);
    steps->setColumnStretch(1, 1);
    addStep(steps, 1, "Compartí una ventana, no la pantalla",
            "El prompter nunca aparece y no depende de ninguna API. En Zoom: "
            "Compartir pantalla, pestaña Básico, elegí la ventana. En Meet: "
            "Presentar ahora, Una ventana. En Teams: Compartir, y elegí la ventana.");
    addStep(steps, 2, "Presentá desde un monitor externo",
            "Compartí la pantalla del monitor y dejá el prompter en la de tu "
            "portátil. Tampoco aparece.");
    addStep(steps, 3, "Pantalla completa: verificá",
            "Acá es donde decide el sistema de ventanas, y donde el resultado "
            "depende de tu escritorio. Corré el verificador de arriba en tu equipo "
            "antes de una reunión importante.");
    column->addLayout(steps);
    auto* note = label("guideNote",
                       "Linux no ofrece ninguna API pública que garantice que una ventana quede "
                       "fuera de una captura de pantalla completa. Por eso esta app no te promete "
                       "que sea invisible: te da la herramienta para comprobarlo en tu equipo.",
                       DesktopText::footnote);
    setSecondary(note);
    column->addWidget(note);
    return guide;
}

// The scroll area sizes its column without asking how tall the wrapped texts get at the
// width they are given, and squeezes them to one line: the column asks for that height
// whenever its width or its contents change.
bool DiscretionTab::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == content_ && (type == QEvent::Resize || type == QEvent::LayoutRequest)) {
        const int wanted = content_->layout()->totalHeightForWidth(content_->width());
        if (wanted != content_->minimumHeight()) content_->setMinimumHeight(wanted);
    }
    return QWidget::eventFilter(watched, event);
}

void DiscretionTab::run() {
    PanelWindow* panel = panelController_.panel();
    if (!panel) return;
    const Rect frame = panel->frameOnScreen();
    const auto screen = StealthMeasure::screenOf(frame, screens_.screens());
    if (!screen) return;
    checker_->run(frame, *screen,
                  [&state = appState_](bool on) { state.showsStealthTestPattern.set(on); });
}

void DiscretionTab::refresh() {
    using Outcome = StealthCheckPresentation::Outcome;
    const auto stored = Prefs::get(Prefs::Keys::lastStealthResult());
    const auto p = StealthCheckPresentation::make({
        .status = checker_->status.get(),
        .isPanelVisible = panelController_.isVisible.get(),
        .stored = stored,
        .isResultStale = checker_->isResultStale(),
        .formatDate =
            [](Date d) {
                const auto when = QDateTime::fromMSecsSinceEpoch(qint64(d.secondsSince1970 * 1000));
                return QLocale().toString(when, "d MMM yyyy, HH:mm").toStdString();
            },
        .hasCapturePermission =
            workspace_.offers(std::string(StealthCheckPresentation::kPermissionsUrl)),
    });
    verifyButton_->setText(qText(p.buttonTitle));
    verifyButton_->setEnabled(p.isButtonEnabled);
    panelHint_->setVisible(p.showsPanelHint);
    progress_->setVisible(p.outcome == Outcome::progress);

    const bool isDone = p.outcome == Outcome::done;
    resultBox_->setVisible(isDone || p.outcome == Outcome::failed);
    if (isDone) {
        resultIcon_->setPixmap(p.isVisible
                                   ? iconPixmap("exclamationmark.triangle.fill", Style::orange())
                                   : iconPixmap("checkmark.seal.fill", Style::green()));
    } else {
        resultIcon_->setPixmap(iconPixmap("exclamationmark.triangle", Style::orange()));
    }
    resultTitle_->setText(qText(p.title));
    QFont titleFont = resultTitle_->font();
    titleFont.setBold(isDone);
    resultTitle_->setFont(titleFont);
    resultDetail_->setText(qText(p.detail));
    resultDetail_->setVisible(isDone);
    resultAdvice_->setText(qText(p.advice));
    resultAdvice_->setVisible(!p.advice.empty());
    permissionsButton_->setVisible(p.showsPermissionsAction);
    if (!p.showsPermissionsAction) permissionsProblem_->hide();

    storedLine_->setVisible(p.outcome == Outcome::stored);
    storedLine_->setText(qText(p.storedLine));
    if (p.isStale) {
        setTextColor(storedLine_, Style::orange());
    } else {
        setSecondary(storedLine_);
    }
}

void DiscretionTab::openPermissions() {
    // A link that opens nothing says why rather than leaving the user waiting.
    const bool opened = workspace_.openURL(std::string(StealthCheckPresentation::kPermissionsUrl));
    permissionsProblem_->setText(opened ? QString()
                                        : qText(Bundle::localized(DesktopSettings::missingToolText(
                                              SettingsPage::screenCapture))));
    permissionsProblem_->setVisible(!opened);
}

void DiscretionTab::showEvidence() {
    const auto& evidence = checker_->evidence.get();
    evidenceBox_->setVisible(evidence.has_value());
    if (!evidence) {
        evidenceImage_->clear();
        return;
    }
    const CapturedImage& crop = evidence->image;
    const QImage image(crop.rgba.data(), crop.width, crop.height, crop.width * 4,
                       QImage::Format_RGBA8888);
    QSizeF size(evidence->displaySize.width, evidence->displaySize.height);
    if (size.height() > kEvidenceMaxHeight) size *= kEvidenceMaxHeight / size.height();
    const QSize shown = size.toSize().expandedTo(QSize(1, 1));
    const qreal scale = devicePixelRatioF();
    QPixmap pixmap(shown * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(shown)), 6, 6);
    painter.setClipPath(shape);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(shown)), image);
    // Twice as wide and clipped to the shape: the one point inside it remains.
    painter.setPen(QPen(palette().color(QPalette::Mid), 2));
    painter.drawPath(shape);
    painter.end();
    evidenceImage_->setPixmap(pixmap);
}

}  // namespace vorela
