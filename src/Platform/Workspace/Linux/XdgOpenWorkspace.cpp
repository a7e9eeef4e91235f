#include "Platform/Workspace/Linux/XdgOpenWorkspace.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include "Platform/Log/Log.h"

namespace vorela {

bool XdgOpenWorkspace::openURL(const std::string& url) {
    if (!isOpenable(url)) {
        Log("app").notice("Este escritorio no sabe abrir " + url);
        return false;
    }
    // An argument, never a shell line: a link cannot run anything but the opener.
    return QProcess::startDetached(QString::fromStdString(opener_),
                                   QStringList{QString::fromStdString(url)});
}

}  // namespace vorela
