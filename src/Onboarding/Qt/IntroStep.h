#pragma once

#include <QWidget>

#include "Platform/Loop/TimerHandle.h"
#include "Render/Tween.h"

class QGraphicsOpacityEffect;

namespace vorela {

class AccessibilitySettings;
class RunLoop;
class WelcomeHeroView;

// Step 0: the welcome illustration, the claim "Tus notas, pegadas a tu cámara." and three
// short promises. It enters once per window (fading in, the illustration growing from
// 0.96); with reduce motion it is simply there.
class IntroStep final : public QWidget {
    Q_OBJECT

public:
    IntroStep(RunLoop& loop, const AccessibilitySettings& accessibility, QWidget* parent = nullptr);
    ~IntroStep() override;

    // Begins the entrance: 0.5 s ease-out from now.
    void appear();
    // A new illustration each time the step comes back; none while another step shows.
    void setShowsHero(bool shows);
    WelcomeHeroView* heroView() const { return hero_; }
    double appearance() const;

private:
    void applyAppearance();

    RunLoop& loop_;
    const AccessibilitySettings& accessibility_;
    WelcomeHeroView* hero_ = nullptr;
    QGraphicsOpacityEffect* heroOpacity_ = nullptr;
    QGraphicsOpacityEffect* textOpacity_ = nullptr;
    QGraphicsOpacityEffect* claimsOpacity_ = nullptr;
    Tween appearance_ = Tween::at(0);
    TimerHandle frames_;
};

}  // namespace vorela
