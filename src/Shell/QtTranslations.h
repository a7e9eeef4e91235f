#pragma once

class QCoreApplication;

namespace vorela {

// Qt's own texts (file dialogs, the text fields' context menus, standard buttons) in the
// interface's language, Spanish, from the translations the desktop's Qt installs.
// Returns whether they were found; without them those texts stay in English.
bool installQtTranslations(QCoreApplication& application);

}  // namespace vorela
