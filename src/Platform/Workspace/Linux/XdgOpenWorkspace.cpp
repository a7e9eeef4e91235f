#include "Platform/Workspace/Linux/XdgOpenWorkspace.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include "Platform/Log/Log.h"

namespace vorela {

XdgOpenWorkspace::XdgOpenWorkspace()
    : XdgOpenWorkspace("xdg-open", DesktopSettings(DesktopSettings::Environment::current()),
                       startDetached) {}

XdgOpenWorkspace::XdgOpenWorkspace(std::string opener, DesktopSettings settings, Launcher launcher)
    : opener_(std::move(opener)), settings_(std::move(settings)), launcher_(std::move(launcher)) {}

bool XdgOpenWorkspace::startDetached(const SettingsCommand& command) {
    QStringList arguments;
    for (const auto& argument : command.arguments) arguments << QString::fromStdString(argument);
    return QProcess::startDetached(QString::fromStdString(command.program), arguments);
}

bool XdgOpenWorkspace::openURL(const std::string& url) {
    if (const auto page = DesktopSettings::pageOf(url)) {
        const auto command = settings_.find(*page);
        if (!command) {
            Log("app").notice("No hay ninguna herramienta de configuración instalada para " + url);
            return false;
        }
        if (launcher_(*command)) return true;
        Log("app").error("No se pudo iniciar " + command->program);
        return false;
    }
    if (!isOpenable(url)) {
        Log("app").notice("Este escritorio no sabe abrir " + url);
        return false;
    }
    // An argument, never a shell line: a link cannot run anything but the opener.
    return launcher_({opener_, {url}});
}

bool XdgOpenWorkspace::offers(const std::string& url) const {
    const auto page = DesktopSettings::pageOf(url);
    return !page || settings_.hasPermission(*page);
}

}  // namespace vorela
