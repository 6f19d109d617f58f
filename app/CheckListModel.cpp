#include "app/CheckListModel.h"

#include <algorithm>

namespace xcr {

void CheckListModel::setNames(const std::vector<std::string>& names) {
    beginResetModel();
    names_.clear();
    names_.reserve(static_cast<qsizetype>(names.size()));
    for (const auto& name : names) {
        names_.append(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    checks_.assign(names.size(), 0);
    endResetModel();
}

void CheckListModel::setChecked(int row, bool checked) {
    auto& mark = checks_.at(static_cast<std::size_t>(row));
    if ((mark != 0) == checked) {
        return;
    }
    mark = checked ? 1 : 0;
    const auto changed = index(row);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

void CheckListModel::setAllChecked(bool checked) {
    const char mark = checked ? 1 : 0;
    const auto first =
        std::find_if(checks_.begin(), checks_.end(), [&](char c) { return c != mark; });
    if (first == checks_.end()) {
        return;
    }
    const auto last =
        std::find_if(checks_.rbegin(), checks_.rend(), [&](char c) { return c != mark; });
    std::fill(first, checks_.end(), mark);
    emit dataChanged(index(static_cast<int>(first - checks_.begin())),
                     index(static_cast<int>(checks_.rend() - last) - 1), {Qt::CheckStateRole});
}

int CheckListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return names_.at(index.row());
    }
    if (role == Qt::CheckStateRole) {
        return isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
    }
    return {};
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= count() || role != Qt::CheckStateRole) {
        return false;
    }
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

}  // namespace xcr
