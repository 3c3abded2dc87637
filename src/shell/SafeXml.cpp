#include "shell/SafeXml.h"

#include "richtext/CodePages.h"

#include <QStringDecoder>
#include <QXmlStreamReader>
#include <array>

namespace {
// A streaming pass that stops at the first sign of a document the DOM reader would choke on.
Result checkLimits(const QString& text, const SafeXml::Rules& rules)
{
    QXmlStreamReader reader(text);
    int depth = 0;
    int entries = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            if (!reader.entityDeclarations().isEmpty() ||
                reader.text().contains(QLatin1String("<!ENTITY")))
                return SafeXml::refused(rules,
                                        QStringLiteral("its document type declares entities"));
            break;
        case QXmlStreamReader::StartElement:
            if (++depth > rules.maxNesting)
                return SafeXml::refused(
                    rules,
                    QStringLiteral("its elements nest deeper than %1").arg(rules.maxNesting));
            if (depth == 2 && ++entries > rules.maxEntries)
                return SafeXml::refused(rules, QStringLiteral("it holds more than %1 %2")
                                                   .arg(rules.maxEntries)
                                                   .arg(rules.entries));
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    // A document that is not well-formed is left to the DOM reader, which says where.
    return {};
}

struct ByteOrderMark {
    QByteArrayView mark;
    QStringDecoder::Encoding encoding;
};

const std::array kByteOrderMarks{
    ByteOrderMark{QByteArrayView("\xEF\xBB\xBF"), QStringDecoder::Utf8},
    ByteOrderMark{QByteArrayView("\xFF\xFE"), QStringDecoder::Utf16LE},
    ByteOrderMark{QByteArrayView("\xFE\xFF"), QStringDecoder::Utf16BE},
};

QString decodeUtf8(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

QString decodeLatin1(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}

struct DeclaredEncoding {
    const char* name;
    QString (*decode)(QByteArrayView);
};

// The encodings note files declare, under the names they go by.
constexpr std::array kDeclaredEncodings{
    DeclaredEncoding{"UTF-8", decodeUtf8},
    DeclaredEncoding{"UTF8", decodeUtf8},
    DeclaredEncoding{"US-ASCII", decodeUtf8},
    DeclaredEncoding{"ISO-8859-1", decodeLatin1},
    DeclaredEncoding{"ISO8859-1", decodeLatin1},
    DeclaredEncoding{"Latin1", decodeLatin1},
    DeclaredEncoding{"Windows-1252", RichText::decodeWindows1252},
    DeclaredEncoding{"CP1252", RichText::decodeWindows1252},
};

bool isXmlBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isEncodingNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

// The name in ` = "name"` (or single quotes) at from in text, or empty when it is not there.
// Read by hand: every note file is read at start, and this is all of its declaration we need.
QByteArrayView quotedNameAfter(QByteArrayView text, qsizetype from)
{
    qsizetype i = from;
    const auto skipBlanks = [&] {
        while (i < text.size() && isXmlBlank(text[i]))
            ++i;
    };
    skipBlanks();
    if (i >= text.size() || text[i] != '=')
        return {};
    ++i;
    skipBlanks();
    if (i >= text.size() || (text[i] != '"' && text[i] != '\''))
        return {};
    const qsizetype start = ++i;
    while (i < text.size() && isEncodingNameChar(text[i]))
        ++i;
    if (i == start || i >= text.size() || (text[i] != '"' && text[i] != '\''))
        return {};
    return text.sliced(start, i - start);
}

// The encoding named in the XML declaration at the start of bytes, or empty text.
QString declaredEncoding(QByteArrayView bytes)
{
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    const QByteArrayView declaration = bytes.first(end);
    for (qsizetype at = declaration.indexOf("encoding"); at >= 0;
         at = declaration.indexOf("encoding", at + 1)) {
        const QByteArrayView name =
            quotedNameAfter(declaration, at + qsizetype(qstrlen("encoding")));
        if (!name.isEmpty())
            return QString::fromLatin1(name);
    }
    return {};
}

Expected<QString> decodeDeclared(QByteArrayView bytes, const QString& name,
                                 const SafeXml::Rules& rules)
{
    for (const DeclaredEncoding& entry : kDeclaredEncodings) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.decode(bytes);
    }
    QStringDecoder decoder(name.toLatin1().constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return SafeXml::refused(rules,
                                QStringLiteral("its encoding %1 is not supported").arg(name));
    return QString(decoder.decode(bytes));
}

} // namespace

AppError SafeXml::refused(const Rules& rules, const QString& why)
{
    AppError error = AppError::fromNumber(ErrorNumber::InvalidFileFormat);
    error.description = QStringLiteral("The %1 was not read: %2").arg(rules.document, why);
    return error;
}

AppError SafeXml::tooLarge(const Rules& rules)
{
    return refused(rules, QStringLiteral("it is larger than %1 MB").arg(rules.maxBytes >> 20));
}

Expected<QString> SafeXml::decode(QByteArrayView bytes, const Rules& rules)
{
    for (const ByteOrderMark& bom : kByteOrderMarks) {
        if (bytes.startsWith(bom.mark)) {
            QStringDecoder decoder(bom.encoding, QStringDecoder::Flag::Stateless);
            return QString(decoder.decode(bytes.sliced(bom.mark.size())));
        }
    }
    const QString declared = declaredEncoding(bytes);
    if (!declared.isEmpty())
        return decodeDeclared(bytes, declared, rules);
    // Older 8-bit writers wrote no declaration; their files are not valid UTF-8.
    return RichText::decodeUtf8OrWindows1252(bytes);
}

Expected<QString> SafeXml::decodeAs(QByteArrayView bytes, const QString& encoding,
                                    const Rules& rules)
{
    return decodeDeclared(bytes, encoding, rules);
}

Expected<QDomDocument> SafeXml::parse(const QByteArray& bytes, const Rules& rules)
{
    if (bytes.size() > rules.maxBytes)
        return tooLarge(rules);
    // Decoded here, so the parser below never decodes again from a declaration it sees.
    const Expected<QString> text = decode(bytes, rules);
    if (text.failed())
        return text.error();
    return parseText(text.value(), rules);
}

Expected<QDomDocument> SafeXml::parseText(const QString& text, const Rules& rules)
{
    if (Result failure = checkLimits(text, rules); failure.failed())
        return failure.error();
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(text, &message, &line, &column)) {
        return AppError{ErrorNumber::XmlParseError,
                        {},
                        QStringLiteral("The %1 is not well-formed XML: %2 (line %3, column %4)")
                            .arg(rules.document, message)
                            .arg(line)
                            .arg(column)};
    }
    return document;
}
