#include "store/NoteDocument.h"

#include "richtext/CodePages.h"
#include "shell/version.h"

#include <QDomNamedNodeMap>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

// The five XML entities and the escapes that use each; whole documents use all five.
struct Entity {
    QChar character;
    QLatin1StringView replacement;
    bool inTextNode;
    bool inAttribute;
};

// The tree writer leaves quotes alone in text and apostrophes in attributes, as the classic
// DOM writer does.
constexpr std::array kEntities{
    Entity{u'&', QLatin1StringView("&amp;"), true, true},
    Entity{u'"', QLatin1StringView("&quot;"), false, true},
    Entity{u'\'', QLatin1StringView("&apos;"), false, false},
    Entity{u'<', QLatin1StringView("&lt;"), true, true},
    Entity{u'>', QLatin1StringView("&gt;"), true, true},
};

bool escapes(const Entity& entity, NoteDocument::XmlEscape which)
{
    switch (which) {
    case NoteDocument::XmlEscape::TextNode:
        return entity.inTextNode;
    case NoteDocument::XmlEscape::Attribute:
        return entity.inAttribute;
    case NoteDocument::XmlEscape::AllFive:
        break;
    }
    return true;
}

QString versionText()
{
    return QStringLiteral("%1.%2.0.%3")
        .arg(Version::Major)
        .arg(Version::Minor)
        .arg(Version::Revision);
}

// The lines before the first note and after the last one of a document written whole.
QString documentStart()
{
    return QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>") + kCrLf +
           QStringLiteral("<NOTES version=\"") + versionText() + QStringLiteral("\">") + kCrLf;
}

QString documentEnd()
{
    return QStringLiteral("</NOTES>") + kCrLf;
}

bool isXmlChar(char16_t c)
{
    return c == u'\t' || c == u'\n' || c == u'\r' || (c >= 0x20 && c < 0xD800) ||
           (c >= 0xE000 && c <= 0xFFFD);
}

// The bytes we write are UTF-8, so a declaration read from an older file must say so.
QString withUtf8Declaration(QString declaration)
{
    const QLatin1String key("encoding");
    const auto skipBlanks = [&declaration](qsizetype i) {
        while (i < declaration.size() && declaration[i].isSpace())
            ++i;
        return i;
    };
    for (qsizetype at = declaration.indexOf(key); at >= 0; at = declaration.indexOf(key, at + 1)) {
        qsizetype i = skipBlanks(at + key.size());
        if (i >= declaration.size() || declaration[i] != u'=')
            continue;
        i = skipBlanks(i + 1);
        if (i >= declaration.size() || declaration[i] != u'"')
            continue;
        const qsizetype close = declaration.indexOf(u'"', i + 1);
        if (close >= 0)
            declaration.replace(at, close + 1 - at, QStringLiteral("encoding=\"UTF-8\""));
    }
    return declaration;
}

QString element(const QString& name, const QString& content)
{
    return QLatin1Char('<') + name + QLatin1Char('>') + content + QStringLiteral("</") + name +
           QLatin1Char('>') + kCrLf;
}

void serializeNode(const QDomNode& node, QString& out);

void serializeElement(const QDomElement& element, QString& out)
{
    out += QLatin1Char('<') + element.tagName();
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        out += QLatin1Char(' ') + attribute.name() + QStringLiteral("=\"") +
               NoteDocument::EscapeXml(attribute.value(), NoteDocument::XmlEscape::Attribute) +
               QLatin1Char('"');
    }
    if (!element.hasChildNodes()) {
        out += QStringLiteral("/>");
        return;
    }
    out += QLatin1Char('>');
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
        serializeNode(child, out);
    out += QStringLiteral("</") + element.tagName() + QLatin1Char('>');
}

void serializeNode(const QDomNode& node, QString& out)
{
    switch (node.nodeType()) {
    case QDomNode::ElementNode:
        serializeElement(node.toElement(), out);
        break;
    case QDomNode::TextNode:
        out += NoteDocument::EscapeXml(node.nodeValue(), NoteDocument::XmlEscape::TextNode);
        break;
    case QDomNode::CDATASectionNode:
        out += QStringLiteral("<![CDATA[") + node.nodeValue() + QStringLiteral("]]>");
        break;
    case QDomNode::CommentNode:
        out += QStringLiteral("<!--") + node.nodeValue() + QStringLiteral("-->");
        break;
    case QDomNode::ProcessingInstructionNode: {
        const QDomProcessingInstruction pi = node.toProcessingInstruction();
        QString data = pi.data();
        // The parser rebuilds the XML declaration with single quotes; keep the usual form.
        if (pi.target() == QLatin1String("xml"))
            data = withUtf8Declaration(data.replace(QLatin1Char('\''), QLatin1Char('"')));
        out += QStringLiteral("<?") + pi.target() + QLatin1Char(' ') + data + QStringLiteral("?>");
        break;
    }
    case QDomNode::EntityReferenceNode:
        out += QLatin1Char('&') + node.nodeName() + QLatin1Char(';');
        break;
    default:
        break;
    }
}

// Text of the first child element called name, or nothing when there is none.
std::optional<QString> childText(const QDomNode& node, const QString& name)
{
    const QDomElement child = node.firstChildElement(name);
    if (child.isNull())
        return std::nullopt;
    return child.text();
}

// The elements of a note, in the order they are written. A field holds text or a number of
// twips; REMINDER is read from files that have it but never written.
struct StoredField {
    enum Use { ReadWrite, ReadOnly };
    const char* name;
    QString NoteRecord::*text = nullptr;
    qint32 NoteRecord::*number = nullptr;
    Use use = ReadWrite;
};

constexpr StoredField textField(const char* name, QString NoteRecord::*member,
                                StoredField::Use use = StoredField::ReadWrite)
{
    return StoredField{name, member, nullptr, use};
}

constexpr StoredField numberField(const char* name, qint32 NoteRecord::*member)
{
    return StoredField{name, nullptr, member};
}

constexpr std::array kStoredFields{
    textField("COLOR", &NoteRecord::Color),
    textField("DATA", &NoteRecord::Data),
    textField("TIMEDATE", &NoteRecord::TimeDate),
    numberField("HEIGHT", &NoteRecord::Height),
    numberField("WIDTH", &NoteRecord::Width),
    numberField("LEFT", &NoteRecord::Left),
    numberField("TOP", &NoteRecord::Top),
    textField("REMINDER", &NoteRecord::Reminder, StoredField::ReadOnly),
};

// The fields that files get, each with its text.
QList<std::pair<QString, QString>> writtenFields(const NoteRecord& record)
{
    QList<std::pair<QString, QString>> fields;
    for (const StoredField& field : kStoredFields) {
        if (field.use == StoredField::ReadOnly)
            continue;
        fields.append(
            {QString::fromLatin1(field.name), field.text ? NoteDocument::xmlSafe(record.*field.text)
                                                         : QString::number(record.*field.number)});
    }
    return fields;
}

QDomElement noteElement(QDomDocument& document, const NoteRecord& record)
{
    QDomElement note = document.createElement(QStringLiteral("NOTE"));
    for (const auto& [name, value] : writtenFields(record))
        NoteDocument::AppendChildElement(note, name, value);
    return note;
}

AppError refused(const QString& why)
{
    AppError error = AppError::fromNumber(ErrorNumber::InvalidFileFormat);
    error.description = QStringLiteral("The note file was not read: ") + why;
    return error;
}

AppError tooLarge()
{
    return refused(
        QStringLiteral("it is larger than %1 MB").arg(NoteDocument::kMaxFileBytes >> 20));
}

// A streaming pass that stops at the first sign of a file the DOM reader would choke on.
Failure checkLimits(const QString& text)
{
    QXmlStreamReader reader(text);
    int depth = 0;
    int notes = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            if (!reader.entityDeclarations().isEmpty() ||
                reader.text().contains(QLatin1String("<!ENTITY")))
                return refused(QStringLiteral("its document type declares entities"));
            break;
        case QXmlStreamReader::StartElement:
            if (++depth > NoteDocument::kMaxNesting)
                return refused(QStringLiteral("its elements nest deeper than %1")
                                   .arg(NoteDocument::kMaxNesting));
            if (depth == 2 && ++notes > NoteDocument::kMaxNotes)
                return refused(
                    QStringLiteral("it holds more than %1 notes").arg(NoteDocument::kMaxNotes));
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    // A file that is not well-formed is left to the DOM reader, which says where.
    return std::nullopt;
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

Expected<QString> decodeDeclared(QByteArrayView bytes, const QString& name)
{
    for (const DeclaredEncoding& entry : kDeclaredEncodings) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.decode(bytes);
    }
    QStringDecoder decoder(name.toLatin1().constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return refused(QStringLiteral("its encoding %1 is not supported").arg(name));
    return QString(decoder.decode(bytes));
}

Failure readField(const StoredField& field, const QString& text, NoteRecord& record)
{
    if (field.text) {
        record.*field.text = text;
        return std::nullopt;
    }
    const Expected<qint32> number = NoteDocument::toTwipsNumber(text);
    if (!number)
        return number.error();
    record.*field.number = number.value();
    return std::nullopt;
}

Failure fillRecord(const QDomNode& node, const QString& path, NoteRecord& record)
{
    for (const StoredField& field : kStoredFields) {
        const auto text = childText(node, QString::fromLatin1(field.name));
        if (!text)
            continue;
        if (Failure failure = readField(field, *text, record))
            return failure;
    }
    record.FileName = path;
    return std::nullopt;
}
} // namespace

QString NoteDocument::EscapeXml(const QString& text, XmlEscape which)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const auto entity = std::find_if(kEntities.begin(), kEntities.end(),
                                         [c](const Entity& e) { return e.character == c; });
        if (entity != kEntities.end() && escapes(*entity, which))
            out += entity->replacement;
        else
            out += c;
    }
    return out;
}

QString NoteDocument::xmlSafe(const QString& text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c.isHighSurrogate() && i + 1 < out.size() && out.at(i + 1).isLowSurrogate())
            ++i; // a pair is one character outside the basic plane, which XML allows
        else if (!isXmlChar(c.unicode()))
            out[i] = QChar::ReplacementCharacter;
    }
    return out;
}

QByteArray NoteDocument::wholeDocument(const NoteRecord& record)
{
    QString text;
    text.reserve(record.Data.size() + 512);
    text += documentStart();
    text += QStringLiteral("<NOTE>") + kCrLf;
    for (const auto& [name, value] : writtenFields(record))
        text += element(name, EscapeXml(value));
    text += QStringLiteral("</NOTE>") + kCrLf;
    text += documentEnd();
    return text.toUtf8();
}

QByteArray NoteDocument::noteList(const NoteRecordList& records)
{
    if (records.isEmpty())
        return (documentStart() + documentEnd()).toUtf8();
    QByteArray first = wholeDocument(records.first());
    if (records.size() == 1)
        return first;
    Expected<QDomDocument> document = parse(first);
    if (!document)
        return {}; // reads as a failure wherever it is checked
    for (qsizetype i = 1; i < records.size(); ++i)
        appendNote(document.value(), records.at(i));
    return serialize(document.value());
}

void NoteDocument::AppendChildElement(QDomElement& parent, const QString& name, const QString& text)
{
    QDomDocument document = parent.ownerDocument();
    parent.appendChild(document.createTextNode(kCrLf));
    QDomElement child = document.createElement(name);
    child.appendChild(document.createTextNode(text));
    parent.appendChild(child);
    parent.appendChild(document.createTextNode(kCrLf));
}

void NoteDocument::appendNote(QDomDocument& document, const NoteRecord& record)
{
    QDomElement root = document.documentElement();
    root.appendChild(document.createTextNode(kCrLf));
    root.appendChild(noteElement(document, record));
    root.appendChild(document.createTextNode(kCrLf));
}

void NoteDocument::replaceFirstNote(QDomDocument& document, const NoteRecord& record)
{
    QDomElement root = document.documentElement();
    const QDomElement first = root.firstChildElement();
    if (first.isNull())
        root.appendChild(noteElement(document, record));
    else
        root.replaceChild(noteElement(document, record), first);
}

int NoteDocument::noteCount(const QDomDocument& document)
{
    int count = 0;
    for (QDomElement note = document.documentElement().firstChildElement(); !note.isNull();
         note = note.nextSiblingElement())
        ++count;
    return count;
}

QByteArray NoteDocument::serialize(const QDomDocument& document)
{
    QString out;
    for (QDomNode node = document.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isDocumentType())
            continue;
        serializeNode(node, out);
        out += kCrLf;
    }
    return out.toUtf8();
}

Expected<QString> NoteDocument::decode(QByteArrayView bytes)
{
    for (const ByteOrderMark& bom : kByteOrderMarks) {
        if (bytes.startsWith(bom.mark)) {
            QStringDecoder decoder(bom.encoding, QStringDecoder::Flag::Stateless);
            return QString(decoder.decode(bytes.sliced(bom.mark.size())));
        }
    }
    const QString declared = declaredEncoding(bytes);
    if (!declared.isEmpty())
        return decodeDeclared(bytes, declared);
    // The 8-bit writer wrote no declaration; its files are not valid UTF-8.
    return RichText::decodeUtf8OrWindows1252(bytes);
}

Expected<QDomDocument> NoteDocument::parse(const QByteArray& bytes)
{
    if (bytes.size() > kMaxFileBytes)
        return tooLarge();
    // Decoded here, so the parser below never decodes again from a declaration it sees.
    const Expected<QString> text = decode(bytes);
    if (!text)
        return text.error();
    return parseText(text.value());
}

Expected<QString> NoteDocument::decodeAs(QByteArrayView bytes, const QString& encoding)
{
    return decodeDeclared(bytes, encoding);
}

Expected<QDomDocument> NoteDocument::parseText(const QString& text)
{
    if (Failure failure = checkLimits(text))
        return *failure;
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(text, &message, &line, &column)) {
        return AppError{ErrorNumber::XmlParseError,
                        {},
                        QStringLiteral("The note file is not well-formed XML: %1 (line %2, "
                                       "column %3)")
                            .arg(message)
                            .arg(line)
                            .arg(column)};
    }
    return document;
}

Expected<QDomDocument> NoteDocument::parseFile(const QString& path)
{
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile())
        return AppError{ErrorNumber::FileNotFound, {}, QStringLiteral("File not found: ") + path};
    if (info.size() > kMaxFileBytes)
        return tooLarge();
    if (!file.open(QIODevice::ReadOnly)) {
        return AppError{ErrorNumber::PermissionDenied,
                        {},
                        QStringLiteral("Cannot read ") + path + QStringLiteral(": ") +
                            file.errorString()};
    }
    return parse(file.readAll());
}

Expected<NoteRecordList> NoteDocument::records(const QDomDocument& document, const QString& path)
{
    const QDomElement root = document.documentElement();
    if (root.isNull())
        return AppError::fromNumber(ErrorNumber::ObjectNotSet);
    NoteRecordList list;
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        NoteRecord record;
        if (Failure failure = fillRecord(node, path, record))
            return *failure;
        list.append(record);
    }
    return list;
}

Expected<qint32> NoteDocument::toTwipsNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return AppError::fromNumber(ErrorNumber::TypeMismatch);
    // nearbyint follows the default rounding mode: to nearest, halves to even.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<qint32>::min() ||
        rounded > std::numeric_limits<qint32>::max())
        return AppError::fromNumber(ErrorNumber::Overflow);
    return static_cast<qint32>(rounded);
}
