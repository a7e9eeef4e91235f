#pragma once

#include <QApplication>
#include <QEvent>
#include <string>

#include "App/Qt/PrompterContentWidget.h"
#include "BenchAppState.h"
#include "Platform/Windows/Linux/QtPanelWindow.h"
#include "Render/Qt/PrompterTextWidget.h"

namespace vorela::bench {

// The prompter panel as the application builds it: the central state over fakes of the
// services that play no part in drawing, its content in a translucent panel window, shown
// at 900 x 320. The loop decides the clock: virtual for frame costs, Qt's for idle costs.
struct BenchPanel : BenchAppState {
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 320;

    explicit BenchPanel(RunLoop& runLoop) : BenchAppState(runLoop) {
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

    QtPanelWindow window{Rect{0, 0, kWidth, kHeight}};
    PrompterContentWidget* content = nullptr;  // owned by the window
};

}  // namespace vorela::bench
