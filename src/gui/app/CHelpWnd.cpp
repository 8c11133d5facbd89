#include "gui/app/CHelpWnd.h"

#include "gui/panel/CTocPanel.h"

#include <QFile>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace
{
// Where the page wants the table of the panel's buttons and keys, which the panel itself knows.
const QString kPanelKeysPlace = QStringLiteral("<!-- panel-keys -->");
} // namespace

CHelpWnd::CHelpWnd(const QString& page, QWidget* owner)
    : QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    setModal(false);
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    QFile file(page);
    if (file.open(QIODevice::ReadOnly))
    {
        QString html = QString::fromUtf8(file.readAll());
        html.replace(kPanelKeysPlace, CTocPanel::KeysHtml());
        // Links of the page lead on from the page's own folder.
        m_browser->document()->setBaseUrl(QUrl::fromLocalFile(page));
        m_browser->setHtml(html);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    setWindowTitle(m_browser->documentTitle().isEmpty() ? QStringLiteral("Справка")
                                                        : m_browser->documentTitle());
    resize(720, 640);
}
