#pragma once

#include <QPixmap>
#include <QWidget>
#include <memory>

#include "Onboarding/WelcomeHero.h"
#include "Platform/Loop/TimerHandle.h"

namespace vorela {

class RunLoop;

// Draws a WelcomeHero: the mock display, the panel hanging from its top edge with the
// word bars, the microphone bars and the progress bar. 420 x 210. While a change glides
// it redraws, on a frame timer of the run loop (virtual time drives it in tests), only
// the rows and the footer that move. The illustration runs only while the view is shown:
// a minimised or hidden window costs nothing.
class WelcomeHeroView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 420;
    static constexpr int kHeight = 210;
    static constexpr int kPanelWidth = 250;

    explicit WelcomeHeroView(RunLoop& loop, QWidget* parent = nullptr);
    ~WelcomeHeroView() override;

    // Shows a new illustration (started by the caller), or none.
    void setHero(std::unique_ptr<WelcomeHero> hero);
    WelcomeHero* hero() const { return hero_.get(); }
    // The entrance: 0.96 grows to 1, around the centre.
    void setScale(double scale);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void changed();
    void updateMovingParts();
    // The display, the panel and the camera: what never moves, drawn once.
    static QPixmap drawBackground(double devicePixelRatio);

    RunLoop& loop_;
    double scale_ = 1;
    QPixmap background_;
    std::unique_ptr<WelcomeHero> hero_;
    Subscription heroChanges_;
    // Last: stopped before the hero goes.
    TimerHandle frames_;
};

}  // namespace vorela
