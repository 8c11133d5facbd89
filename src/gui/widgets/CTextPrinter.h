#pragma once
// Printing of the editor text: page by page in the editor's fixed font with half-inch margins on
// every side. The printer (and the paper chosen in page setup) is kept between commands.

#include <QPrinter>

class QPlainTextEdit;
class QWidget;

class CTextPrinter
{
public:
    explicit CTextPrinter(const QPlainTextEdit& editor);

    // The print dialog, then printing when the operator confirms.
    void Print(QWidget* parent);
    // The preview window of the pages as they would print.
    void PrintPreview(QWidget* parent);
    // The page setup dialog: paper, orientation and printer.
    void PageSetup(QWidget* parent);

    // Prints the text on printer as it is set up.
    void PrintTo(QPrinter& printer) const;

    QPrinter& Printer() { return m_printer; }

private:
    const QPlainTextEdit& m_editor;
    QPrinter m_printer;
};
