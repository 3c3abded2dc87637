#include "shell/SafeXml.h"

#include "richtext/CodePages.h"
#include "shell/modFileFunctions.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace {
// The survey reads bytes and decoded text alike: all markup is ASCII.
char16_t charAt(QByteArrayView text, qsizetype i)
{
    return uchar(text[i]);
}

char16_t charAt(QStringView text, qsizetype i)
{
    return text[i].unicode();
}

qsizetype find(QByteArrayView text, const char* what, qsizetype from)
{
    return text.indexOf(QByteArrayView(what), from);
}

qsizetype find(QStringView text, const char* what, qsizetype from)
{
    return text.indexOf(QLatin1StringView(what), from);
}

qsizetype findChar(QByteArrayView text, char c, qsizetype from)
{
    return text.indexOf(c, from);
}

qsizetype findChar(QStringView text, char c, qsizetype from)
{
    return text.indexOf(QChar::fromLatin1(c), from);
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// A processing instruction's target that every reader reads back as it was: plain ASCII, as
// every real one is.
template <typename View> bool isPlainName(View text)
{
    if (text.isEmpty())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = charAt(text, i);
        const bool starts = isAsciiLetter(c) || c == u'_' || c == u':';
        const bool continues = (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
        if (!starts && !(i > 0 && continues))
            return false;
    }
    return true;
}

// One pass over a document's markup that counts what a tree of it would hold and stops at the
// first limit passed. It jumps from one markup character to the next, so it reads each
// character of the markup once (and looks for a NUL in the whole once the markup passed).
template <typename View> class Survey {
public:
    Survey(View text, const SafeXml::Rules& rules) : m_text(text), m_rules(rules) {}

    SafeXml::Census run()
    {
        qsizetype i = 0;
        while (!m_census.refusal && i < m_text.size()) {
            const Expected<qsizetype> next = markupAt(i);
            if (next.failed())
                m_census.refusal = next.error();
            else
                i = next.value();
        }
        m_census.reach = std::min(i + 1, m_text.size());
        // Looked for last, once the markup passed: a hostile file is refused before it is all
        // read. The reader takes a NUL in some names, and what it then writes cannot be read.
        if (!m_census.refusal && findChar(m_text, '\0', 0) >= 0)
            m_census.refusal = refuse(QStringLiteral("it holds a NUL character"));
        return m_census;
    }

private:
    AppError refuse(const QString& why) const { return SafeXml::refused(m_rules, why); }

    bool startsAt(qsizetype i, const char* what) const
    {
        for (; *what != '\0'; ++what, ++i) {
            if (i >= m_text.size() || charAt(m_text, i) != char16_t(*what))
                return false;
        }
        return true;
    }

    // The index just after the end marker found from from, or the end of the text.
    qsizetype after(const char* end, qsizetype from) const
    {
        const qsizetype at = find(m_text, end, from);
        return at < 0 ? m_text.size() : at + qsizetype(qstrlen(end));
    }

    Result node()
    {
        if (++m_census.nodes > m_rules.maxNodes)
            return refuse(QStringLiteral("it has more than %1 elements, attributes, texts and "
                                         "comments")
                              .arg(m_rules.maxNodes));
        return {};
    }

    // One child node at level (the root is at 1): an entry when directly in the root.
    Result node(int level)
    {
        if (Result counted = node(); counted.failed())
            return counted;
        if (level == 2 && ++m_census.entries > m_rules.maxEntries)
            return refuse(QStringLiteral("it holds more than %1 %2")
                              .arg(m_rules.maxEntries)
                              .arg(m_rules.entries));
        return {};
    }

    // The index after the text, comment, declaration or tag at i.
    Expected<qsizetype> markupAt(qsizetype i)
    {
        if (charAt(m_text, i) != u'<')
            return textAt(i);
        if (startsAt(i, "<!--"))
            return other(after("-->", i + 4));
        if (startsAt(i, "<![CDATA["))
            return other(after("]]>", i + 9));
        if (startsAt(i, "<!"))
            return declarationAt(i);
        if (startsAt(i, "<?"))
            return instructionAt(i);
        if (startsAt(i, "</")) {
            m_depth = std::max(0, m_depth - 1);
            return after(">", i + 2);
        }
        return startTagAt(i);
    }

    Expected<qsizetype> other(qsizetype next)
    {
        if (Result counted = node(m_depth + 1); counted.failed())
            return counted.error();
        return next;
    }

    Expected<qsizetype> textAt(qsizetype i)
    {
        const qsizetype lt = findChar(m_text, '<', i);
        const qsizetype end = lt < 0 ? m_text.size() : lt;
        for (qsizetype j = i; j < end; ++j) {
            if (!isBlank(charAt(m_text, j)))
                return other(end); // the reader drops text of blanks only
        }
        return end;
    }

    // A document type: one with an internal subset is refused; that is where entities and
    // default attributes turn a small file into gigabytes.
    Expected<qsizetype> declarationAt(qsizetype i)
    {
        // Only one, before the root: the stream reader takes one anywhere, the tree does not.
        if (m_census.elements > 0 || m_declared)
            return refuse(QStringLiteral("it has a document type that is not in its place"));
        m_declared = true;
        const qsizetype j = unquoted(i + 2, u'[', u'>');
        if (j < m_text.size() && charAt(m_text, j) == u'[')
            return refuse(QStringLiteral("its document type makes declarations of its own"));
        return std::min(j + 1, m_text.size());
    }

    // The first of stop or end at or after j outside a quoted value, or the end of the text.
    qsizetype unquoted(qsizetype j, char16_t stop, char16_t end) const
    {
        char16_t quote = 0;
        for (; j < m_text.size(); ++j) {
            const char16_t c = charAt(m_text, j);
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == stop || c == end) {
                return j;
            }
        }
        return j;
    }

    Expected<qsizetype> instructionAt(qsizetype i)
    {
        const qsizetype end = after("?>", i + 2);
        qsizetype nameEnd = i + 2;
        while (nameEnd < end && !isBlank(charAt(m_text, nameEnd)) &&
               charAt(m_text, nameEnd) != u'?')
            ++nameEnd;
        if (!isPlainName(m_text.sliced(i + 2, nameEnd - i - 2)))
            return refuse(
                QStringLiteral("a processing instruction's name is not a plain XML name"));
        return other(end);
    }

    Expected<qsizetype> startTagAt(qsizetype i)
    {
        ++m_census.elements;
        ++m_depth;
        m_census.deepest = std::max(m_census.deepest, m_depth);
        if (m_depth > m_rules.maxNesting)
            return refuse(
                QStringLiteral("its elements nest deeper than %1").arg(m_rules.maxNesting));
        if (Result counted = node(m_depth); counted.failed())
            return counted.error();
        int attributes = 0;
        qsizetype j = unquoted(i + 1, u'=', u'>');
        for (; j < m_text.size() && charAt(m_text, j) == u'='; j = unquoted(j + 1, u'=', u'>')) {
            if (++attributes > m_rules.maxAttributes)
                return refuse(QStringLiteral("an element has more than %1 attributes")
                                  .arg(m_rules.maxAttributes));
            if (Result counted = node(); counted.failed())
                return counted.error();
        }
        m_census.mostAttributes = std::max(m_census.mostAttributes, attributes);
        if (j < m_text.size() && j > i + 1 && charAt(m_text, j - 1) == u'/')
            --m_depth; // an empty element closes itself
        return j + 1;
    }

    View m_text;
    const SafeXml::Rules& m_rules;
    SafeXml::Census m_census;
    int m_depth = 0;
    bool m_declared = false;
};

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

bool isUtf16(QByteArrayView bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

// The tree of text whose survey passed.
Expected<QDomDocument> treeOf(const QString& text, const SafeXml::Rules& rules)
{
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(text, &message, &line, &column))
        return SafeXml::notWellFormed(rules, message, line, column);
    return document;
}

} // namespace

AppError SafeXml::refused(const Rules& rules, const QString& why)
{
    AppError error = AppError::fromNumber(ErrorNumber::InvalidFileFormat);
    error.description = QStringLiteral("The %1 was not read: %2").arg(rules.document, why);
    return error;
}

AppError SafeXml::notWellFormed(const Rules& rules, const QString& message, qint64 line,
                                qint64 column)
{
    return AppError{ErrorNumber::XmlParseError,
                    {},
                    QStringLiteral("The %1 is not well-formed XML: %2 (line %3, column %4)")
                        .arg(rules.document, message)
                        .arg(line)
                        .arg(column)};
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

namespace {
// Bytes whose survey passed, decoded. Text in UTF-16 is surveyed here, once it is text.
Expected<QString> decodeSurveyed(const QByteArray& bytes, const SafeXml::Rules& rules)
{
    Expected<QString> text = SafeXml::decode(bytes, rules);
    if (text.failed() || !isUtf16(bytes))
        return text;
    if (auto refusal = SafeXml::survey(QStringView(text.value()), rules).refusal)
        return *refusal;
    return text;
}
} // namespace

SafeXml::Census SafeXml::survey(QByteArrayView bytes, const Rules& rules)
{
    return Survey<QByteArrayView>(bytes, rules).run();
}

SafeXml::Census SafeXml::survey(QStringView text, const Rules& rules)
{
    return Survey<QStringView>(text, rules).run();
}

bool SafeXml::isXmlName(QStringView text)
{
    return isPlainName(text);
}

Expected<QString> SafeXml::surveyedText(const QByteArray& bytes, const Rules& rules)
{
    if (bytes.size() > rules.maxBytes)
        return tooLarge(rules);
    if (!isUtf16(bytes)) {
        if (auto refusal = survey(QByteArrayView(bytes), rules).refusal)
            return *refusal;
    }
    return decodeSurveyed(bytes, rules);
}

Expected<QString> SafeXml::surveyedFileText(const QString& path, const Rules& rules)
{
    const Expected<QByteArray> bytes = readSurveyed(path, rules);
    if (bytes.failed())
        return bytes.error();
    return decodeSurveyed(bytes.value(), rules);
}

Expected<QDomDocument> SafeXml::parse(const QByteArray& bytes, const Rules& rules)
{
    const Expected<QString> text = surveyedText(bytes, rules);
    if (text.failed())
        return text.error();
    return treeOf(text.value(), rules);
}

Expected<QDomDocument> SafeXml::parseText(const QString& text, const Rules& rules)
{
    if (auto refusal = survey(QStringView(text), rules).refusal)
        return *refusal;
    return treeOf(text, rules);
}

Expected<QByteArray> SafeXml::readSurveyed(const QString& path, const Rules& rules)
{
    // Only a regular file: reading a FIFO or a device could wait for ever.
    Expected<QByteArray> bytes = modFileFunctions::ReadRegularFile(path, rules.maxBytes);
    if (bytes.failed()) {
        switch (bytes.error().number) {
        case ErrorNumber::Overflow:
            return tooLarge(rules);
        case ErrorNumber::FileNotFound:
            return AppError{
                ErrorNumber::FileNotFound, {}, QStringLiteral("File not found: ") + path};
        default:
            return AppError{ErrorNumber::PermissionDenied,
                            {},
                            QStringLiteral("Cannot read ") + path + QStringLiteral(": ") +
                                bytes.error().description};
        }
    }
    if (!isUtf16(bytes.value())) {
        if (auto refusal = survey(QByteArrayView(bytes.value()), rules).refusal)
            return *refusal;
    }
    return bytes;
}

Expected<QDomDocument> SafeXml::parseFile(const QString& path, const Rules& rules)
{
    const Expected<QString> text = surveyedFileText(path, rules);
    if (text.failed())
        return text.error();
    return treeOf(text.value(), rules);
}
