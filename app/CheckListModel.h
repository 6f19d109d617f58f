#ifndef APP_CHECKLISTMODEL_H
#define APP_CHECKLISTMODEL_H

#include <QAbstractListModel>
#include <QStringList>
#include <string>
#include <vector>

namespace xcr {

// The items of the entry list: one name and one check mark per entry. Names are the
// archive's bytes shown one byte per character, so every byte comes back unchanged.
class CheckListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every item; all new items are unchecked.
    void setNames(const std::vector<std::string>& names);

    int count() const { return static_cast<int>(names_.size()); }
    QString text(int row) const { return names_.at(row); }
    std::string name(int row) const { return names_.at(row).toLatin1().toStdString(); }
    bool isChecked(int row) const { return checks_.at(static_cast<std::size_t>(row)) != 0; }
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QStringList names_;
    std::vector<char> checks_;
};

}  // namespace xcr

#endif  // APP_CHECKLISTMODEL_H
