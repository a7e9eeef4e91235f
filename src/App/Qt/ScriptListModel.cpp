#include "App/Qt/ScriptListModel.h"

#include <algorithm>

#include "Script/Script.h"
#include "Ui/ViewKit.h"

namespace vorela {

ScriptListModel::ScriptListModel(const ScriptLibraryViewModel& model, QObject* parent)
    : QAbstractListModel(parent), model_(model) {
    rows_ = model_.listRows();
    shownRevision_ = model_.listRevision();
}

void ScriptListModel::refresh() {
    if (model_.listRevision() == shownRevision_) return;
    beginResetModel();
    rows_ = model_.listRows();
    shownRevision_ = model_.listRevision();
    endResetModel();
}

int ScriptListModel::rowOf(const std::shared_ptr<Script>& script) const {
    if (!script) return -1;
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [&](const auto& row) { return row.script == script; });
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

std::shared_ptr<Script> ScriptListModel::scriptAt(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    return rows_[static_cast<std::size_t>(row)].script;
}

int ScriptListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ScriptListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return ViewKit::qText(row.script ? row.script->title()
                                             : ScriptLibraryViewModel::sectionTitle(row.folder));
        case DetailRole:
            return row.script ? ViewKit::qText(model_.rowDetail(*row.script)) : QVariant();
        case IsSectionRole:
            return !row.script;
        default:
            return {};
    }
}

Qt::ItemFlags ScriptListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return scriptAt(index.row()) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled;
}

}  // namespace vorela
