// libFuzzer target for the RTF codec: any input must read without crashing or hanging, and
// whatever the reader understood must survive a write and a second read.
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts need a GUI application
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument document;
    RichText::readRtf(input, &document);

    const QByteArray rtf = RichText::writeRtf(&document);
    for (const char c : rtf) {
        if (uchar(c) >= 0x80)
            std::abort(); // the writer promises pure ASCII
    }
    QTextDocument back;
    RichText::readRtf(rtf, &back);
    if (back.toPlainText() != document.toPlainText())
        std::abort();
    return 0;
}
