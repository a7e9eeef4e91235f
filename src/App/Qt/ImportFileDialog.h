#pragma once

#include <filesystem>
#include <optional>

class QString;
class QWidget;

namespace vorela {

// The open dialog of the library's import: it offers the importable types and opens in
// the folder the user last imported from during this run, else the documents folder.
class ImportFileDialog {
public:
    // Runs the dialog modally; none when the user cancels.
    static std::optional<std::filesystem::path> choose(QWidget* parent);

    // The folder the next dialog opens in.
    static QString startFolder();
    // Remembers the folder of a chosen file for the next dialog.
    static void remember(const std::filesystem::path& chosenFile);
    // "Guiones (*.txt *.rtf ...)".
    static QString filter();
};

}  // namespace vorela
