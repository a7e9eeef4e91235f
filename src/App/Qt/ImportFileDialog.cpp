#include "App/Qt/ImportFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QStringList>

#include "Script/Importers/ScriptImporter.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

// Only for this run: the working folder a launcher happens to start us in is no
// place to browse for scripts, and a folder from an earlier run may be gone.
QString& lastFolder() {
    static QString folder;
    return folder;
}

}  // namespace

std::optional<std::filesystem::path> ImportFileDialog::choose(QWidget* parent) {
    const QString file =
        QFileDialog::getOpenFileName(parent, "Importar un archivo", startFolder(), filter());
    if (file.isEmpty()) return std::nullopt;
    std::filesystem::path chosen(file.toStdString());
    remember(chosen);
    return chosen;
}

QString ImportFileDialog::startFolder() {
    if (!lastFolder().isEmpty() && QDir(lastFolder()).exists()) return lastFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists()) return documents;
    return QDir::homePath();
}

void ImportFileDialog::remember(const std::filesystem::path& chosenFile) {
    lastFolder() = ViewKit::qText(chosenFile.parent_path().string());
}

QString ImportFileDialog::filter() {
    QStringList patterns;
    for (const auto& type : ScriptImporter::supportedTypes()) {
        for (const auto& extension : type.extensions) patterns << "*." + ViewKit::qText(extension);
    }
    patterns.removeDuplicates();
    return "Guiones (" + patterns.join(' ') + ")";
}

}  // namespace vorela
