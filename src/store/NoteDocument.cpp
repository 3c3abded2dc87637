#include "store/NoteDocument.h"

#include "richtext/CodePages.h"
#include "shell/version.h"

#include <QDomNamedNodeMap>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cmath>
#include <limits>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

struct Entity {
    QChar character;
    const char* replacement;
};

constexpr std::array kEntities{
    Entity{QLatin1Char('&'), "&amp;"},   Entity{QLatin1Char('"'), "&quot;"},
    Entity{QLatin1Char('\''), "&apos;"}, Entity{QLatin1Char('<'), "&lt;"},
    Entity{QLatin1Char('>'), "&gt;"},
};

QString versionText()
{
    return QStringLiteral("%1.%2.0.%3")
        .arg(Version::Major)
        .arg(Version::Minor)
        .arg(Version::Revision);
}

QString element(const char* name, const QString& content)
{
    const QString tag = QString::fromLatin1(name);
    return QLatin1Char('<') + tag + QLatin1Char('>') + content + QStringLiteral("</") + tag +
           QLatin1Char('>') + kCrLf;
}

// What the tree writer escapes: markup characters in text, and quotes in attributes.
QString escapeText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QStringLiteral("&amp;");
        else if (c == QLatin1Char('<'))
            out += QStringLiteral("&lt;");
        else if (c == QLatin1Char('>'))
            out += QStringLiteral("&gt;");
        else
            out += c;
    }
    return out;
}

QString escapeAttribute(const QString& text)
{
    return escapeText(text).replace(QLatin1Char('"'), QStringLiteral("&quot;"));
}

void serializeNode(const QDomNode& node, QString& out);

void serializeElement(const QDomElement& element, QString& out)
{
    out += QLatin1Char('<') + element.tagName();
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        out += QLatin1Char(' ') + attribute.name() + QStringLiteral("=\"") +
               escapeAttribute(attribute.value()) + QLatin1Char('"');
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
        out += escapeText(node.nodeValue());
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

struct NumberField {
    const char* name;
    qint32 NoteRecord::*field;
};

constexpr std::array kNumberFields{
    NumberField{"HEIGHT", &NoteRecord::Height},
    NumberField{"WIDTH", &NoteRecord::Width},
    NumberField{"LEFT", &NoteRecord::Left},
    NumberField{"TOP", &NoteRecord::Top},
};

struct TextField {
    const char* name;
    QString NoteRecord::*field;
};

constexpr std::array kTextFields{
    TextField{"DATA", &NoteRecord::Data},
    TextField{"TIMEDATE", &NoteRecord::TimeDate},
    TextField{"COLOR", &NoteRecord::Color},
};

Failure fillRecord(const QDomNode& node, const QString& path, NoteRecord& record)
{
    for (const auto& [name, field] : kTextFields) {
        if (auto text = childText(node, QString::fromLatin1(name)))
            record.*field = *text;
    }
    for (const auto& [name, field] : kNumberFields) {
        const auto text = childText(node, QString::fromLatin1(name));
        if (!text)
            continue;
        const Expected<qint32> number = NoteDocument::toTwipsNumber(*text);
        if (!number)
            return number.error();
        record.*field = number.value();
    }
    record.FileName = path;
    if (auto reminder = childText(node, QStringLiteral("REMINDER")))
        record.Reminder = *reminder;
    return std::nullopt;
}
} // namespace

QString NoteDocument::EscapeXml(const QString& text)
{
    QString escaped = text;
    for (const auto& entity : kEntities)
        escaped.replace(entity.character, QString::fromLatin1(entity.replacement));
    return escaped;
}

QByteArray NoteDocument::wholeDocument(const NoteRecord& record)
{
    QString text;
    text.reserve(record.Data.size() + 512);
    text += QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>") + kCrLf;
    text += QStringLiteral("<NOTES version=\"") + versionText() + QStringLiteral("\">") + kCrLf;
    text += QStringLiteral("<NOTE>") + kCrLf;
    text += element("COLOR", EscapeXml(record.Color));
    text += element("DATA", EscapeXml(record.Data));
    text += element("TIMEDATE", EscapeXml(record.TimeDate));
    text += element("HEIGHT", QString::number(record.Height));
    text += element("WIDTH", QString::number(record.Width));
    text += element("LEFT", QString::number(record.Left));
    text += element("TOP", QString::number(record.Top));
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
    AppendChildElement(note, QStringLiteral("COLOR"), record.Color);
    AppendChildElement(note, QStringLiteral("DATA"), record.Data);
    AppendChildElement(note, QStringLiteral("TIMEDATE"), record.TimeDate);
    AppendChildElement(note, QStringLiteral("HEIGHT"), QString::number(record.Height));
    AppendChildElement(note, QStringLiteral("WIDTH"), QString::number(record.Width));
    AppendChildElement(note, QStringLiteral("LEFT"), QString::number(record.Left));
    AppendChildElement(note, QStringLiteral("TOP"), QString::number(record.Top));
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
