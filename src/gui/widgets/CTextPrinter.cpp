#include "gui/widgets/CTextPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QTextDocument>
#include <QTextFrame>

#include <memory>

namespace
{
// Half an inch (720 twentieths of a point).
const QMarginsF kMargins(36, 36, 36, 36);
} // namespace

CTextPrinter::CTextPrinter(const QPlainTextEdit& editor) : m_editor(editor)
{
    m_printer.setPageMargins(kMargins, QPageLayout::Point);
}

void CTextPrinter::PrintTo(QPrinter& printer) const
{
    printer.setPageMargins(kMargins, QPageLayout::Point);
    std::unique_ptr<QTextDocument> document(m_editor.document()->clone());
    document->setDefaultFont(m_editor.font());
    // A document with a page size prints as laid out; without one it would add margins of its own.
    const QRectF page = printer.pageLayout().paintRect(QPageLayout::Point);
    const qreal toPixels = document->documentLayout()->paintDevice()
                               ? document->documentLayout()->paintDevice()->logicalDpiY() / 72.0
                               : 96.0 / 72.0;
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    frame.setMargin(0);
    document->rootFrame()->setFrameFormat(frame);
    document->setPageSize(page.size() * toPixels);
    document->print(&printer);
}

void CTextPrinter::Print(QWidget* parent)
{
    QPrintDialog dialog(&m_printer, parent);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(m_printer);
}

void CTextPrinter::PrintPreview(QWidget* parent)
{
    QPrintPreviewDialog preview(&m_printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this](QPrinter* printer) { PrintTo(*printer); });
    preview.exec();
}

void CTextPrinter::PageSetup(QWidget* parent)
{
    QPageSetupDialog dialog(&m_printer, parent);
    dialog.exec();
}
