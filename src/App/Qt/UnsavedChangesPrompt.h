#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QMessageBox;
class QWidget;

namespace vorela {

class ScriptLibrary;

// Stands between "Salir" and the end of the program: writes what the library still holds
// unsaved and quits; when that write fails, asks instead of losing the text silently —
// "Reintentar" tries again, "Salir sin guardar" quits anyway, "Cancelar" goes back. The
// question is window-modal to nothing, so the program keeps running while it is shown.
// Main thread only; the library must outlive it.
class UnsavedChangesPrompt final : public QObject {
    Q_OBJECT

public:
    UnsavedChangesPrompt(ScriptLibrary& library, std::function<void()> quit);
    ~UnsavedChangesPrompt() override;
    UnsavedChangesPrompt(const UnsavedChangesPrompt&) = delete;
    UnsavedChangesPrompt& operator=(const UnsavedChangesPrompt&) = delete;
    UnsavedChangesPrompt(UnsavedChangesPrompt&&) = delete;
    UnsavedChangesPrompt& operator=(UnsavedChangesPrompt&&) = delete;

    void requestQuit();
    // The question while it is shown, else null.
    QMessageBox* question() const;

private:
    void ask();

    ScriptLibrary& library_;
    std::function<void()> quit_;
    QPointer<QMessageBox> question_;
};

}  // namespace vorela
