#pragma once

#include <QPalette>
#include <QRectF>
#include <memory>

class QPaintDevice;
class QPainter;
class QTextDocument;
class QTextEdit;

// Prints a note's text area with its formatting onto the application's printer, after the
// printer dialog. One instance per print.
class cPrintRTB {
public:
    // Margins in twips from the paper's edges. False only when there is no text area to print;
    // failures while printing are logged here and go no further.
    bool PrintRTF(QTextEdit* RTF, int LeftMarginWidth, int TopMarginHeight, int RightMarginWidth,
                  int BottomMarginHeight);
};

// A copy of a text area's document laid out in pages of one size on a device (the note's
// background stays behind): draws the page that holds a character, and tells the first
// character that did not fit on that page. Copies share the layout.
class PageFormatter {
public:
    PageFormatter(const QTextEdit& source, QSizeF pageSize, QPaintDevice* device);

    // Characters in the text: a position at or past it is the end.
    int textLength() const;
    // The first position of the page after the one that holds first; textLength() when that
    // page reaches the end.
    int nextPageStart(int first) const;
    // Draws the page that holds first into rect (device pixels).
    void drawPage(int first, QPainter& painter, const QRectF& rect) const;

private:
    int pageOf(int position) const;

    std::shared_ptr<QTextDocument> m_document;
    QSizeF m_pageSize;
    QPalette m_palette;
};
