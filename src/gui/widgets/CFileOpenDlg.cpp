#include "gui/widgets/CFileOpenDlg.h"

#include <QDateTime>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace
{
// The columns of Qt's file model.
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

const QLocale& Russian()
{
    static const QLocale locale(QLocale::Russian, QLocale::Russia);
    return locale;
}

// Qt writes sizes and dates in the system's locale ("5.89 KiB", "10 Dec 2026" under C; even
// Russian gives "KiB"): both are written here instead.
class CRussianFileColumns : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid() ||
            (index.column() != kSizeColumn && index.column() != kDateColumn))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kDateColumn)
            return Russian().toString(files->lastModified(source), QStringLiteral("dd.MM.yyyy HH:mm"));
        return files->isDir(source) ? QString() : CFileOpenDlg::SizeText(files->size(source));
    }
};
} // namespace

QString CFileOpenDlg::SizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 байт").arg(bytes);
    static const char* const kUnits[] = {"КБ", "МБ", "ГБ", "ТБ"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(kUnits))
    {
        value /= 1024;
        ++unit;
    }
    return Russian().toString(value, 'f', 1) + QLatin1Char(' ') + QString::fromUtf8(kUnits[unit]);
}

CFileOpenDlg::CFileOpenDlg(QWidget* parent, const QString& folder, const QStringList& nameFilters)
    : QFileDialog(parent, QString(), folder)
{
    // The desktop's dialog would bring its own language and layout.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilters(nameFilters);
    setProxyModel(new CRussianFileColumns(this));
    setViewMode(QFileDialog::Detail);

    // The name takes what the other columns leave; they are as wide as their texts.
    if (auto* tree = findChild<QTreeView*>(QStringLiteral("treeView")))
    {
        QHeaderView* header = tree->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (const int column : {kSizeColumn, kTypeColumn, kDateColumn})
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
    {
        const QSize room = screen->availableGeometry().size() * 9 / 10;
        resize(std::min(room.width(), 860), std::min(room.height(), 560));
    }
}
