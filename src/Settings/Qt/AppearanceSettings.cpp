#include "Settings/Qt/AppearanceSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "App/AppState.h"
#include "App/PanelController.h"
#include "Prefs/Prefs.h"
#include "Settings/Qt/SettingsForm.h"
#include "Settings/Qt/SliderRow.h"
#include "Ui/ViewKit.h"
#include "Window/PanelPlacement.h"

namespace vorela {

using ViewKit::qText;
namespace Keys = Prefs::Keys;

using SettingsForm::choicesOf;
using SettingsForm::chosen;
using SettingsForm::tagOf;

AppearanceSettings::AppearanceSettings(AppState& appState, PanelController& panelController,
                                       RunLoop& loop, QWidget* parent)
    : QWidget(parent), appState_(appState), panelController_(panelController), keys_(loop) {
    auto* page = new QVBoxLayout(this);

    auto* text = SettingsForm::addSection(page, "Texto");
    fontPicker_ = SettingsForm::makePicker("fontPicker", choicesOf(kAllThemeFonts));
    connect(fontPicker_, &QComboBox::currentIndexChanged, this, [this] {
        if (auto font = chosen<ThemeFont>(fontPicker_)) write(Keys::themeFont(), *font);
    });
    text->addRow("Tipografía", fontPicker_);
    fontSize_ = themeSlider("fontSizeSlider", Keys::themeFontSize(), 14, 48, "%.0f", "pt");
    text->addRow("Tamaño", fontSize_);
    bold_ = themeToggle("boldToggle", "", Keys::themeBold());
    text->addRow("Seminegrita", bold_);
    lineSpacing_ = themeSlider("lineSpacingSlider", Keys::themeLineSpacing(), 1, 2, "%.1f", "");
    text->addRow("Interlineado", lineSpacing_);
    textColorPicker_ = themePicker("textColorPicker", Keys::themeTextColor());
    text->addRow("Color del texto", textColorPicker_);
    highlightColorPicker_ = themePicker("highlightColorPicker", Keys::themeHighlightColor());
    text->addRow("Color del resaltado", highlightColorPicker_);

    auto* panel = SettingsForm::addSection(page, "Panel");
    width_ = new SliderRow("widthSlider", 0, 1, "%.0f", "pt");
    width_->setOnMoved([this](double value) { panelController_.setWidth(value); });
    panel->addRow("Ancho", width_);
    height_ = new SliderRow("heightSlider", 0, 1, "%.0f", "pt");
    height_->setOnMoved([this](double value) { panelController_.setHeight(value); });
    panel->addRow("Alto", height_);
    opacity_ = themeSlider("opacitySlider", Keys::themeBackgroundOpacity(), 0, 1, "%.2f", "");
    panel->addRow("Opacidad del fondo", opacity_);
    readingLine_ =
        themeSlider("readingLineSlider", Keys::readingLinePosition(), 0.2, 0.5, "%.2f", "");
    panel->addRow("Línea de lectura", readingLine_);
    dimPassed_ = themeToggle("dimPassedToggle", "", Keys::dimPassedText());
    panel->addRow("Desvanecer lo ya leído", dimPassed_);
    highlightWord_ = themeToggle("highlightWordToggle", "", Keys::highlightCurrentWord());
    panel->addRow("Resaltar la palabra actual", highlightWord_);
    glass_ = themeToggle("glassToggle", "", Keys::glassBackground());
    panel->addRow("Fondo de vidrio", glass_);
    mirrorPicker_ = SettingsForm::makePicker("mirrorPicker", choicesOf(kAllMirrorModes));
    connect(mirrorPicker_, &QComboBox::currentIndexChanged, this, [this] {
        if (auto mirror = chosen<MirrorMode>(mirrorPicker_)) appState_.setMirrorMode(*mirror);
    });
    panel->addRow("Espejo", mirrorPicker_);
    page->addStretch(1);

    const auto redraw = [this] { refresh(); };
    themeChanges_ = appState_.theme.observe([this](const Theme&) { refresh(); });
    modeChanges_ = panelController_.mode.observe([this](const PanelMode&) { refresh(); });
    // Keys written elsewhere (another program, a resize of the floating panel) show too.
    keys_.watch(Keys::themeFont(), redraw);
    keys_.watch(Keys::themeFontSize(), redraw);
    keys_.watch(Keys::themeBold(), redraw);
    keys_.watch(Keys::themeLineSpacing(), redraw);
    keys_.watch(Keys::themeTextColor(), redraw);
    keys_.watch(Keys::themeHighlightColor(), redraw);
    keys_.watch(Keys::themeBackgroundOpacity(), redraw);
    keys_.watch(Keys::readingLinePosition(), redraw);
    keys_.watch(Keys::dimPassedText(), redraw);
    keys_.watch(Keys::highlightCurrentWord(), redraw);
    keys_.watch(Keys::glassBackground(), redraw);
    keys_.watch(Keys::panelWidth(), redraw);
    keys_.watch(Keys::panelHeight(), redraw);
    refresh();
}

template <class T>
void AppearanceSettings::write(const Prefs::Key<T>& key, const T& value) {
    Prefs::set(key, value);
    appState_.theme.set(Theme::current());
}

QComboBox* AppearanceSettings::themePicker(const char* objectName,
                                           const Prefs::Key<ThemeTextColor>& key) {
    auto* picker = SettingsForm::makePicker(objectName, choicesOf(kAllThemeTextColors));
    connect(picker, &QComboBox::currentIndexChanged, this, [this, picker, &key] {
        if (auto color = chosen<ThemeTextColor>(picker)) write(key, *color);
    });
    return picker;
}

QCheckBox* AppearanceSettings::themeToggle(const char* objectName, const char* title,
                                           const Prefs::Key<bool>& key) {
    auto* toggle = new QCheckBox(title);
    toggle->setObjectName(objectName);
    connect(toggle, &QCheckBox::toggled, this, [this, &key](bool on) { write(key, on); });
    return toggle;
}

SliderRow* AppearanceSettings::themeSlider(const char* objectName, const Prefs::Key<double>& key,
                                           double minimum, double maximum, const char* format,
                                           const char* unit) {
    auto* row = new SliderRow(objectName, minimum, maximum, format, unit);
    row->setOnMoved([this, &key](double value) { write(key, value); });
    return row;
}

void AppearanceSettings::refresh() {
    SettingsForm::selectTag(fontPicker_, tagOf(Prefs::get(Keys::themeFont())));
    SettingsForm::selectTag(textColorPicker_, tagOf(Prefs::get(Keys::themeTextColor())));
    SettingsForm::selectTag(highlightColorPicker_, tagOf(Prefs::get(Keys::themeHighlightColor())));
    // The mirror the theme holds, so a choice made through the state shows at once.
    SettingsForm::selectTag(mirrorPicker_, tagOf(appState_.theme.get().mirror));
    fontSize_->setValue(Prefs::get(Keys::themeFontSize()));
    lineSpacing_->setValue(Prefs::get(Keys::themeLineSpacing()));
    opacity_->setValue(Prefs::get(Keys::themeBackgroundOpacity()));
    readingLine_->setValue(Prefs::get(Keys::readingLinePosition()));

    // The configured mode's limits, also while a notch placement has fallen back.
    const PanelMode mode = panelController_.mode.get();
    const PanelSizeLimits limits = sizeLimits(mode);
    width_->setRange(limits.minWidth, limits.maxWidth);
    width_->setValue(clampWidth(mode, Prefs::get(Keys::panelWidth())));
    height_->setRange(limits.minHeight, limits.maxHeight);
    height_->setValue(clampHeight(mode, Prefs::get(Keys::panelHeight())));

    for (auto [toggle, key] :
         {std::pair{bold_, &Keys::themeBold()}, std::pair{dimPassed_, &Keys::dimPassedText()},
          std::pair{highlightWord_, &Keys::highlightCurrentWord()},
          std::pair{glass_, &Keys::glassBackground()}}) {
        const QSignalBlocker blocker(toggle);
        toggle->setChecked(Prefs::get(*key));
    }
}

}  // namespace vorela
