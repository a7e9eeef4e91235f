#include "Shell/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "Platform/Log/Log.h"

namespace vorela {

bool installQtTranslations(QCoreApplication& application) {
    // Owned by the application, so it lives exactly as long as the texts it serves.
    auto* translator = new QTranslator(&application);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_es"), folder)) {
        Log("app").notice("No están las traducciones de Qt al español en " + folder.toStdString());
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace vorela
