// Lays out and prints a note of about 100 pages to a PDF file through the printing class, and
// prints the page count and the time.
// Usage: bench_print [pages]   (100 by default)
#include "dialogs/ApplicationPrinter.h"
#include "dialogs/DialogSeam.h"
#include "window/cPrintRTB.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <cstdio>

namespace {
// Pages the note takes on the application's printer with one-inch margins.
int countPages(const QTextEdit& edit)
{
    QPrinter& printer = ApplicationPrinter::printer();
    const double inch = printer.resolution();
    const QSizeF page =
        printer.paperRect(QPrinter::DevicePixel).size() - QSizeF(2 * inch, 2 * inch);
    const PageFormatter pages(edit, page, &printer);
    int count = 1;
    for (int first = 0;; ++count) {
        const int next = pages.nextPageStart(first);
        if (next >= pages.textLength())
            return count;
        first = next;
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int wanted = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("note.pdf"));
    ApplicationPrinter::printer().setOutputFormat(QPrinter::PdfFormat);
    ApplicationPrinter::printer().setOutputFileName(pdf);

    // Numbered lines with some formatting, until the note fills the pages wanted.
    QTextEdit edit;
    QTextCursor cursor(edit.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const int linesPerPage = [&] {
        cursor.insertText(QStringLiteral("Line"));
        for (int i = 0; countPages(edit) < 2; ++i)
            cursor.insertText(QStringLiteral("\nLine"));
        return edit.document()->blockCount() - 1;
    }();
    edit.clear();
    cursor = QTextCursor(edit.document());
    for (int i = 0; i < linesPerPage * wanted; ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(QStringLiteral("Line %1 of the long note, with ").arg(i + 1));
        cursor.insertText(QStringLiteral("bold"), bold);
        cursor.insertText(QStringLiteral(" words and plain ones."), QTextCharFormat());
    }

    DialogSeam::arm();
    DialogSeam::queuePrinterAnswer({true, pdf});
    QElapsedTimer timer;
    timer.start();
    cPrintRTB().PrintRTF(&edit, 1440, 1440, 1440, 1440);
    const qint64 elapsed = timer.elapsed();
    std::printf("print: %d pages (%d lines), laid out and written to PDF in %lld ms "
                "(%.2f ms a page), %lld KiB\n",
                countPages(edit), linesPerPage * wanted, static_cast<long long>(elapsed),
                static_cast<double>(elapsed) / wanted,
                static_cast<long long>(QFileInfo(pdf).size() / 1024));
    return 0;
}
