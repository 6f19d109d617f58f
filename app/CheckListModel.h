#ifndef APP_CHECKLISTMODEL_H
#define APP_CHECKLISTMODEL_H

#include <QAbstractListModel>
#include <memory>
#include <string>

#include "archive/format/EntryNames.h"
#include "archive/jobs/CheckMarks.h"
#include "archive/jobs/ReplacementTable.h"

namespace xcr {

// The items of the entry list: the entries' display names and their check marks, shown
// straight from the entry table and the marks a job may read; nothing is copied, so a
// list of millions of entries costs no memory of its own. Names are the archive's bytes
// shown one byte per character, so every byte comes back unchanged.
class CheckListModel : public QAbstractListModel {
    Q_OBJECT
public:
    CheckListModel();

    // Replaces every item; `marks` holds one mark per name.
    void setEntries(std::shared_ptr<const EntryNames> names, std::shared_ptr<CheckMarks> marks);

    // True for an entry with a recorded replacement, which the list draws in italics.
    static constexpr int kReplacedRole = Qt::UserRole;

    // Entries with a recorded replacement show in italics, with the file as their tooltip.
    void showReplacements(const ReplacementTable* replacements) { replacements_ = replacements; }
    // Redraws the marks after the recorded replacements changed.
    void replacementsChanged();

    int count() const { return names_->count(); }
    QString text(int row) const;
    std::string name(int row) const { return std::string(names_->displayName(row)); }
    bool isChecked(int row) const { return marks_->isChecked(row); }
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::shared_ptr<const EntryNames> names_;
    std::shared_ptr<CheckMarks> marks_;
    const ReplacementTable* replacements_ = nullptr;
};

}  // namespace xcr

#endif  // APP_CHECKLISTMODEL_H
