#pragma once
// Draws a row of the entry list: a narrow column on the left that shows a warning sign when the row
// has a remark, then the entry text word-wrapped in a fixed-pitch font, inset by 3 pixels, the row as
// high as its text plus 6 pixels (never below 24), marked rows in the highlight colours, the others on
// white, a separator line along every row's bottom, the current row framed while the list has the
// focus. A row's tooltip gives its remarks and, when its text does not fit, the whole text.

#include "gui/panel/CTocListModel.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPixmap>
#include <QString>
#include <QStyledItemDelegate>

#include <vector>

class QListView;

class CTocListDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kTextInset = 3;
    static constexpr int kMinimumRowHeight = 24;
    // The column of the remark signs, left of the text.
    static constexpr int kRemarkColumnWidth = 20;
    // The item data holding a row's remarks (a QString, one remark a line; empty: none).
    static constexpr int kRemarkRole = CTocListModel::kRemarkRole;

    explicit CTocListDelegate(QListView* view);

    // "Courier New" 14 pixels high (or the nearest fixed-pitch font the system has).
    static QFont EntryFont();

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // True when the row at index shows all of its text: the row lies wholly in the view and no line
    // of the text had to be wrapped.
    bool RowFits(const QModelIndex& index) const;

private:
    int TextWidth() const;
    QRect WrappedTextRect(const QString& text) const;
    // The height of the text's wrapped lines; a list lays its rows out several times per fill, so
    // the heights of texts that wrap are kept per text for the current width.
    int TextHeight(const QString& text) const;
    // The height when no line of the text needs wrapping, found without laying the text out; -1
    // when that cannot be told from the characters' advances alone.
    int UnwrappedTextHeight(const QString& text) const;
    // An upper bound of the character's advance in the entry font; -1 when the character may not
    // be drawn by the font itself (a fallback font may be taller) or affects the layout.
    qreal CharAdvanceBound(QChar ch) const;

    QListView* m_view;
    QPixmap m_remarkSign;
    QFont m_font;
    QFontMetricsF m_metrics;
    mutable std::vector<qreal> m_advanceBounds;   // by UTF-16 code unit; -2 not yet known
    mutable std::vector<int> m_heightOfLineCount; // unwrapped heights by number of lines; 0 not yet known
    mutable QHash<QString, int> m_heights;
    mutable int m_heightsWidth = -1;
};
