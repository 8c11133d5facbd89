#include "gui/widgets/TocPanelIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace
{
const QColor kArrowBlue(0x1f, 0x4e, 0xa8);
const QColor kRed(0xd0, 0x10, 0x10);
const QColor kGreen(0x10, 0x90, 0x30);
const QColor kWarningYellow(0xff, 0xcc, 0x20);

// The icons are designed on a 25 x 25 grid; the painter is scaled to the requested side.
void DrawHorizontalArrow(QPainter& p, bool pointsLeft)
{
    QPolygonF arrow;
    arrow << QPointF(3, 12.5) << QPointF(12, 4) << QPointF(12, 9) << QPointF(22, 9) << QPointF(22, 16)
          << QPointF(12, 16) << QPointF(12, 21);
    if (!pointsLeft)
    {
        for (QPointF& point : arrow)
            point.setX(25 - point.x());
    }
    p.setPen(QPen(kArrowBlue.darker(140), 1));
    p.setBrush(kArrowBlue);
    p.drawPolygon(arrow);
}

void DrawCaseChange(QPainter& p, const QString& from, const QString& to)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 5, 9, 15), Qt::AlignCenter, from);
    p.drawText(QRectF(16, 5, 9, 15), Qt::AlignCenter, to);
    p.setPen(QPen(kRed, 1.6));
    p.drawLine(QPointF(8.5, 12.5), QPointF(16, 12.5));
    p.setBrush(kRed);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF() << QPointF(17, 12.5) << QPointF(13.5, 10) << QPointF(13.5, 15));
}

void DrawCross(QPainter& p)
{
    p.setPen(QPen(kRed, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(19, 19));
    p.drawLine(QPointF(19, 6), QPointF(6, 19));
}

void DrawTick(QPainter& p)
{
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF() << QPointF(5, 13) << QPointF(10, 18.5) << QPointF(20, 6));
}

// An arc with an arrow head at its end; angles in degrees, counter-clockwise as Qt counts them.
void DrawCurvedArrow(QPainter& p, const QRectF& circle, double startDegrees, double spanDegrees,
                     const QColor& color)
{
    QPainterPath arc;
    arc.arcMoveTo(circle, startDegrees);
    arc.arcTo(circle, startDegrees, spanDegrees);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 2.4, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);

    const double endRadians = (startDegrees + spanDegrees) * std::numbers::pi / 180.0;
    const QPointF centre = circle.center();
    const double rx = circle.width() / 2;
    const double ry = circle.height() / 2;
    const QPointF tip(centre.x() + rx * std::cos(endRadians), centre.y() - ry * std::sin(endRadians));
    // The tangent at the end, in the direction of travel (screen y grows downwards).
    const double sign = spanDegrees >= 0 ? 1.0 : -1.0;
    const QPointF tangent(-std::sin(endRadians) * sign, -std::cos(endRadians) * sign);
    const QPointF normal(-tangent.y(), tangent.x());
    const double length = 5.5;
    const double half = 3.5;
    const QPointF head = tip + tangent * 2.5;
    QPolygonF triangle;
    triangle << head << (head - tangent * length + normal * half)
             << (head - tangent * length - normal * half);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(triangle);
}

void DrawRefresh(QPainter& p)
{
    const QRectF circle(5, 5, 15, 15);
    DrawCurvedArrow(p, circle, 100, 150, kGreen);
    DrawCurvedArrow(p, circle, 280, 150, kGreen);
}

void DrawMarkAll(QPainter& p, const QPalette& palette)
{
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 3.5, 18, 18));
    for (int row = 0; row < 4; ++row)
    {
        const QRectF band(5, 5 + row * 4, 15, 3);
        p.fillRect(band, palette.color(QPalette::Active, QPalette::Highlight));
        p.fillRect(QRectF(6.5, band.top() + 1, 8 + (row % 2) * 4, 1),
                   palette.color(QPalette::Active, QPalette::HighlightedText));
    }
}
void DrawWarning(QPainter& p, const QRectF& box)
{
    QPolygonF triangle;
    triangle << QPointF(box.center().x(), box.top()) << box.bottomRight() << box.bottomLeft();
    p.setPen(QPen(QColor(0x8a, 0x60, 0x00), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kWarningYellow);
    p.drawPolygon(triangle);
    const qreal x = box.center().x();
    const qreal unit = box.height() / 16;
    p.setPen(QPen(Qt::black, 2.2 * unit, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x, box.top() + 5.5 * unit), QPointF(x, box.top() + 10.5 * unit));
    p.drawPoint(QPointF(x, box.top() + 13.5 * unit));
}

void DrawNextRemark(QPainter& p)
{
    DrawWarning(p, QRectF(2.5, 2.5, 15, 13));
    QPolygonF arrow;
    arrow << QPointF(19, 22.5) << QPointF(14.5, 17) << QPointF(17.5, 17) << QPointF(17.5, 11)
          << QPointF(20.5, 11) << QPointF(20.5, 17) << QPointF(23.5, 17);
    p.setPen(QPen(kArrowBlue.darker(140), 1));
    p.setBrush(kArrowBlue);
    p.drawPolygon(arrow);
}
} // namespace

QIcon MakeTocPanelIcon(TocPanelIcon icon, int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 25.0, side / 25.0);
    switch (icon)
    {
    case TocPanelIcon::LevelUp:
        DrawHorizontalArrow(p, true);
        break;
    case TocPanelIcon::LevelDown:
        DrawHorizontalArrow(p, false);
        break;
    case TocPanelIcon::ToCapitals:
        DrawCaseChange(p, QStringLiteral("а"), QStringLiteral("Д"));
        break;
    case TocPanelIcon::ToSentenceCase:
        DrawCaseChange(p, QStringLiteral("Д"), QStringLiteral("а"));
        break;
    case TocPanelIcon::Delete:
        DrawCross(p);
        break;
    case TocPanelIcon::Filter:
        DrawTick(p);
        break;
    case TocPanelIcon::Refresh:
        DrawRefresh(p);
        break;
    case TocPanelIcon::Undo:
        DrawCurvedArrow(p, QRectF(5, 7, 15, 13), 10, 170, kArrowBlue);
        break;
    case TocPanelIcon::Redo:
        DrawCurvedArrow(p, QRectF(5, 7, 15, 13), 170, -170, kArrowBlue);
        break;
    case TocPanelIcon::MarkAll:
        DrawMarkAll(p, QPalette());
        break;
    case TocPanelIcon::NextRemark:
        DrawNextRemark(p);
        break;
    case TocPanelIcon::Remark:
        DrawWarning(p, QRectF(2, 3, 21, 19));
        break;
    }
    p.end();
    return QIcon(pixmap);
}
