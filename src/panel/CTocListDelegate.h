#pragma once
// Draws a row of the entry list: the entry text word-wrapped in a fixed-pitch font, inset by 3
// pixels, the row as high as its text plus 6 pixels (never below 24), marked rows in the highlight
// colours, the others on white, a separator line along every row's bottom. A row whose text does
// not fit shows it whole in a tooltip.

#include <QFont>
#include <QStyledItemDelegate>

class QListView;

class CTocListDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kTextInset = 3;
    static constexpr int kMinimumRowHeight = 24;

    explicit CTocListDelegate(QListView* view);

    // "Courier New" 14 pixels high (or the nearest fixed-pitch font the system has).
    static QFont EntryFont();

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // True when the row at index shows all of its text: the row lies wholly in the view and no line
    // of the text had to be wrapped.
    bool RowFits(const QModelIndex& index) const;

private:
    int TextWidth() const;
    QRect WrappedTextRect(const QString& text) const;

    QListView* m_view;
    QFont m_font;
};
