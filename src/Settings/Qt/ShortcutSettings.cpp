#include "Settings/Qt/ShortcutSettings.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "App/GlobalShortcuts.h"
#include "Settings/Qt/SettingsForm.h"
#include "Shortcuts/Qt/RecorderRow.h"

namespace vorela {

namespace {

struct Row {
    const char* title;
    const char* objectName;
    Shortcuts::Name (*name)();
};

void addRows(Shortcuts::Context& shortcuts, QFormLayout* section, std::initializer_list<Row> rows) {
    for (const Row& row : rows) {
        auto* recorder = new Shortcuts::RecorderRow(shortcuts, row.title, row.name());
        recorder->setObjectName(row.objectName);
        section->addRow(recorder);
    }
}

}  // namespace

ShortcutSettings::ShortcutSettings(Shortcuts::Context& shortcuts, bool isWaylandSession,
                                   QWidget* parent)
    : QWidget(parent) {
    // Harmless again; a tab made before the start's declaration still shows the defaults.
    GlobalShortcuts::declareNames(shortcuts);
    auto* page = new QVBoxLayout(this);
    if (isWaylandSession) {
        auto* wayland = SettingsForm::makeText(
            "waylandShortcutsNote",
            "En esta sesión Wayland, el servidor X solo recibe las teclas escritas en ventanas "
            "X11: los atajos actúan solo mientras una de ellas (por ejemplo, una ventana de "
            "Vorela) tiene el foco.",
            SettingsForm::TextStyle::warning);
        wayland->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        SettingsForm::addSection(page)->addRow(wayland);
    }
    addRows(shortcuts, SettingsForm::addSection(page, "Durante la lectura"),
            {{"Reproducir o pausar", "togglePlayRecorder", &GlobalShortcuts::togglePlay},
             {"Más rápido", "fasterRecorder", &GlobalShortcuts::faster},
             {"Más lento", "slowerRecorder", &GlobalShortcuts::slower},
             {"Reiniciar al principio", "restartRecorder", &GlobalShortcuts::restart}});
    addRows(shortcuts, SettingsForm::addSection(page, "Navegación"),
            {{"Marcador anterior", "previousBookmarkRecorder", &GlobalShortcuts::previousBookmark},
             {"Marcador siguiente", "nextBookmarkRecorder", &GlobalShortcuts::nextBookmark},
             {"Mostrar u ocultar el panel", "togglePanelRecorder", &GlobalShortcuts::togglePanel}});
    // Option is the Alt key on the keyboards this runs with.
    auto* note = SettingsForm::makeText(
        "shortcutsNote",
        "Los atajos funcionan aunque el panel no tenga el foco: por eso son globales y por eso "
        "conviene usar combinaciones con Alt.",
        SettingsForm::TextStyle::callout);
    note->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    SettingsForm::addSection(page)->addRow(note);
    page->addStretch(1);
}

}  // namespace vorela
