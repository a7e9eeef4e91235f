#pragma once

#include <QAbstractListModel>
#include <cstdint>
#include <memory>
#include <vector>

#include "App/ScriptLibraryViewModel.h"

namespace vorela {

// The lines of the library list for a Qt item view: section headers and script rows as
// ScriptLibraryViewModel::listRows() lays them out. Texts are made only for the lines a
// view asks about, that is the visible ones, so the cost of a refresh does not grow with
// the library.
class ScriptListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        DetailRole = Qt::UserRole + 1,  // "<n> palabras · <reading time>" of a script row
        IsSectionRole,                  // true for a section header
    };

    explicit ScriptListModel(const ScriptLibraryViewModel& model, QObject* parent = nullptr);

    // Takes new lines when the list changed. Texts that change on the same lines (an
    // edited title, a new reading rate) change no line's size: repainting shows them.
    void refresh();
    // The row of the script, or -1 when it is not listed.
    int rowOf(const std::shared_ptr<Script>& script) const;
    std::shared_ptr<Script> scriptAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ScriptLibraryViewModel& model_;
    std::vector<ScriptLibraryViewModel::ListRow> rows_;
    std::uint64_t shownRevision_ = 0;
};

}  // namespace vorela
