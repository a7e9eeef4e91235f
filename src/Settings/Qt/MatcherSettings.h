#pragma once

#include <QWidget>
#include <vector>

#include "Platform/Observation/Subscription.h"

class QLabel;

namespace vorela {

class AppState;
class MatcherTelemetry;
class RunLoop;
class SliderRow;

// The "Matcher" diagnostics tab: the matcher's live state, six of its thresholds edited
// in the running matcher (not saved), and the local diagnostic log's switch, location and
// deletion. The matcher is not observable, so its values are read at every refresh.
class MatcherSettings final : public QWidget {
    Q_OBJECT

public:
    MatcherSettings(AppState& appState, RunLoop& loop, MatcherTelemetry& telemetry,
                    QWidget* parent = nullptr);

    void refresh();

private:
    AppState& appState_;
    MatcherTelemetry& telemetry_;
    QLabel* matchState_ = nullptr;
    QLabel* currentWord_ = nullptr;
    QLabel* measuredRate_ = nullptr;
    std::vector<SliderRow*> parameters_;
    std::vector<Subscription> changes_;
};

}  // namespace vorela
