#include "Onboarding/Qt/ReadyStep.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStringList>
#include <initializer_list>

#include "App/GlobalShortcuts.h"
#include "Onboarding/Qt/OnboardingStyle.h"
#include "Platform/Bundle/Bundle.h"
#include "Shortcuts/Shortcuts.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

using namespace OnboardingStyle;

QString t(std::string_view text) { return ViewKit::qText(Bundle::localized(text)); }

QLabel* keyCap(const QString& key) {
    auto* cap = label(key, Style::TextRole::body, QFont::Medium);
    QFont f = cap->font();
    f.setFamily("monospace");
    f.setStyleHint(QFont::Monospace);
    cap->setFont(f);
    cap->setStyleSheet("color: white; padding: 4px 8px; " + roundedBackground(0.08, 6));
    return cap;
}

// The keys as they are bound now, and only those that work: a key another program holds
// is no key of ours, and the step says so instead of promising it.
QString keysOf(std::initializer_list<Shortcuts::Name> names) {
    QStringList keys;
    for (const auto& name : names) {
        if (const auto key = Shortcuts::keyHint(name)) keys << ViewKit::qText(*key);
    }
    return keys.isEmpty() ? t("Sin atajo") : keys.join(' ');
}

}  // namespace

ReadyStep::ReadyStep(QWidget* parent) : QWidget(parent) {
    setObjectName("readyStep");
    QBoxLayout* body = stepLayout(this, t("Listo para grabar"),
                                  t("El panel ya está debajo de tu cámara. Estas son las cuatro "
                                    "teclas que vas a usar:"),
                                  Style::Spacing::section);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(Style::Spacing::section);
    grid->setVerticalSpacing(Style::Spacing::regular);
    const struct {
        QString key;
        const char* description;
    } rows[] = {
        {keysOf({GlobalShortcuts::togglePlay()}), "Empieza y pausa, aunque estés dentro de Zoom"},
        {keysOf({GlobalShortcuts::slower(), GlobalShortcuts::faster()}), "Más lento o más rápido"},
        {keysOf({GlobalShortcuts::togglePanel()}), "Esconde el panel al instante"},
        {t("Mouse encima"), "Pausa mientras lo tenés encima"},
    };
    int r = 0;
    for (const auto& row : rows) {
        auto* cap = keyCap(row.key);
        cap->setObjectName("shortcutKey");
        grid->addWidget(cap, r, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(
            label(t(row.description), Style::TextRole::callout, Style::secondaryOnDark()), r, 1,
            Qt::AlignLeft | Qt::AlignVCenter);
        ++r;
    }
    grid->setColumnStretch(1, 1);
    body->addLayout(grid);

    body->addWidget(divider());

    auto* advice = new QHBoxLayout;
    advice->setSpacing(Style::Spacing::medium);
    auto* eye = new QLabel;
    eye->setPixmap(ViewKit::symbolPixmap("eye.slash", Style::accent(), 16));
    advice->addWidget(eye, 0, Qt::AlignTop);
    advice->addWidget(
        callout(t("Al compartir pantalla, lo más seguro es compartir una ventana en vez de la "
                  "pantalla completa. En Preferencias → Discreción podés verificar tu caso con "
                  "evidencia.")),
        1);
    body->addLayout(advice);
}

}  // namespace vorela
