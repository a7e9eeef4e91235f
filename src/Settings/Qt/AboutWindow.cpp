#include "Settings/Qt/AboutWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "App/UpdateController.h"
#include "Platform/Workspace/Workspace.h"
#include "Settings/AboutLinks.h"
#include "Settings/Qt/SettingsForm.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

using SettingsForm::TextStyle;

namespace {

// A link that hands its address to the workspace rather than to Qt's own opener.
QLabel* makeLink(const AboutLinks::Link& link, Workspace& workspace) {
    auto* label = new QLabel(QString("<a href=\"%1\">%2</a>")
                                 .arg(QString::fromUtf8(link.url), QString::fromUtf8(link.label)));
    label->setObjectName(link.objectName);
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(false);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [&workspace](const QString& url) { workspace.openURL(url.toStdString()); });
    return label;
}

}  // namespace

AboutWindow::AboutWindow(Workspace& workspace, QWidget* parent)
    : QWidget(parent, Qt::Window), workspace_(workspace) {
    setObjectName("aboutWindow");
    setWindowTitle("Acerca de Vorela");
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(Style::Spacing::window, Style::Spacing::window,
                              Style::Spacing::window, Style::Spacing::window);
    stack->setSpacing(Style::Spacing::roomy);

    const QColor secondary = palette().color(QPalette::PlaceholderText);
    auto* symbol = new QLabel;
    symbol->setObjectName("aboutSymbol");
    symbol->setPixmap(ViewKit::symbolPixmap("text.alignleft", secondary, 42));
    stack->addWidget(symbol, 0, Qt::AlignHCenter);

    auto* title = new QLabel("Vorela");
    title->setObjectName("productName");
    title->setFont(Style::desktopFont(Style::DesktopText::title, title->font()));
    stack->addWidget(title, 0, Qt::AlignHCenter);

    auto* version = SettingsForm::makeText(
        "versionLabel", ViewKit::qText(UpdateController::versionDescription()), TextStyle::callout);
    version->setAlignment(Qt::AlignHCenter);
    SettingsForm::makeSelectable(version);
    stack->addWidget(version);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    auto* dividerRow = new QHBoxLayout;
    dividerRow->setContentsMargins(Style::Spacing::page, 0, Style::Spacing::page, 0);
    dividerRow->addWidget(divider);
    stack->addLayout(dividerRow);

    auto* promise =
        SettingsForm::makeText("privacyPromise", "Tu voz no sale de tu equipo.", TextStyle::body);
    promise->setAlignment(Qt::AlignHCenter);
    stack->addWidget(promise);

    auto* links = new QHBoxLayout;
    links->setSpacing(Style::Spacing::roomy);
    links->addStretch(1);
    for (std::size_t i = 0; i < 3; ++i)
        links->addWidget(makeLink(AboutLinks::kLinks[i], workspace_));
    links->addStretch(1);
    stack->addLayout(links);
    stack->addWidget(makeLink(AboutLinks::kLinks[3], workspace_), 0, Qt::AlignHCenter);

    auto* human = SettingsForm::makeText("humanReply", "Contesta una persona, no un formulario.",
                                         TextStyle::caption);
    human->setAlignment(Qt::AlignHCenter);
    stack->addWidget(human);
    // The padded stack is 380 points wide whatever its texts; the height follows them.
    setFixedWidth(kWidthPoints);
    setFixedHeight(stack->hasHeightForWidth() ? stack->heightForWidth(kWidthPoints)
                                              : sizeHint().height());
}

}  // namespace vorela
