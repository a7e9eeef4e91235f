#include "Onboarding/Qt/IntroStep.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "Onboarding/Qt/OnboardingStyle.h"
#include "Onboarding/Qt/WelcomeHeroView.h"
#include "Onboarding/WelcomeHero.h"
#include "Platform/Accessibility/AccessibilitySettings.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Loop/RunLoop.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

using namespace OnboardingStyle;

QString t(std::string_view text) { return ViewKit::qText(Bundle::localized(text)); }

constexpr double kEntranceSeconds = 0.5;
constexpr double kFrameSeconds = 1.0 / 60;
constexpr double kHeroStartScale = 0.96;

QWidget* claim(std::string_view icon, const QString& title, const QString& detail) {
    auto* box = new QWidget;
    box->setFixedWidth(150);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(Style::Spacing::small);
    auto* symbol = new QLabel;
    symbol->setPixmap(ViewKit::symbolPixmap(icon, Style::accent(), 20));
    symbol->setFixedHeight(22);
    symbol->setAlignment(Qt::AlignCenter);
    column->addWidget(symbol);
    auto* heading = label(title, Style::TextRole::body, QFont::DemiBold);
    heading->setAlignment(Qt::AlignHCenter);
    column->addWidget(heading);
    auto* words = label(detail, Style::TextRole::subheadline, Style::secondaryOnDark(), true);
    words->setAlignment(Qt::AlignHCenter);
    column->addWidget(words);
    return box;
}

QGraphicsOpacityEffect* fade(QWidget* widget) {
    auto* effect = new QGraphicsOpacityEffect(widget);
    widget->setGraphicsEffect(effect);
    return effect;
}

}  // namespace

IntroStep::IntroStep(RunLoop& loop, const AccessibilitySettings& accessibility, QWidget* parent)
    : QWidget(parent), loop_(loop), accessibility_(accessibility) {
    setObjectName("introStep");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(Style::Spacing::wide);
    column->addStretch(1);

    hero_ = new WelcomeHeroView(loop_);
    column->addWidget(hero_, 0, Qt::AlignHCenter);

    auto* text = new QWidget;
    auto* textColumn = new QVBoxLayout(text);
    textColumn->setContentsMargins(0, 0, 0, 0);
    textColumn->setSpacing(Style::Spacing::compact);
    auto* title = label(t("Tus notas, pegadas a tu cámara."), Style::TextRole::largeTitle);
    title->setObjectName("introTitle");
    title->setAlignment(Qt::AlignHCenter);
    textColumn->addWidget(title);
    auto* subtitle = label(t("Vorela pone tu guion justo debajo del lente y lo mueve al ritmo de "
                             "tu voz. Mirás a la cámara, no a tus notas."),
                           Style::TextRole::bodyLarge, Style::secondaryOnDark(), true);
    subtitle->setAlignment(Qt::AlignHCenter);
    subtitle->setFixedWidth(480);
    textColumn->addWidget(subtitle, 0, Qt::AlignHCenter);
    column->addWidget(text);

    auto* claims = new QWidget;
    claims->setObjectName("claims");
    auto* row = new QHBoxLayout(claims);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Style::Spacing::xWide);
    row->addStretch(1);
    row->addWidget(
        claim("waveform", t("Sigue tu voz"), t("Avanza cuando hablás y se detiene cuando parás.")),
        0, Qt::AlignTop);
    // On Linux the panel cannot be kept out of a whole-screen capture; a shared window
    // never shows it.
    row->addWidget(
        claim("eye.slash", t("Discreto"), t("No aparece al compartir una ventana. Verificable.")),
        0, Qt::AlignTop);
    row->addWidget(claim("lock.laptopcomputer", t("Todo en tu equipo"),
                         t("Tu voz no viaja a ningún servidor.")),
                   0, Qt::AlignTop);
    row->addStretch(1);
    column->addWidget(claims);
    column->addStretch(1);

    heroOpacity_ = fade(hero_);
    textOpacity_ = fade(text);
    claimsOpacity_ = fade(claims);
    applyAppearance();
}

IntroStep::~IntroStep() = default;

void IntroStep::appear() {
    const double duration = accessibility_.reduceMotion() ? 0 : kEntranceSeconds;
    appearance_ = {0, 1, loop_.uptime(), duration, Tween::Curve::easeOut};
    applyAppearance();
    if (duration <= 0) return;
    frames_ = loop_.scheduleRepeating(kFrameSeconds, [this] {
        applyAppearance();
        if (appearance_.isDone(loop_.uptime())) frames_.cancel();
    });
}

double IntroStep::appearance() const { return appearance_.value(loop_.uptime()); }

void IntroStep::applyAppearance() {
    const double a = appearance();
    // An effect draws its widget through a picture of its own on every repaint, even at
    // full opacity: once entered, the illustration's frames are drawn straight.
    for (QGraphicsOpacityEffect* effect : {heroOpacity_, textOpacity_, claimsOpacity_}) {
        effect->setOpacity(a);
        effect->setEnabled(a < 1);
    }
    hero_->setScale(kHeroStartScale + (1 - kHeroStartScale) * a);
}

void IntroStep::setShowsHero(bool shows) {
    if (!shows) {
        hero_->setHero(nullptr);
        return;
    }
    if (hero_->hero()) return;
    auto hero = std::make_unique<WelcomeHero>(loop_, accessibility_, 0, 0.2);
    hero->start();
    hero_->setHero(std::move(hero));
}

}  // namespace vorela
