#pragma once
// The help page in a window of the program: the page with its links, which are followed in the
// window (a web address opens in the system's browser). Esc closes it; it does not block the editor.

#include <QDialog>

class QTextBrowser;

class CHelpWnd : public QDialog
{
    Q_OBJECT
public:
    CHelpWnd(const QString& page, QWidget* owner);

    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
