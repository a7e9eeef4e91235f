#include "Platform/Workspace/Linux/XdgWorkspace.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vorela {

bool XdgWorkspace::open(const std::string& url) {
    if (!isOpenable(url)) {
        logger_.notice("Este escritorio no sabe abrir " + url);
        return false;
    }
    if (!QProcess::startDetached("xdg-open", {QString::fromStdString(url)})) {
        logger_.error("No se pudo iniciar xdg-open para " + url);
        return false;
    }
    return true;
}

}  // namespace vorela
