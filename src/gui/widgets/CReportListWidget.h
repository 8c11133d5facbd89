#pragma once
// A two-column list of a dictionary: "#" with the 1-based row number (right-aligned, 50 pixels) and
// a titled column of texts filling the rest; whole rows, several selectable.

#include <QStringList>
#include <QTreeWidget>

#include <vector>

class CReportListWidget : public QTreeWidget
{
    Q_OBJECT
public:
    CReportListWidget(const QString& textColumnTitle, QWidget* parent = nullptr);

    // Replaces every row, numbering them from 1; the selection is gone afterwards.
    void SetRows(const QStringList& texts);
    QString RowText(int row) const;
    // The selected rows in ascending order.
    std::vector<int> SelectedRows() const;
    // Makes row the only selected row, the current one, and scrolls it into view.
    void SelectOnly(int row);
    // Keeps control enabled exactly while at least one row is selected (from the next change on).
    void EnableWhileSelected(QWidget* control);
};
