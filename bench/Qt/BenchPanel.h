#pragma once

#include <QApplication>
#include <QEvent>
#include <string>

#include "App/AppState.h"
#include "App/Qt/PrompterContentWidget.h"
#include "Matcher/MatcherTelemetry.h"
#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Audio/Fake/FakeAudioEngine.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Pasteboard/Fake/FakePasteboard.h"
#include "Platform/Updates/Fake/FakeUpdater.h"
#include "Platform/Windows/Linux/QtPanelWindow.h"
#include "Render/Qt/PrompterTextWidget.h"

namespace vorela::bench {

// The prompter panel as the application builds it: the central state over fakes of the
// services that play no part in drawing, its content in a translucent panel window, shown
// at 900 x 320. The loop decides the clock: virtual for frame costs, Qt's for idle costs.
struct BenchPanel {
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 320;

    explicit BenchPanel(RunLoop& runLoop) : loop(runLoop) {
        content = new PrompterContentWidget(state, loop);
        window.setContent(content);
        window.show();
        QApplication::processEvents();
    }

    // The pointer rests on the text: the control bar shows, as while reading with a mouse.
    void hover() {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&content->textWidget(), &enter);
    }

    PrompterTextWidget& text() { return content->textWidget(); }

    RunLoop& loop;
    bool inMemoryDefaults = (UserDefaults::setStandard(UserDefaults::inMemory()), true);
    FakeAccessibilitySettings accessibility;
    FakeUpdateFramework updates{loop};
    FakePasteboard pasteboard;
    MatcherTelemetry telemetry{std::nullopt};
    AppState state{AppServices{
        .runLoop = loop,
        .accessibility = accessibility,
        .audioEngine = std::make_shared<FakeAudioEngine>(loop),
        .workspaceCenter = std::make_shared<NotificationCenter>(loop),
        .updateFramework = updates,
        .pasteboard = pasteboard,
        .makeTranscriptionEngine = [] { return nullptr; },
        .telemetry = telemetry,
    }};
    QtPanelWindow window{Rect{0, 0, kWidth, kHeight}};
    PrompterContentWidget* content = nullptr;  // owned by the window
};

}  // namespace vorela::bench
