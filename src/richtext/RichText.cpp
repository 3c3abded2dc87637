#include "RichText.h"

#include "RtfReader.h"
#include "RtfWriter.h"

#include <QFont>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <vector>

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

// Qt's HTML writer puts a list item's own format (its marker's look) on the <li> and lets the
// item's text inherit it, though in the note the text never takes its paragraph's format. This
// spells out, on each run of an item, the plain value of what the item would otherwise lend it.
void keepListItemsFromLendingFormat(QTextDocument& document)
{
    QTextCharFormat plain;
    plain.setFont(document.defaultFont());
    plain.setForeground(QColor(Qt::black));
    struct Lent {
        int start = 0;
        int end = 0;
        QTextCharFormat format;
    };
    std::vector<Lent> lent;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!block.textList())
            continue;
        const QMap<int, QVariant> own = block.charFormat().properties();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment run = it.fragment();
            const QTextCharFormat format = run.charFormat();
            Lent entry{run.position(), run.position() + run.length(), {}};
            for (auto property = own.cbegin(); property != own.cend(); ++property) {
                if (!format.hasProperty(property.key()) && plain.hasProperty(property.key()))
                    entry.format.setProperty(property.key(), plain.property(property.key()));
            }
            if (!entry.format.properties().isEmpty())
                lent.push_back(entry);
        }
    }
    QTextCursor cursor(&document);
    for (const Lent& entry : lent) {
        cursor.setPosition(entry.start);
        cursor.setPosition(entry.end, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(entry.format);
    }
}

// The same writer gives such an <li> a second style attribute for its layout, which browsers
// drop (they keep the first of two); the two become one.
QString joinListItemStyles(QString html)
{
    static const QRegularExpression kTwoStyles(
        QStringLiteral(R"re(<li style="([^"]*)"([^>]*?) style="([^"]*)")re"));
    html.replace(kTwoStyles, QStringLiteral(R"re(<li\2 style="\1\3")re"));
    return html;
}

template <typename Rtf> QString htmlOf(const Rtf& rtf)
{
    QTextDocument document;
    readRtf(rtf, &document);
    keepListItemsFromLendingFormat(document);
    return joinListItemStyles(document.toHtml());
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
