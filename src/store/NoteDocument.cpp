#include "store/NoteDocument.h"

#include "shell/SafeXml.h"
#include "shell/modFileFunctions.h"
#include "shell/version.h"

#include <QDomNamedNodeMap>
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

// The elements of a note, in the order they are written. A field holds text, a number of
// twips or a flag; REMINDER is read from files that have it but never written. A flag, and
// FOLDERID, are written only while they are set, so files of notes without them look as they
// always did, and readers that do not know them pass over them.
struct StoredField {
    enum Use { ReadWrite, ReadOnly, WhenSet };
    const char* name;
    QString NoteRecord::*text = nullptr;
    qint32 NoteRecord::*number = nullptr;
    Use use = ReadWrite;
    bool NoteRecord::*flag = nullptr;
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

constexpr StoredField flagField(const char* name, bool NoteRecord::*member)
{
    return StoredField{name, nullptr, nullptr, StoredField::WhenSet, member};
}

const QString kFlagSet = QStringLiteral("True");

constexpr std::array kStoredFields{
    textField("COLOR", &NoteRecord::Color),
    textField("DATA", &NoteRecord::Data),
    textField("TIMEDATE", &NoteRecord::TimeDate),
    numberField("HEIGHT", &NoteRecord::Height),
    numberField("WIDTH", &NoteRecord::Width),
    numberField("LEFT", &NoteRecord::Left),
    numberField("TOP", &NoteRecord::Top),
    textField("REMINDER", &NoteRecord::Reminder, StoredField::ReadOnly),
    flagField("ALLWORKSPACES", &NoteRecord::OnAllWorkspaces),
    textField("FOLDERID", &NoteRecord::FolderId, StoredField::WhenSet),
};

// The fields that files get, each with its text.
QList<std::pair<QString, QString>> writtenFields(const NoteRecord& record)
{
    QList<std::pair<QString, QString>> fields;
    for (const StoredField& field : kStoredFields) {
        if (field.use == StoredField::ReadOnly)
            continue;
        if (field.flag) {
            if (record.*field.flag)
                fields.append({QString::fromLatin1(field.name), kFlagSet});
            continue;
        }
        if (field.use == StoredField::WhenSet && field.text && (record.*field.text).isEmpty())
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

Result readField(const StoredField& field, const QString& text, NoteRecord& record)
{
    if (field.text) {
        record.*field.text = text;
        return {};
    }
    if (field.flag) {
        record.*field.flag = text.trimmed().compare(kFlagSet, Qt::CaseInsensitive) == 0;
        return {};
    }
    const Expected<qint32> number = NoteDocument::toTwipsNumber(text);
    if (number.failed())
        return number.error();
    record.*field.number = number.value();
    return {};
}

Result fillRecord(const QDomNode& node, const QString& path, NoteRecord& record)
{
    for (const StoredField& field : kStoredFields) {
        const auto text = childText(node, QString::fromLatin1(field.name));
        if (!text)
            continue;
        if (Result failure = readField(field, *text, record); failure.failed())
            return failure;
    }
    record.FileName = path;
    return {};
}
// Text the tree keeps: it drops every piece of text outside CDATA that is blank in Qt's
// sense of blank, which includes the no-break space.
bool keptByTree(const QXmlStreamReader& reader)
{
    return reader.isCDATA() || !reader.text().trimmed().isEmpty();
}

// The text of the element the reader just started, as QDomElement::text() gives it; the
// reader ends after the element.
QString elementText(QXmlStreamReader& reader)
{
    QString text;
    for (int depth = 1; depth > 0 && !reader.atEnd();) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (keptByTree(reader))
                text += reader.text();
            break;
        default:
            break;
        }
    }
    return text;
}

// The note element the reader just started: the first child element of each field's name.
Result readNote(QXmlStreamReader& reader, NoteRecord& record)
{
    std::array<bool, kStoredFields.size()> seen{};
    while (reader.readNextStartElement()) {
        const auto field = std::find_if(
            kStoredFields.begin(), kStoredFields.end(), [&reader](const StoredField& f) {
                return reader.qualifiedName() == QLatin1StringView(f.name);
            });
        const auto index = std::size_t(field - kStoredFields.begin());
        if (field == kStoredFields.end() || seen[index]) {
            reader.skipCurrentElement();
            continue;
        }
        seen[index] = true;
        if (Result failure = readField(*field, elementText(reader), record); failure.failed())
            return failure;
    }
    return {};
}

// One record per node in the root the reader just started, as records() gives them.
Result readRoot(QXmlStreamReader& reader, const QString& path, NoteRecordList& list)
{
    while (!reader.atEnd()) {
        NoteRecord record;
        record.FileName = path;
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (Result failure = readNote(reader, record); failure.failed())
                return failure;
            list.append(record);
            break;
        case QXmlStreamReader::EndElement:
            return {};
        case QXmlStreamReader::Characters:
            if (keptByTree(reader))
                list.append(record);
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::EntityReference:
            list.append(record);
            break;
        default:
            break;
        }
    }
    return {};
}

Expected<NoteRecordList> recordsOfText(const QString& text, const QString& path)
{
    QXmlStreamReader reader(text);
    // As the tree reads note files: names with a colon are names, not namespaces.
    reader.setNamespaceProcessing(false);
    NoteRecordList list;
    Result fieldFailure;
    bool rootSeen = false;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || rootSeen)
            continue;
        rootSeen = true;
        fieldFailure = readRoot(reader, path, list);
    }
    // A document that is not well-formed fails as such, as the tree reader fails it first.
    if (reader.hasError())
        return SafeXml::notWellFormed(NoteDocument::rules(), reader.errorString(),
                                      reader.lineNumber(), reader.columnNumber());
    if (!rootSeen)
        return SafeXml::notWellFormed(NoteDocument::rules(), QStringLiteral("no root element"),
                                      reader.lineNumber(), reader.columnNumber());
    if (fieldFailure.failed())
        return fieldFailure.error();
    return list;
}

bool isXmlBlank(const QString& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; });
}

// A text as reading it back from a note file gives it.
QString readBackText(const QString& text)
{
    if (isXmlBlank(text))
        return QString();
    QString value = text;
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    value.replace(u'\r', u'\n');
    return value;
}

// The tree as reading it back from its written text gives it: text of nothing but blanks and
// line breaks is gone, and every line end inside text reads as LF.
void asReadBack(const QDomNode& parent)
{
    for (QDomNode child = parent.firstChild(); !child.isNull();) {
        const QDomNode next = child.nextSibling();
        if (child.isText()) {
            const QString value = child.nodeValue();
            if (isXmlBlank(value))
                (void)QDomNode(parent).removeChild(child);
            else if (value.contains(u'\r'))
                child.setNodeValue(readBackText(value));
        } else if (child.isElement()) {
            asReadBack(child);
        }
        child = next;
    }
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

Expected<QByteArray> NoteDocument::build(const NoteRecordList& records, AppendWrites writes)
{
    if (records.isEmpty())
        return (documentStart() + documentEnd()).toUtf8();
    QByteArray first = wholeDocument(records.first());
    if (records.size() == 1)
        return first;
    Expected<QDomDocument> document = parse(first);
    if (document.failed())
        return document.error();
    const qsizetype last = records.size() - 1;
    for (qsizetype i = 1; i < last; ++i)
        appendNote(document.value(), records.at(i));
    if (writes == AppendWrites::EachOwn)
        asReadBack(document.value());
    appendNote(document.value(), records.at(last));
    return serialize(document.value());
}

QByteArray NoteDocument::noteList(const NoteRecordList& records)
{
    const Expected<QByteArray> bytes = build(records, AppendWrites::One);
    return bytes.ok() ? bytes.value() : QByteArray(); // reads as a failure wherever it is checked
}

Expected<QByteArray> NoteDocument::savedThenAppended(const NoteRecordList& records)
{
    return build(records, AppendWrites::EachOwn);
}

NoteRecord NoteDocument::readBack(const NoteRecord& written)
{
    NoteRecord note;
    for (const StoredField& field : kStoredFields) {
        if (field.use == StoredField::ReadOnly)
            continue;
        if (field.text)
            note.*field.text = readBackText(written.*field.text);
        else if (field.flag)
            note.*field.flag = written.*field.flag;
        else
            note.*field.number = written.*field.number;
    }
    note.FileName = written.FileName;
    return note;
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

void NoteDocument::removeNotes(QDomDocument& document, qsizetype from, qsizetype count)
{
    QDomElement root = document.documentElement();
    QDomNode node = root.firstChild();
    for (qsizetype i = 0; i < from && !node.isNull(); ++i)
        node = node.nextSibling();
    for (qsizetype i = 0; i < count && !node.isNull(); ++i) {
        const QDomNode next = node.nextSibling();
        root.removeChild(node);
        node = next;
    }
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

const SafeXml::Rules& NoteDocument::rules()
{
    static const SafeXml::Rules noteFile{QLatin1StringView("note file"), QLatin1StringView("notes"),
                                         kMaxFileBytes, kMaxNesting, kMaxNotes};
    return noteFile;
}

Expected<QDomDocument> NoteDocument::parse(const QByteArray& bytes)
{
    return SafeXml::parse(bytes, rules());
}

Expected<QDomDocument> NoteDocument::parseFile(const QString& path)
{
    return SafeXml::parseFile(path, rules());
}

Expected<NoteRecordList> NoteDocument::records(const QDomDocument& document, const QString& path)
{
    const QDomElement root = document.documentElement();
    if (root.isNull())
        return AppError::fromNumber(ErrorNumber::ObjectNotSet);
    NoteRecordList list;
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        NoteRecord record;
        if (Result failure = fillRecord(node, path, record); failure.failed())
            return failure.error();
        list.append(record);
    }
    return list;
}

Expected<NoteRecordList> NoteDocument::readRecords(const QByteArray& bytes, const QString& path)
{
    const Expected<QString> text = SafeXml::surveyedText(bytes, rules());
    if (text.failed())
        return text.error();
    return recordsOfText(text.value(), path);
}

Expected<NoteRecordList> NoteDocument::readRecordsFile(const QString& path)
{
    const Expected<QString> text = SafeXml::surveyedFileText(path, rules());
    if (text.failed())
        return text.error();
    return recordsOfText(text.value(), path);
}

bool NoteDocument::failedOnField(const AppError& error)
{
    return error.number == ErrorNumber::TypeMismatch || error.number == ErrorNumber::Overflow;
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
