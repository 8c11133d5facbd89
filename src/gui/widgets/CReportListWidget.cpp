#include "gui/widgets/CReportListWidget.h"

#include <QHeaderView>

#include <algorithm>

namespace
{
constexpr int kNumberColumnWidth = 50;
}

CReportListWidget::CReportListWidget(const QString& textColumnTitle, QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("#"), textColumnTitle});
    headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(0, QHeaderView::Fixed);
    header()->resizeSection(0, kNumberColumnWidth);
}

void CReportListWidget::SetRows(const QStringList& texts)
{
    setUpdatesEnabled(false);
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i)
    {
        auto* item = new QTreeWidgetItem({QString::number(i + 1), texts[i]});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    addTopLevelItems(items);
    setUpdatesEnabled(true);
}

QString CReportListWidget::RowText(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(1) : QString();
}

std::vector<int> CReportListWidget::SelectedRows() const
{
    std::vector<int> rows;
    for (const QTreeWidgetItem* item : selectedItems())
        rows.push_back(indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CReportListWidget::SelectOnly(int row)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return;
    clearSelection();
    setCurrentItem(item, 1, QItemSelectionModel::NoUpdate);
    item->setSelected(true);
    scrollToItem(item);
}

void CReportListWidget::EnableWhileSelected(QWidget* control)
{
    connect(this, &QTreeWidget::itemSelectionChanged, control,
            [this, control] { control->setEnabled(!selectedItems().isEmpty()); });
}
