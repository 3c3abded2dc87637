#include "store/NoteDocument.h"

#include "richtext/CodePages.h"
#include "shell/version.h"

#include <QDomNamedNodeMap>
#include <QFile>
#include <QFileInfo>
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
            data.replace(QLatin1Char('\''), QLatin1Char('"'));
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
        fields.append({QString::fromLatin1(field.name),
                       field.text ? record.*field.text : QString::number(record.*field.number)});
    }
    return fields;
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

QByteArray NoteDocument::wholeDocument(const NoteRecord& record)
{
    QString text;
    text.reserve(record.Data.size() + 512);
    text += QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>") + kCrLf;
    text += QStringLiteral("<NOTES version=\"") + versionText() + QStringLiteral("\">") + kCrLf;
    text += QStringLiteral("<NOTE>") + kCrLf;
    for (const auto& [name, value] : writtenFields(record))
        text += element(name, EscapeXml(value));
    text += QStringLiteral("</NOTE>") + kCrLf;
    text += QStringLiteral("</NOTES>") + kCrLf;
    return text.toUtf8();
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
    QDomElement note = document.createElement(QStringLiteral("NOTE"));
    for (const auto& [name, value] : writtenFields(record))
        AppendChildElement(note, name, value);
    root.appendChild(note);
    root.appendChild(document.createTextNode(kCrLf));
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

Expected<QDomDocument> NoteDocument::parse(const QByteArray& bytes)
{
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    // Decoded here so a file from the 8-bit writer, which has no encoding declaration, is
    // not mistaken for broken UTF-8.
    if (!document.setContent(RichText::decodeUtf8OrWindows1252(bytes), &message, &line, &column)) {
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
    if (!QFileInfo(path).isFile())
        return AppError{ErrorNumber::FileNotFound, {}, QStringLiteral("File not found: ") + path};
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
