#include "gui/app/ToolbarIcons.h"

#include "gui/app/CommandIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace
{
const QColor kInk(0x20, 0x20, 0x20);
const QColor kBlue(0x1f, 0x4e, 0x9a);
const QColor kRed(0xc0, 0x20, 0x20);
const QColor kGreen(0x20, 0x80, 0x30);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kFolder(0xe8, 0xc0, 0x40);

void Page(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(3, 1, 9, 12);
    p.setPen(kBlue);
    for (int y = 4; y <= 10; y += 2)
        p.drawLine(5, y, 10, y);
}

void Folder(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(kFolder);
    p.drawRect(1, 4, 13, 9);
    p.drawRect(1, 2, 5, 2);
}

void Arrow(QPainter& p, QPoint from, QPoint to, const QColor& color)
{
    p.setPen(QPen(color, 2));
    p.drawLine(from, to);
    const QPointF d =
        QPointF(to - from) / std::max(1.0, std::hypot(double(to.x() - from.x()), double(to.y() - from.y())));
    const QPointF n(-d.y(), d.x());
    p.drawLine(QPointF(to), QPointF(to) - 3 * d + 3 * n);
    p.drawLine(QPointF(to), QPointF(to) - 3 * d - 3 * n);
}

void Letters(QPainter& p, const QString& text, const QColor& color)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRect(0, 0, 16, 15), Qt::AlignCenter, text);
}

void Draw(QPainter& p, int id)
{
    switch (id)
    {
    case CommandId::FileOpen:
        Folder(p);
        Arrow(p, QPoint(8, 11), QPoint(12, 6), kGreen);
        break;
    case CommandId::OpenFolder:
        Folder(p);
        p.setPen(kBlue);
        p.drawLine(4, 7, 11, 7);
        p.drawLine(4, 10, 11, 10);
        break;
    case CommandId::FileSave:
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawRect(1, 1, 13, 12);
        p.setBrush(kPaper);
        p.drawRect(4, 1, 7, 5);
        p.drawRect(4, 9, 7, 4);
        break;
    case CommandId::NextDocument:
        Page(p);
        Arrow(p, QPoint(5, 12), QPoint(14, 12), kGreen);
        break;
    case CommandId::DeleteFile:
        p.setPen(kInk);
        p.setBrush(QColor(0xb0, 0xb0, 0xb0));
        p.drawRect(4, 4, 8, 10);
        p.drawLine(2, 3, 13, 3);
        p.drawLine(6, 1, 9, 1);
        p.setPen(kInk);
        p.drawLine(6, 6, 6, 12);
        p.drawLine(9, 6, 9, 12);
        break;
    case CommandId::EditCut:
        p.setPen(QPen(kInk, 1));
        p.drawLine(5, 1, 10, 9);
        p.drawLine(10, 1, 5, 9);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kRed, 1.5));
        p.drawEllipse(2, 9, 4, 4);
        p.drawEllipse(9, 9, 4, 4);
        break;
    case CommandId::EditCopy:
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawRect(1, 1, 8, 9);
        p.drawRect(6, 4, 8, 10);
        break;
    case CommandId::EditPaste:
        p.setPen(kInk);
        p.setBrush(QColor(0xb0, 0x80, 0x40));
        p.drawRect(1, 2, 10, 12);
        p.setBrush(kPaper);
        p.drawRect(6, 5, 8, 9);
        break;
    case CommandId::FilePrint:
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawRect(4, 1, 7, 5);
        p.setBrush(QColor(0xa0, 0xa0, 0xa0));
        p.drawRect(1, 6, 13, 5);
        p.setBrush(kPaper);
        p.drawRect(4, 9, 7, 5);
        break;
    case CommandId::EditUndo:
        Arrow(p, QPoint(13, 8), QPoint(3, 8), kBlue);
        break;
    case CommandId::EditRedo:
        Arrow(p, QPoint(2, 8), QPoint(12, 8), kBlue);
        break;
    case CommandId::AutoSave:
        Page(p);
        Letters(p, QStringLiteral("A"), kRed);
        break;
    case CommandId::MakeBak:
        Page(p);
        Letters(p, QStringLiteral("B"), kRed);
        break;
    case CommandId::Options:
        p.setPen(QPen(kInk, 2));
        p.setBrush(QColor(0xa0, 0xa0, 0xa0));
        p.drawEllipse(3, 3, 9, 9);
        p.setBrush(kPaper);
        p.drawEllipse(6, 6, 3, 3);
        break;
    case CommandId::UpperCaseWordsDict:
        p.setPen(kInk);
        p.setBrush(QColor(0x60, 0x90, 0xd0));
        p.drawRect(2, 1, 11, 13);
        Letters(p, QStringLiteral("Аа"), kPaper);
        break;
    case CommandId::InsertTocTag:
        Page(p);
        p.setPen(QPen(kRed, 2));
        p.drawLine(2, 7, 14, 7);
        break;
    case CommandId::UpperCase:
        Letters(p, QStringLiteral("АБ"), kBlue);
        break;
    case CommandId::LowerCase:
        Letters(p, QStringLiteral("аб"), kBlue);
        break;
    case CommandId::DeleteTocEntries:
        Page(p);
        p.setPen(QPen(kRed, 2));
        p.drawLine(3, 3, 13, 12);
        p.drawLine(13, 3, 3, 12);
        break;
    default:
        break;
    }
}
} // namespace

QIcon ToolbarIcon(int commandId)
{
    QPixmap pixmap(16, 15);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        Draw(painter, commandId);
    }
    return QIcon(pixmap);
}
