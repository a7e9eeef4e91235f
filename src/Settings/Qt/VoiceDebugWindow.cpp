#include "Settings/Qt/VoiceDebugWindow.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "App/AppState.h"
#include "Settings/Qt/SettingsForm.h"
#include "Settings/SettingsTexts.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

using SettingsForm::TextStyle;
using ViewKit::qText;

namespace {

QColor secondaryOf(const QWidget* widget) { return Style::secondaryText(widget->palette()); }

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

}  // namespace

VoiceDebugWindow::VoiceDebugWindow(AppState& appState, RunLoop& loop, QWidget* parent)
    : QWidget(parent, Qt::Window), appState_(appState), keys_(loop) {
    setObjectName("voiceDebugWindow");
    setWindowTitle("Diagnóstico de voz");
    setFixedSize(kWidthPoints, kHeightPoints);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(Style::Spacing::section, Style::Spacing::section,
                              Style::Spacing::section, Style::Spacing::section);
    stack->setSpacing(Style::Spacing::roomy);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(Style::Spacing::roomy);
    grid->setVerticalSpacing(Style::Spacing::small);
    grid->setColumnStretch(1, 1);
    engine_ = addRow(grid, "Motor", "engineValue");
    locale_ = addRow(grid, "Idioma", "localeValue");
    addRow(grid, "Reconocimiento", "processingValue")->setText(SettingsTexts::kProcessing);
    latency_ = addRow(grid, "Latencia", "latencyValue");
    microphone_ = addRow(grid, "Micrófono", "micStatusValue");
    level_ = addRow(grid, "Nivel", "levelValue");
    noiseFloor_ = addRow(grid, "Piso de ruido", "noiseFloorValue");
    stack->addLayout(grid);

    problem_ = SettingsForm::makeText("problemLabel", {}, TextStyle::warning);
    stack->addWidget(problem_);
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    stack->addWidget(divider);
    auto* title = new QLabel("Transcripción en vivo");
    title->setObjectName("transcriptTitle");
    title->setFont(Style::font(Style::TextRole::subheadline, QFont::DemiBold));
    setTextColor(title, secondaryOf(this));
    stack->addWidget(title);

    transcript_ = new QLabel;
    transcript_->setObjectName("transcriptLabel");
    transcript_->setWordWrap(true);
    transcript_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    transcript_->setFont(Style::font(Style::TextRole::body));
    auto* scroll = new QScrollArea;
    scroll->setObjectName("transcriptScroll");
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumHeight(120);
    scroll->setWidget(transcript_);
    stack->addWidget(scroll, 1);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Idioma"));
    localePicker_ = SettingsForm::makeLocalePicker(appState_);
    localePicker_->setMaximumWidth(260);
    controls->addWidget(localePicker_);
    controls->addStretch(1);
    listen_ = new QPushButton;
    listen_->setObjectName("listenButton");
    listen_->setDefault(true);
    QPalette tinted = listen_->palette();
    tinted.setColor(QPalette::Button, Style::accent());
    tinted.setColor(QPalette::ButtonText, Qt::white);
    listen_->setPalette(tinted);
    connect(listen_, &QPushButton::clicked, this, [this] {
        appState_.setMode(appState_.isTranscribing.get() ? PrompterMode::classic
                                                         : PrompterMode::wordTracking);
    });
    controls->addWidget(listen_);
    stack->addLayout(controls);

    const auto redraw = [this](const auto&) { refresh(); };
    changes_.push_back(appState_.transcriptionEngineName.observe(redraw));
    changes_.push_back(appState_.transcriptionLatency.observe(redraw));
    changes_.push_back(appState_.transcriptionProblem.observe(redraw));
    changes_.push_back(appState_.isTranscribing.observe(redraw));
    changes_.push_back(appState_.liveTranscript.observe(redraw));
    changes_.push_back(appState_.micLevel.observe(redraw));
    changes_.push_back(appState_.isSpeaking.observe(redraw));
    changes_.push_back(appState_.voiceProfile.observe(redraw));
    changes_.push_back(appState_.audioSession().observeStatus(redraw));
    keys_.watch(Prefs::Keys::transcriptionLocale(), [this] { refresh(); });
    refresh();
}

QLabel* VoiceDebugWindow::addRow(QGridLayout* grid, const char* label, const char* objectName) {
    // The rows read as a table: 12 points, equal-width digits.
    const QFont font = Style::monospaced(Style::TextRole::callout);
    auto* name = new QLabel(label);
    name->setFont(font);
    setTextColor(name, secondaryOf(this));
    auto* value = new QLabel;
    value->setObjectName(objectName);
    value->setFont(font);
    SettingsForm::makeSelectable(value);
    const int row = grid->rowCount();
    grid->addWidget(name, row, 0, Qt::AlignLeft);
    grid->addWidget(value, row, 1, Qt::AlignLeft);
    return value;
}

void VoiceDebugWindow::refresh() {
    engine_->setText(qText(appState_.transcriptionEngineName.get()));
    const TranscriptionLocale locale = appState_.transcriptionLocale();
    locale_->setText(qText(localizedName(locale)));
    latency_->setText(qText(SettingsTexts::latency(appState_.transcriptionLatency.get())));
    microphone_->setText(qText(SettingsTexts::micStatus(appState_.audioSession().status())));
    level_->setText(
        qText(SettingsTexts::level(appState_.micLevel.get(), appState_.isSpeaking.get())));
    noiseFloor_->setText(qText(SettingsTexts::noiseFloor(appState_.voiceProfile.get().noiseFloor)));
    const auto& problem = appState_.transcriptionProblem.get();
    problem_->setText(problem ? qText(*problem) : QString());
    problem_->setVisible(problem.has_value());

    const bool transcribing = appState_.isTranscribing.get();
    const auto transcript =
        SettingsTexts::liveTranscript(appState_.liveTranscript.get(), transcribing);
    transcript_->setText(qText(transcript.text));
    setTextColor(transcript_, transcript.isPlaceholder ? secondaryOf(this)
                                                       : palette().color(QPalette::WindowText));
    transcript_->setTextInteractionFlags(transcript.isPlaceholder ? Qt::NoTextInteraction
                                                                  : Qt::TextSelectableByMouse);
    SettingsForm::selectTag(localePicker_, QString::fromUtf8(rawValue(locale)));
    listen_->setText(transcribing ? "Detener" : "Escuchar");
}

}  // namespace vorela
