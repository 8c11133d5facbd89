#pragma once
// The program's dialog for choosing files to open: Qt's own dialog (not the desktop's), in detail
// view, with sizes and dates written the Russian way whatever the user's locale, the size, type
// and date columns wide enough for what they show, and a size that fits the screen.

#include <QFileDialog>
#include <QString>

class CFileOpenDlg : public QFileDialog
{
    Q_OBJECT
public:
    CFileOpenDlg(QWidget* parent, const QString& folder, const QStringList& nameFilters);

    // A file size as the dialog shows it: "231 байт", "5,9 КБ", "12,0 МБ".
    static QString SizeText(qint64 bytes);
};
