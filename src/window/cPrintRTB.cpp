#include "window/cPrintRTB.h"

#include "dialogs/ApplicationPrinter.h"
#include "dialogs/clsCommonDialog.h"
#include "shell/AppError.h"
#include "shell/ErrorLog.h"
#include "shell/Twips.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextLayout>
#include <cmath>

namespace {
constexpr double kTwipsPerInch = Twips::PerInch;
const QString kContext = QStringLiteral("cPrintRTB: PrintRTF");
// The layout keeps lengths in 1/64 pixel, so a page's first line can sit a hair above the page
// boundary as a double sees it.
constexpr double kLayoutSlack = 0.5;

// Each page of a job starts with one printed space, as the job itself does.
void printSpace()
{
    ApplicationPrinter::Print(
        [](QPainter& painter) { painter.drawText(QPointF(0, 0), QStringLiteral(" ")); });
}

// Lengths on the printer in twips, and back to its pixels.
struct PrinterTwips {
    double resolution;
    int fromPixels(double pixels) const { return qRound(pixels * kTwipsPerInch / resolution); }
    double toPixels(int twips) const { return twips * resolution / kTwipsPerInch; }
};
} // namespace

PageFormatter::PageFormatter(const QTextEdit& source, QSizeF pageSize, QPaintDevice* device)
    : m_document(source.document()->clone()), m_pageSize(pageSize), m_palette(source.palette())
{
    // The page rectangle is the text's whole room: no frame margin, no note colour.
    QTextFrameFormat root = m_document->rootFrame()->frameFormat();
    root.setMargin(0);
    root.setPadding(0);
    root.clearBackground();
    m_document->rootFrame()->setFrameFormat(root);
    m_document->setDocumentMargin(0);
    m_document->documentLayout()->setPaintDevice(device);
    m_document->setPageSize(pageSize);
    (void)m_document->documentLayout()->documentSize(); // lays it out now
}

int PageFormatter::textLength() const
{
    return m_document->characterCount() - 1;
}

int PageFormatter::pageOf(int position) const
{
    const QTextBlock block = m_document->findBlock(position);
    if (!block.isValid() || !block.layout())
        return 0;
    const QRectF blockRect = m_document->documentLayout()->blockBoundingRect(block);
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    const double top = blockRect.top() + (line.isValid() ? line.y() : 0.0);
    return qMax(0, static_cast<int>(std::floor((top + kLayoutSlack) / m_pageSize.height())));
}

int PageFormatter::nextPageStart(int first) const
{
    const double pageEnd = (pageOf(first) + 1) * m_pageSize.height();
    for (QTextBlock block = m_document->findBlock(first); block.isValid(); block = block.next()) {
        const QRectF blockRect = m_document->documentLayout()->blockBoundingRect(block);
        const QTextLayout* layout = block.layout();
        for (int i = 0; layout && i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const int start = block.position() + line.textStart();
            if (start > first && blockRect.top() + line.y() + kLayoutSlack >= pageEnd)
                return start;
        }
    }
    return textLength();
}

void PageFormatter::drawPage(int first, QPainter& painter, const QRectF& rect) const
{
    const double pageTop = pageOf(first) * m_pageSize.height();
    painter.translate(rect.left(), rect.top() - pageTop);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = m_palette;
    // Only what lies on this page: the next page's first line may start a hair inside it.
    context.clip = QRectF(0, pageTop, rect.width(), rect.height() - kLayoutSlack);
    painter.setClipRect(context.clip);
    m_document->documentLayout()->draw(&painter, context);
}

bool cPrintRTB::PrintRTF(QTextEdit* RTF, int LeftMarginWidth, int TopMarginHeight,
                         int RightMarginWidth, int BottomMarginHeight)
{
    if (!RTF)
        return false;
    clsCommonDialog dialog;
    dialog.setOwnerHandle(RTF->window());
    dialog.ShowPrinter(0);

    QPrinter& printer = ApplicationPrinter::printer();
    ApplicationPrinter::StartDoc();
    printSpace();
    // Drawing starts at the printable area, which sits the physical offset in from the paper's
    // edge; the margins count from the edge.
    const PrinterTwips twips{static_cast<double>(printer.resolution())};
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const int leftOffset = twips.fromPixels(printable.left() - paper.left());
    const int topOffset = twips.fromPixels(printable.top() - paper.top());
    const int pageWidth = twips.fromPixels(paper.width());
    const int pageHeight = twips.fromPixels(paper.height());
    const int left = LeftMarginWidth - leftOffset;
    const int top = TopMarginHeight - topOffset;
    const int right = (pageWidth - RightMarginWidth) - leftOffset;
    const int bottom = (pageHeight - BottomMarginHeight) - topOffset;
    const QRectF draw(QPointF(twips.toPixels(left), twips.toPixels(top)),
                      QPointF(twips.toPixels(right), twips.toPixels(bottom)));
    if (draw.width() <= 0 || draw.height() <= 0) {
        modMain::WriteLogEntry(kContext, AppError::fromNumber(ErrorNumber::InvalidProcedureCall));
        ApplicationPrinter::KillDoc();
        return true;
    }

    const PageFormatter pages(*RTF, draw.size(), &printer);
    const int textLength = pages.textLength();
    int first = 0;
    for (;;) {
        ApplicationPrinter::Print(
            [pages, first, draw](QPainter& painter) { pages.drawPage(first, painter, draw); });
        const int next = pages.nextPageStart(first);
        if (next >= textLength || next <= first)
            break;
        first = next;
        ApplicationPrinter::NewPage();
        printSpace();
    }
    if (!dialog.PrintDoc())
        modMain::WriteLogEntry(kContext, AppError::fromNumber(ErrorNumber::DeviceIoError));
    return true;
}
