#include "RichText.h"

#include "RtfReader.h"
#include "RtfWriter.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace RichText {

QString plainText(const QTextDocument* document)
{
    QString text;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin())
            text += QLatin1String("\r\n");
        text += block.text();
    }
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return text;
}

namespace {
template <typename Rtf> QString plainTextOf(const Rtf& rtf)
{
    QTextDocument document;
    readRtf(rtf, &document);
    return plainText(&document);
}

template <typename Rtf> QString htmlOf(const Rtf& rtf)
{
    QTextDocument document;
    readRtf(rtf, &document);
    return document.toHtml();
}
} // namespace

QString toPlainText(const QByteArray& rtf)
{
    return plainTextOf(rtf);
}

QString toPlainText(const QString& rtf)
{
    return plainTextOf(rtf);
}

QString toHtml(const QByteArray& rtf)
{
    return htmlOf(rtf);
}

QString toHtml(const QString& rtf)
{
    return htmlOf(rtf);
}

void setTextRTF(QTextEdit* edit, const QByteArray& rtf)
{
    if (edit)
        readRtf(rtf, edit->document());
}

void setTextRTF(QTextEdit* edit, const QString& rtf)
{
    if (edit)
        readRtf(rtf, edit->document());
}

QByteArray textRTF(const QTextEdit* edit)
{
    return edit ? writeRtf(edit->document()) : QByteArray();
}

void installFontSubstitutes()
{
    static const struct {
        const char* stored;
        const char* shown;
    } kSubstitutes[] = {
        {"Comic Sans MS", "Comic Neue"},
        {"Verdana", "DejaVu Sans"},
    };
    for (const auto& entry : kSubstitutes) {
        const QString stored = QLatin1String(entry.stored);
        if (!QFont::substitutes(stored).contains(QLatin1String(entry.shown), Qt::CaseInsensitive))
            QFont::insertSubstitution(stored, QLatin1String(entry.shown));
    }
}

} // namespace RichText
