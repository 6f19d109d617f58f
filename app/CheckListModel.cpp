#include "app/CheckListModel.h"

#include <QFile>

namespace xcr {

CheckListModel::CheckListModel()
    : names_(std::make_shared<EntryNames>()), marks_(std::make_shared<CheckMarks>()) {}

void CheckListModel::setEntries(std::shared_ptr<const EntryNames> names,
                                std::shared_ptr<CheckMarks> marks) {
    beginResetModel();
    names_ = std::move(names);
    marks_ = std::move(marks);
    endResetModel();
}

QString CheckListModel::text(int row) const {
    const std::string_view name = names_->displayName(row);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

void CheckListModel::setChecked(int row, bool checked) {
    if (row < 0 || row >= count() || isChecked(row) == checked) {
        return;
    }
    marks_->set(row, checked);
    const auto changed = index(row);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

void CheckListModel::setAllChecked(bool checked) {
    const auto [first, last] = marks_->setAll(checked);
    if (first >= 0) {
        emit dataChanged(index(first), index(last), {Qt::CheckStateRole});
    }
}

void CheckListModel::replacementsChanged() {
    if (count() > 0) {
        emit dataChanged(index(0), index(count() - 1), {kReplacedRole, Qt::ToolTipRole});
    }
}

int CheckListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return text(index.row());
    }
    if (role == Qt::CheckStateRole) {
        return isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
    }
    const bool replaced = replacements_ != nullptr && replacements_->isReplaced(index.row());
    if (role == kReplacedRole) {
        return replaced;
    }
    if (role == Qt::ToolTipRole && replaced) {
        return QStringLiteral("Replaced by ") +
               QFile::decodeName(replacements_->path(index.row()).c_str());
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
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemIsDragEnabled;
}

}  // namespace xcr
