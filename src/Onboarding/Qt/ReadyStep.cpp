#include "Onboarding/Qt/ReadyStep.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "Onboarding/Qt/OnboardingStyle.h"
#include "Platform/Bundle/Bundle.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

using namespace OnboardingStyle;

QString t(std::string_view text) { return ViewKit::qText(Bundle::localized(text)); }

QLabel* keyCap(const QString& key) {
    auto* cap = label(key, 13, QFont::Medium);
    QFont f = cap->font();
    f.setFamily("monospace");
    f.setStyleHint(QFont::Monospace);
    cap->setFont(f);
    cap->setStyleSheet("color: white; padding: 4px 8px; " + roundedBackground(0.08, 6));
    return cap;
}

}  // namespace

ReadyStep::ReadyStep(QWidget* parent) : QWidget(parent) {
    setObjectName("readyStep");
    QBoxLayout* body = stepLayout(this, t("Listo para grabar"),
                                  t("El panel ya está debajo de tu cámara. Estas son las cuatro "
                                    "teclas que vas a usar:"),
                                  18);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(12);
    const struct {
        const char* key;
        const char* description;
    } rows[] = {
        {"⌥Space", "Empieza y pausa, aunque estés dentro de Zoom"},
        {"⌥← ⌥→", "Más lento o más rápido"},
        {"⌥P", "Esconde el panel al instante"},
        {"Mouse encima", "Pausa mientras lo tenés encima"},
    };
    int r = 0;
    for (const auto& row : rows) {
        auto* cap = keyCap(t(row.key));
        cap->setObjectName("shortcutKey");
        grid->addWidget(cap, r, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(label(t(row.description), 12, QFont::Normal, secondaryColor()), r, 1,
                        Qt::AlignLeft | Qt::AlignVCenter);
        ++r;
    }
    grid->setColumnStretch(1, 1);
    body->addLayout(grid);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setStyleSheet("color: rgba(255, 255, 255, 0.15);");
    body->addWidget(divider);

    auto* advice = new QHBoxLayout;
    advice->setSpacing(10);
    auto* eye = new QLabel;
    eye->setPixmap(ViewKit::symbolIcon("eye.slash", ViewKit::accentColor()).pixmap(16, 16));
    advice->addWidget(eye, 0, Qt::AlignTop);
    advice->addWidget(
        callout(t("Al compartir pantalla, lo más seguro es compartir una ventana en vez de la "
                  "pantalla completa. En Preferencias → Discreción podés verificar tu caso con "
                  "evidencia.")),
        1);
    body->addLayout(advice);
}

}  // namespace vorela
