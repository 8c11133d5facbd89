#include "gui/panel/CTocListDelegate.h"

#include "gui/widgets/TocPanelIcons.h"

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
// Enough for the rows of a few rebuilds of a very long table of contents.
constexpr qsizetype kHeightCacheLimit = 100000;
constexpr int kRemarkSignSide = 16;
} // namespace

CTocListDelegate::CTocListDelegate(QListView* view)
    : QStyledItemDelegate(view), m_view(view),
      m_remarkSign(MakeTocPanelIcon(TocPanelIcon::Remark, kRemarkSignSide).pixmap(kRemarkSignSide)),
      m_font(EntryFont()), m_metrics(m_font)
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
    return std::max(1, m_view->viewport()->width() - kRemarkColumnWidth - 2 * kTextInset);
}

QRect CTocListDelegate::WrappedTextRect(const QString& text) const
{
    return QFontMetrics(m_font).boundingRect(QRect(0, 0, TextWidth(), INT_MAX / 2), kTextFlags, text);
}

qreal CTocListDelegate::CharAdvanceBound(QChar ch) const
{
    if (m_advanceBounds.empty())
        m_advanceBounds.assign(0x10000, -2);
    qreal& bound = m_advanceBounds[ch.unicode()];
    if (bound == -2)
    {
        // Controls, separators and format characters change the layout rather than add a glyph.
        const QChar::Category category = ch.category();
        const bool plainGlyph = !ch.isSurrogate() && ch.unicode() >= 0x20 &&
                                category != QChar::Other_Control && category != QChar::Other_Format &&
                                category != QChar::Separator_Line && category != QChar::Separator_Paragraph &&
                                category != QChar::Mark_NonSpacing && category != QChar::Mark_Enclosing;
        // Advances may be rounded to whole pixels when laid out: half a pixel covers that.
        bound = plainGlyph && m_metrics.inFont(ch) ? m_metrics.horizontalAdvance(ch) + 0.5 : -1;
    }
    return bound;
}

int CTocListDelegate::UnwrappedTextHeight(const QString& text) const
{
    const qreal width = TextWidth();
    int lineCount = 1;
    qreal lineAdvance = 0;
    for (const QChar ch : text)
    {
        if (ch == QLatin1Char('\n'))
        {
            ++lineCount;
            lineAdvance = 0;
            continue;
        }
        const qreal advance = CharAdvanceBound(ch);
        if (advance < 0)
            return -1;
        lineAdvance += advance;
        if (lineAdvance >= width)
            return -1;
    }
    // Lines drawn in one font are equally high, so the height depends on their number only.
    if (m_heightOfLineCount.size() <= static_cast<std::size_t>(lineCount))
        m_heightOfLineCount.resize(static_cast<std::size_t>(lineCount) + 1, 0);
    int& height = m_heightOfLineCount[static_cast<std::size_t>(lineCount)];
    if (height == 0)
    {
        if (!m_metrics.inFont(QLatin1Char('x')))
            return -1;
        QString sample = QStringLiteral("x");
        for (int line = 1; line < lineCount; ++line)
            sample += QStringLiteral("\nx");
        height = WrappedTextRect(sample).height();
    }
    return height;
}

int CTocListDelegate::TextHeight(const QString& text) const
{
    if (text.isEmpty())
        return 0;
    // Most texts fit unwrapped, which is told from their characters at once; only the heights of
    // the others are kept (keeping every text would hold a copy of the whole list).
    if (const int unwrapped = UnwrappedTextHeight(text); unwrapped >= 0)
        return unwrapped;
    const int width = TextWidth();
    if (width != m_heightsWidth || m_heights.size() > kHeightCacheLimit)
    {
        m_heights.clear();
        m_heightsWidth = width;
    }
    const auto known = m_heights.constFind(text);
    if (known != m_heights.constEnd())
        return *known;
    const int height = WrappedTextRect(text).height();
    m_heights.insert(text, height);
    return height;
}

QSize CTocListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const int textHeight = TextHeight(index.data(Qt::DisplayRole).toString());
    return QSize(m_view->viewport()->width(), std::max(textHeight + 2 * kTextInset, kMinimumRowHeight));
}

void CTocListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    painter->save();
    const bool marked = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    painter->fillRect(option.rect,
                      marked ? palette.brush(QPalette::Active, QPalette::Highlight) : QBrush(Qt::white));
    painter->setFont(m_font);
    painter->setPen(marked ? palette.color(QPalette::Active, QPalette::HighlightedText) : QColor(Qt::black));
    const QRect textRect =
        option.rect.adjusted(kRemarkColumnWidth + kTextInset, kTextInset, -kTextInset, -kTextInset);
    painter->drawText(textRect, kTextFlags, index.data(Qt::DisplayRole).toString());
    if (!index.data(kRemarkRole).toString().isEmpty())
    {
        const int left = option.rect.left() + (kRemarkColumnWidth - kRemarkSignSide) / 2;
        painter->drawPixmap(left, option.rect.top() + kTextInset, m_remarkSign);
    }

    painter->setPen(palette.color(QPalette::Mid));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());

    // The current row of the list that has the focus is framed however the focus came (styles draw
    // their focus frame only after a key has moved it), in the colour that stands out on the row.
    if (option.state & QStyle::State_HasFocus)
    {
        constexpr int kFrameWidth = 2;
        QPen frame(marked ? palette.color(QPalette::Active, QPalette::HighlightedText)
                          : palette.color(QPalette::Active, QPalette::Highlight),
                   kFrameWidth);
        frame.setJoinStyle(Qt::MiterJoin);
        painter->setPen(frame);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -2));
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

bool CTocListDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QString tip = index.data(kRemarkRole).toString();
    if (!RowFits(index))
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n\n")) + index.data(Qt::DisplayRole).toString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, view->viewport(), view->visualRect(index));
    return true;
}
