#pragma once
// The rows of the entry panel: one per table-of-contents entry, its text as the editor shows it
// (made when a view asks for it, not kept) and its remarks. The entries are the model's own list;
// no object or converted text is held per row, so a table of contents of tens of thousands of
// entries costs little more than the entries themselves.

#include "core/remarks/Remarks.h"
#include "core/toc/TocEntryRef.h"

#include <QAbstractListModel>
#include <QString>

#include <cstddef>
#include <vector>

class CTocListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // The data role holding a row's remarks (a QString, one remark a line; empty: none).
    static constexpr int kRemarkRole = Qt::UserRole + 1;

    explicit CTocListModel(QObject* parent = nullptr);

    // The rows become entries, one each, with no remarks.
    void SetEntries(const std::vector<TocEntryRef>& entries);
    // Each row's remarks become those about its block (Remark::oglLine); rows whose remarks did not
    // change are left alone.
    void SetRemarks(const std::vector<Remark>& remarks);

    const std::vector<TocEntryRef>& Entries() const { return m_entries; }
    bool HasRemarks(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<TocEntryRef> m_entries;
    // By row; empty for the rows without remarks, and no rows at all while none has any.
    std::vector<QString> m_remarks;
};
