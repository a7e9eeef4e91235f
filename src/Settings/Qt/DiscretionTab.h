#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "Platform/Observation/Subscription.h"

class QLabel;
class QPushButton;
class QProgressBar;
class QVBoxLayout;

namespace vorela {

class AppState;
class PanelController;
class Screens;
class StealthChecker;
class Workspace;

// The "Discreción" tab: runs the screen-capture visibility check on the live panel,
// shows its verdict with the captured evidence (or the stored result of an earlier
// check), and a guide to sharing without the prompter showing. It owns the checker for
// its whole life; closing it during a check removes the test pattern. A failed check
// offers the screen-capture permission where the session has one. Main thread only;
// state, controller, screens and workspace must outlive it.
class DiscretionTab final : public QWidget {
    Q_OBJECT

public:
    DiscretionTab(AppState& appState, PanelController& panelController, Screens& screens,
                  Workspace& workspace, std::unique_ptr<StealthChecker> checker,
                  QWidget* parent = nullptr);
    ~DiscretionTab() override;

    StealthChecker& checker() { return *checker_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeVerifierCard();
    QWidget* makeGuide();
    void run();
    void refresh();
    void showEvidence();
    void openPermissions();

    AppState& appState_;
    PanelController& panelController_;
    Screens& screens_;
    Workspace& workspace_;
    std::unique_ptr<StealthChecker> checker_;
    QWidget* content_ = nullptr;  // the scrolled column
    QPushButton* verifyButton_ = nullptr;
    QLabel* panelHint_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QWidget* resultBox_ = nullptr;
    QLabel* resultIcon_ = nullptr;
    QLabel* resultTitle_ = nullptr;
    QLabel* resultDetail_ = nullptr;
    QLabel* resultAdvice_ = nullptr;
    QPushButton* permissionsButton_ = nullptr;
    QLabel* permissionsProblem_ = nullptr;  // no settings tool to open
    QLabel* storedLine_ = nullptr;
    QWidget* evidenceBox_ = nullptr;
    QLabel* evidenceImage_ = nullptr;
    // Last: they reach the checker and the controls above.
    std::vector<Subscription> observations_;
};

}  // namespace vorela
