#include "gui/app/CHelpWnd.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CHelpWnd::CHelpWnd(const QString& page, QWidget* owner)
    : QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    setModal(false);
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(QUrl::fromLocalFile(page));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    setWindowTitle(m_browser->documentTitle().isEmpty() ? QStringLiteral("Справка")
                                                        : m_browser->documentTitle());
    resize(720, 640);
}
