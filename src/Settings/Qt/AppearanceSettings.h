#pragma once

#include <QWidget>

#include "Platform/Observation/Subscription.h"
#include "Prefs/Key.h"
#include "Prefs/KeyWatcher.h"
#include "Render/ThemeTextColor.h"

class QCheckBox;
class QComboBox;

namespace vorela {

class AppState;
class PanelController;
class RunLoop;
class SliderRow;

// The "Apariencia" tab: typeface, size, weight, spacing and colours of the prompter text,
// then the panel's size, background, reading line, dimming, highlight, glass and mirror.
// Each control stores its key and makes the state pick up the new theme at once; width
// and height go through the panel controller, which clamps them to the configured mode.
class AppearanceSettings final : public QWidget {
    Q_OBJECT

public:
    AppearanceSettings(AppState& appState, PanelController& panelController, RunLoop& loop,
                       QWidget* parent = nullptr);

    void refresh();

private:
    // Stores the value, then rebuilds the state's theme from every theme key.
    template <class T>
    void write(const Prefs::Key<T>& key, const T& value);
    QComboBox* themePicker(const char* objectName, const Prefs::Key<ThemeTextColor>& key);
    QCheckBox* themeToggle(const char* objectName, const char* title, const Prefs::Key<bool>& key);
    SliderRow* themeSlider(const char* objectName, const Prefs::Key<double>& key, double minimum,
                           double maximum, const char* format, const char* unit);

    AppState& appState_;
    PanelController& panelController_;
    QComboBox* fontPicker_ = nullptr;
    QComboBox* textColorPicker_ = nullptr;
    QComboBox* highlightColorPicker_ = nullptr;
    QComboBox* mirrorPicker_ = nullptr;
    SliderRow* fontSize_ = nullptr;
    SliderRow* lineSpacing_ = nullptr;
    SliderRow* width_ = nullptr;
    SliderRow* height_ = nullptr;
    SliderRow* opacity_ = nullptr;
    SliderRow* readingLine_ = nullptr;
    QCheckBox* bold_ = nullptr;
    QCheckBox* dimPassed_ = nullptr;
    QCheckBox* highlightWord_ = nullptr;
    QCheckBox* glass_ = nullptr;
    Prefs::KeyWatcher keys_;
    Subscription themeChanges_;
    Subscription modeChanges_;
};

}  // namespace vorela
