#include <gtest/gtest.h>
#include <stdlib.h>

#include <QDir>
#include <filesystem>

#include "App/Qt/ImportFileDialog.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

// The import dialog opened in whatever folder the program was started from (often / or
// the build tree), never where the user keeps scripts.
TEST(ImportFileDialogTest, OpensInTheDocumentsFolderThenWhereTheUserLastImportedFrom) {
    testing::qtTestApp();
    const fs::path home =
        fs::temp_directory_path() / ("vorela-import-dialog-" + std::to_string(getpid()));
    fs::remove_all(home);
    fs::create_directories(home / "Documentos");
    fs::create_directories(home / ".config");
    FILE* dirs = fopen((home / ".config" / "user-dirs.dirs").c_str(), "w");
    ASSERT_NE(dirs, nullptr);
    fputs("XDG_DOCUMENTS_DIR=\"$HOME/Documentos\"\n", dirs);
    fclose(dirs);
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    const std::string oldConfig = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);

    EXPECT_EQ(QDir(ImportFileDialog::startFolder()),
              QDir(QString::fromStdString((home / "Documentos").string())));

    fs::create_directories(home / "guiones");
    ImportFileDialog::remember(home / "guiones" / "charla.txt");
    EXPECT_EQ(QDir(ImportFileDialog::startFolder()),
              QDir(QString::fromStdString((home / "guiones").string())));

    // A remembered folder that has gone away falls back to the documents folder.
    fs::remove_all(home / "guiones");
    EXPECT_EQ(QDir(ImportFileDialog::startFolder()),
              QDir(QString::fromStdString((home / "Documentos").string())));

    EXPECT_TRUE(ImportFileDialog::filter().startsWith("Guiones (*.txt"));
    setenv("HOME", oldHome.c_str(), 1);
    if (oldConfig.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
    fs::remove_all(home);
}

}  // namespace
}  // namespace vorela
