#include "panel/CTocListDelegate.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QListView>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <climits>

namespace
{
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
}

CTocListDelegate::CTocListDelegate(QListView* view) : QStyledItemDelegate(view), m_view(view), m_font(EntryFont())
{
}

QFont CTocListDelegate::EntryFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(14);
    return font;
}

int CTocListDelegate::TextWidth() const
{
    return std::max(1, m_view->viewport()->width() - 2 * kTextInset);
}

QRect CTocListDelegate::WrappedTextRect(const QString& text) const
{
    return QFontMetrics(m_font).boundingRect(QRect(0, 0, TextWidth(), INT_MAX / 2), kTextFlags, text);
}

QSize CTocListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    const int textHeight = text.isEmpty() ? 0 : WrappedTextRect(text).height();
    return QSize(m_view->viewport()->width(), std::max(textHeight + 2 * kTextInset, kMinimumRowHeight));
}

void CTocListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const bool marked = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    painter->fillRect(option.rect, marked ? palette.brush(QPalette::Active, QPalette::Highlight) : QBrush(Qt::white));
    painter->setFont(m_font);
    painter->setPen(marked ? palette.color(QPalette::Active, QPalette::HighlightedText) : QColor(Qt::black));
    const QRect textRect = option.rect.adjusted(kTextInset, kTextInset, -kTextInset, -kTextInset);
    painter->drawText(textRect, kTextFlags, index.data(Qt::DisplayRole).toString());

    painter->setPen(palette.color(QPalette::Mid));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());

    if (option.state & QStyle::State_HasFocus)
    {
        QStyleOptionFocusRect focus;
        focus.rect = option.rect.adjusted(0, 0, 0, -1);
        focus.state = option.state;
        focus.backgroundColor = marked ? palette.color(QPalette::Highlight) : QColor(Qt::white);
        m_view->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, m_view);
    }
    painter->restore();
}

bool CTocListDelegate::RowFits(const QModelIndex& index) const
{
    const QRect row = m_view->visualRect(index);
    if (!m_view->viewport()->rect().contains(row))
        return false;
    const QFontMetrics metrics(m_font);
    const QStringList lines = index.data(Qt::DisplayRole).toString().split(QLatin1Char('\n'));
    return std::all_of(lines.begin(), lines.end(),
                       [&](const QString& line) { return metrics.horizontalAdvance(line) <= TextWidth(); });
}

bool CTocListDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                 const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    if (RowFits(index))
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view->viewport(),
                           view->visualRect(index));
    return true;
}
