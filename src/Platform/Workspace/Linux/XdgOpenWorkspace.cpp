#include "Platform/Workspace/Linux/XdgOpenWorkspace.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vorela {

bool XdgOpenWorkspace::openURL(const std::string& url) {
    // An argument, never a shell line: a link cannot run anything but the opener.
    return QProcess::startDetached(QString::fromStdString(opener_),
                                   QStringList{QString::fromStdString(url)});
}

}  // namespace vorela
