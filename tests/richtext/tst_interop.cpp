// What our writer produces must read the same in programs nobody here wrote: LibreOffice (text
// and Flat ODT), unrtf (text and HTML) and, for pictures, AbiWord. Each is skipped with a
// message when not installed.
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "richtext/Pictures.h"
#include "richtext/RichText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QDir>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QUrl>
#include <QXmlStreamReader>
#include <functional>
#include <optional>

using namespace RichText;

namespace {

const QFont kNoteFont(QStringLiteral("Comic Sans MS"), 10);
constexpr int kConvertTimeoutMs = 180'000;

// The character attributes compared, each unset until a style says otherwise.
struct Attributes {
    std::optional<bool> bold, italic, underline, strike;
    std::optional<QString> position, colour, background, size;

    void mergeFrom(const Attributes& over)
    {
        const auto take = [](auto& mine, const auto& theirs) {
            if (theirs)
                mine = theirs;
        };
        take(bold, over.bold);
        take(italic, over.italic);
        take(underline, over.underline);
        take(strike, over.strike);
        take(position, over.position);
        take(colour, over.colour);
        take(background, over.background);
        take(size, over.size);
    }

    QString describe() const
    {
        return QStringLiteral("[b%1 i%2 u%3 s%4 %5 fg=%6 bg=%7 %8pt] ")
            .arg(bold.value_or(false))
            .arg(italic.value_or(false))
            .arg(underline.value_or(false))
            .arg(strike.value_or(false))
            .arg(position.value_or(QStringLiteral("baseline")),
                 colour.value_or(QStringLiteral("auto")),
                 background.value_or(QStringLiteral("none")), size.value_or(QStringLiteral("?")));
    }
};

// One line per paragraph ("P align list") and per run of equally formatted characters, so the
// documents compare with a readable difference.
class Description {
public:
    // Runs only, across paragraphs, without sizes or white space, black as the automatic
    // colour: what unrtf's HTML tells.
    bool runsOnly = false;

    void paragraph(const QString& align, bool listItem)
    {
        if (runsOnly)
            return;
        m_lines << QStringLiteral("P %1%2").arg(align, listItem ? QStringLiteral(" list") : "");
        m_last.clear();
    }
    void text(QString attributes, QString text)
    {
        if (runsOnly) {
            text.removeIf([](QChar c) { return c.isSpace(); });
            attributes.replace(QLatin1String("fg=#000000"), QLatin1String("fg=auto"));
        }
        if (text.isEmpty())
            return;
        if (attributes == m_last && !m_lines.isEmpty())
            m_lines.last() += text;
        else
            m_lines << QStringLiteral("  ") + attributes + text;
        m_last = attributes;
    }
    QStringList lines() const { return m_lines; }

private:
    QStringList m_lines;
    QString m_last;
};

QString alignmentName(Qt::Alignment alignment)
{
    switch (alignment & Qt::AlignHorizontal_Mask) {
    case Qt::AlignHCenter:
        return QStringLiteral("center");
    case Qt::AlignRight:
        return QStringLiteral("right");
    case Qt::AlignJustify:
        return QStringLiteral("justify");
    default:
        return QStringLiteral("left");
    }
}

Attributes attributesOf(const QTextCharFormat& format, const QFont& defaultFont)
{
    Attributes a;
    a.bold = format.fontWeight() >= QFont::DemiBold;
    a.italic = format.fontItalic();
    a.underline = format.fontUnderline();
    a.strike = format.fontStrikeOut();
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        a.position = QStringLiteral("super");
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        a.position = QStringLiteral("sub");
    if (format.foreground().style() != Qt::NoBrush)
        a.colour = format.foreground().color().name();
    if (format.background().style() != Qt::NoBrush)
        a.background = format.background().color().name();
    a.size =
        QString::number(format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                       : defaultFont.pointSizeF());
    return a;
}

QStringList describeDocument(const QTextDocument& document, bool runsOnly = false)
{
    Description out;
    out.runsOnly = runsOnly;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out.paragraph(alignmentName(block.blockFormat().alignment()), block.textList());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            Attributes attributes = attributesOf(format, document.defaultFont());
            if (runsOnly && format.isAnchor())
                continue; // unrtf shows every link as "hyperlink"
            if (runsOnly)
                attributes.size.reset();
            out.text(attributes.describe(), it.fragment().text());
        }
    }
    return out.lines();
}

// The attributes an ODF text-properties element sets.
Attributes odfAttributes(const QXmlStreamAttributes& xml)
{
    Attributes a;
    const auto value = [&xml](const char* name) {
        return xml.value(QLatin1String(name)).toString();
    };
    if (xml.hasAttribute(QLatin1String("fo:font-weight"))) {
        const QString weight = value("fo:font-weight");
        a.bold = weight == QLatin1String("bold") || weight.toInt() >= 600;
    }
    if (xml.hasAttribute(QLatin1String("fo:font-style")))
        a.italic = value("fo:font-style") != QLatin1String("normal");
    if (xml.hasAttribute(QLatin1String("style:text-underline-style")))
        a.underline = value("style:text-underline-style") != QLatin1String("none");
    if (xml.hasAttribute(QLatin1String("style:text-line-through-style")))
        a.strike = value("style:text-line-through-style") != QLatin1String("none");
    if (xml.hasAttribute(QLatin1String("style:text-position"))) {
        // "super 58%", "sub 58%", or a signed percentage where 0% is the baseline.
        const QString shift = value("style:text-position").section(QLatin1Char(' '), 0, 0);
        const double percent = QString(shift).remove(QLatin1Char('%')).toDouble();
        if (shift == QLatin1String("super") || percent > 0)
            a.position = QStringLiteral("super");
        else if (shift == QLatin1String("sub") || percent < 0)
            a.position = QStringLiteral("sub");
        else
            a.position = QStringLiteral("baseline");
    }
    if (value("style:use-window-font-color") == QLatin1String("true"))
        a.colour = QStringLiteral("auto");
    else if (xml.hasAttribute(QLatin1String("fo:color")))
        a.colour = value("fo:color").toLower();
    if (xml.hasAttribute(QLatin1String("fo:background-color"))) {
        const QString colour = value("fo:background-color").toLower();
        a.background = colour == QLatin1String("transparent") ? QStringLiteral("none") : colour;
    }
    if (xml.hasAttribute(QLatin1String("fo:font-size")))
        a.size =
            QString::number(QString(value("fo:font-size")).remove(QLatin1String("pt")).toDouble());
    return a;
}

// Reads a Flat ODT as the same description: automatic styles first, then the body's paragraphs
// and spans. Named styles are left aside; LibreOffice puts everything RTF sets in automatic ones.
class FlatOdt {
public:
    QStringList describe(const QByteArray& xml)
    {
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            reader.readNext();
            if (!reader.isStartElement())
                continue;
            const QStringView name = reader.qualifiedName();
            if (name == QLatin1String("style:default-style"))
                readStyle(reader, QString());
            else if (name == QLatin1String("style:style"))
                readStyle(reader,
                          reader.attributes().value(QLatin1String("style:name")).toString());
            else if (name == QLatin1String("office:text"))
                readBody(reader); // the body comes last; the rest is metadata
        }
        if (reader.hasError())
            m_out.paragraph(QStringLiteral("XML error: ") + reader.errorString(), false);
        return m_out.lines();
    }

private:
    struct Style {
        Attributes text;
        QString align;
    };

    void readStyle(QXmlStreamReader& reader, const QString& name)
    {
        const bool paragraphFamily =
            reader.attributes().value(QLatin1String("style:family")) == QLatin1String("paragraph");
        if (name.isEmpty() && !paragraphFamily) {
            reader.skipCurrentElement();
            return;
        }
        Style style;
        while (reader.readNextStartElement()) {
            const auto attributes = reader.attributes();
            if (reader.qualifiedName() == QLatin1String("style:text-properties"))
                style.text = odfAttributes(attributes);
            else if (reader.qualifiedName() == QLatin1String("style:paragraph-properties"))
                style.align = attributes.value(QLatin1String("fo:text-align")).toString();
            reader.skipCurrentElement();
        }
        if (name.isEmpty())
            m_default = style.text;
        else
            m_styles.insert(name, style);
    }

    static QString alignName(const QString& odf)
    {
        if (odf == QLatin1String("center"))
            return odf;
        if (odf == QLatin1String("end") || odf == QLatin1String("right"))
            return QStringLiteral("right");
        if (odf == QLatin1String("justify"))
            return odf;
        return QStringLiteral("left");
    }

    QString styleOf(const QXmlStreamReader& reader) const
    {
        return reader.attributes().value(QLatin1String("text:style-name")).toString();
    }

    void readBody(QXmlStreamReader& reader)
    {
        int listDepth = 0;
        while (!reader.atEnd()) {
            reader.readNext();
            const QStringView name = reader.qualifiedName();
            if (reader.isEndElement()) {
                if (name == QLatin1String("office:text"))
                    return;
                if (name == QLatin1String("text:list-item"))
                    --listDepth;
                continue;
            }
            if (!reader.isStartElement())
                continue;
            if (name == QLatin1String("text:list-item")) {
                ++listDepth;
            } else if (name == QLatin1String("text:p") || name == QLatin1String("text:h")) {
                const Style style = m_styles.value(styleOf(reader));
                m_out.paragraph(alignName(style.align), listDepth > 0);
                Attributes base = m_default;
                base.mergeFrom(style.text);
                readInline(reader, base);
            } else if (name == QLatin1String("text:sequence-decls") ||
                       name.startsWith(QLatin1String("draw:")) ||
                       name == QLatin1String("office:annotation")) {
                reader.skipCurrentElement();
            }
        }
    }

    // The content of a paragraph or span, up to its end tag.
    void readInline(QXmlStreamReader& reader, const Attributes& attributes)
    {
        const QString described = attributes.describe();
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isEndElement())
                return;
            if (reader.isCharacters()) {
                m_out.text(described, reader.text().toString());
                continue;
            }
            if (!reader.isStartElement())
                continue;
            const QStringView name = reader.qualifiedName();
            if (name == QLatin1String("text:span") || name == QLatin1String("text:a")) {
                Attributes inner = attributes;
                inner.mergeFrom(m_styles.value(styleOf(reader)).text);
                readInline(reader, inner);
            } else if (name == QLatin1String("text:s")) {
                const int count = reader.attributes().value(QLatin1String("text:c")).toInt();
                m_out.text(described, QString(qMax(1, count), QLatin1Char(' ')));
                reader.skipCurrentElement();
            } else if (name == QLatin1String("text:tab")) {
                m_out.text(described, QStringLiteral("\t"));
                reader.skipCurrentElement();
            } else if (name == QLatin1String("text:line-break")) {
                m_out.text(described, QString(QChar::LineSeparator));
                reader.skipCurrentElement();
            } else {
                reader.skipCurrentElement(); // bookmarks, frames, notes
            }
        }
    }

    QHash<QString, Style> m_styles;
    Attributes m_default;
    Description m_out;
};

// The attributes of a text inside unrtf's open tags, by tag name.
Attributes unrtfAttributes(const QHash<QString, QList<Attributes>>& open)
{
    Attributes a;
    a.bold = open.value(QStringLiteral("b")).size() > 0;
    a.italic = open.value(QStringLiteral("i")).size() > 0;
    a.underline = open.value(QStringLiteral("u")).size() > 0;
    a.strike = open.value(QStringLiteral("s")).size() > 0;
    if (!open.value(QStringLiteral("sup")).isEmpty())
        a.position = QStringLiteral("super");
    if (!open.value(QStringLiteral("sub")).isEmpty())
        a.position = QStringLiteral("sub");
    for (const QString& tag : {QStringLiteral("font"), QStringLiteral("span")})
        for (const Attributes& layer : open.value(tag))
            a.mergeFrom(layer);
    return a;
}

// unrtf's HTML, whose tags do not always nest: each tag name keeps its own stack.
QStringList describeUnrtfHtml(const QString& html)
{
    static const QRegularExpression token(QStringLiteral(R"(<(/?)(\w+)([^>]*)>|([^<]+))"));
    static const QRegularExpression colour(QStringLiteral(R"re(color="(#[0-9a-fA-F]{6})")re"));
    // unrtf prints list markers as text: a bullet or number and a run of spaces.
    static const QRegularExpression listMarker(
        QStringLiteral(R"((^|[\s\x{a0}])(\x{2022}|\w{1,4}[.)])[\s\x{a0}]{3,})"));
    static const QRegularExpression background(
        QStringLiteral(R"(background:\s*(#[0-9a-fA-F]{6}))"));
    QHash<QString, QList<Attributes>> open;
    Description out;
    out.runsOnly = true;
    const QString body =
        html.section(QStringLiteral("<body>"), 1).section(QStringLiteral("</body>"), 0, 0);
    auto it = token.globalMatch(body);
    while (it.hasNext()) {
        const auto match = it.next();
        if (!match.captured(4).isEmpty()) {
            if (!open.value(QStringLiteral("a")).isEmpty())
                continue;
            const QString text =
                QTextDocumentFragment::fromHtml(match.captured(4)).toPlainText().remove(listMarker);
            out.text(unrtfAttributes(open).describe(), text);
            continue;
        }
        const QString name = match.captured(2).toLower();
        if (name == QLatin1String("br"))
            continue;
        if (match.captured(1) == QLatin1String("/")) {
            if (!open[name].isEmpty())
                open[name].removeLast();
            continue;
        }
        Attributes layer;
        const QString attributes = match.captured(3);
        if (const auto c = colour.match(attributes); c.hasMatch())
            layer.colour = c.captured(1).toLower();
        if (const auto c = background.match(attributes); c.hasMatch())
            layer.background = c.captured(1).toLower();
        open[name] << layer;
    }
    return out.lines();
}

bool convert(const QString& soffice, const QString& profile, const QString& format,
             const QString& outDir, const QStringList& files, QString* error)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(soffice, QStringList{QStringLiteral("-env:UserInstallation=") +
                                           QUrl::fromLocalFile(profile).toString(),
                                       QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                       format, QStringLiteral("--outdir"), outDir} +
                               files);
    if (!process.waitForFinished(kConvertTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        *error = QStringLiteral("soffice did not finish");
        return false;
    }
    *error = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString readUtf8(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing %1>").arg(path);
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// The paragraphs' text as a converter prints it: line breaks as new lines.
struct TextLine {
    QString text;
    bool listItem = false; // LibreOffice prints it after its marker ("    \u2022 eggs")
};

QList<TextLine> textLines(const QTextDocument& document)
{
    QList<TextLine> lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        bool first = true;
        for (const QString& line : block.text().split(QChar::LineSeparator)) {
            lines.append({line, first && block.textList()});
            first = false;
        }
    }
    return lines;
}

// Latin-1 text without lists or links.
bool isPlainLatin(const QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.textList())
            return false;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor())
                return false;
        const QString text = block.text();
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; }))
            return false;
    }
    return true;
}

using Builder = std::function<void(QTextDocument*)>;

void insertRuns(QTextCursor& cursor,
                const QList<std::pair<QString, std::function<void(QTextCharFormat&)>>>& runs)
{
    for (const auto& [text, change] : runs) {
        QTextCharFormat format;
        format.setFontFamilies({kNoteFont.family()});
        format.setFontPointSize(kNoteFont.pointSizeF());
        change(format);
        cursor.insertText(text, format);
    }
}

// Every formatting a note's commands apply, with the cases word processors have got wrong:
// a paragraph ending in superscript, runs of spaces, a highlight in mid-line.
void commandsDocument(QTextDocument* document)
{
    QTextCursor cursor(document);
    const auto none = [](QTextCharFormat&) {};
    insertRuns(cursor, {{QStringLiteral("Plain "), none},
                        {QStringLiteral("bold"), [](auto& f) { f.setFontWeight(QFont::Bold); }},
                        {QStringLiteral(" "), none},
                        {QStringLiteral("italic"), [](auto& f) { f.setFontItalic(true); }},
                        {QStringLiteral(" "), none},
                        {QStringLiteral("under"), [](auto& f) { f.setFontUnderline(true); }},
                        {QStringLiteral(" "), none},
                        {QStringLiteral("gone"), [](auto& f) { f.setFontStrikeOut(true); }}});
    cursor.insertBlock();
    insertRuns(cursor, {{QStringLiteral("H"), none},
                        {QStringLiteral("2"),
                         [](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); }},
                        {QStringLiteral("O and x"), none},
                        {QStringLiteral("SUPER"), [](auto& f) {
                             f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
                             f.setFontWeight(QFont::Bold);
                             f.setForeground(Qt::red);
                         }}});
    cursor.insertBlock();
    insertRuns(cursor, {{QStringLiteral("two  spaces   three"), none},
                        {QStringLiteral(" marked "), [](auto& f) { f.setBackground(Qt::yellow); }},
                        {QStringLiteral("after"), none}});
    cursor.insertBlock();
    for (const int size : {8, 10, 12, 14, 16})
        insertRuns(cursor, {{QStringLiteral("size%1 ").arg(size),
                             [size](auto& f) { f.setFontPointSize(size); }}});
    insertRuns(cursor,
               {{QStringLiteral("green"), [](auto& f) { f.setForeground(QColor(0, 128, 0)); }},
                {QStringLiteral(" blue"), [](auto& f) { f.setForeground(Qt::blue); }},
                {QStringLiteral(" caf\u00e9 \u20ac \u041f\u0440"), none}});
    const Qt::Alignment alignments[] = {Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    for (const Qt::Alignment alignment : alignments) {
        QTextBlockFormat format;
        format.setAlignment(alignment);
        cursor.insertBlock(format);
        insertRuns(cursor, {{alignmentName(alignment) + QStringLiteral(" line"), none}});
    }
    cursor.insertBlock(QTextBlockFormat());
    insertRuns(cursor, {{QStringLiteral("Shopping:"), none}});
    QTextList* list = nullptr;
    for (const QString& item : {QStringLiteral("eggs"), QStringLiteral("bread")}) {
        cursor.insertBlock(QTextBlockFormat());
        if (list)
            list->add(cursor.block());
        else
            list = cursor.createList(QTextListFormat::ListDisc);
        insertRuns(cursor, {{item, none}});
    }
    cursor.insertBlock(QTextBlockFormat());
    insertRuns(cursor, {{QStringLiteral("done"), none}});
}

// Bullets three levels deep, a numbered list, and plain text after them.
void nestedListDocument(QTextDocument* document)
{
    QTextCursor cursor(document);
    QList<QTextList*> open; // the list of each level, outermost first
    const auto item = [&](const QString& text, int style, int level) {
        if (!cursor.block().text().isEmpty() || cursor.block().textList())
            cursor.insertBlock(QTextBlockFormat());
        open.resize(level);
        QTextList*& list = open.last();
        if (list && list->format().style() == style) {
            list->add(cursor.block());
        } else {
            QTextListFormat format;
            format.setStyle(QTextListFormat::Style(style));
            format.setIndent(level);
            list = cursor.createList(format);
        }
        cursor.insertText(text);
    };
    item(QStringLiteral("outer"), QTextListFormat::ListDisc, 1);
    item(QStringLiteral("inner a"), QTextListFormat::ListDisc, 2);
    item(QStringLiteral("inner b"), QTextListFormat::ListDisc, 2);
    item(QStringLiteral("deep"), QTextListFormat::ListDisc, 3);
    item(QStringLiteral("back out"), QTextListFormat::ListDisc, 1);
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText(QStringLiteral("plain"));
}

// One line per paragraph: its marker kind ("bullet", "number" or "none"), level and text.
QString listLine(const QString& kind, int level, const QString& text)
{
    return QStringLiteral("%1 %2 %3").arg(kind).arg(level).arg(text.trimmed());
}

QStringList describeListLevels(const QTextDocument& document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList* list = block.textList();
        const int style = list ? int(list->format().style()) : 0;
        const QString kind = !list                                ? QStringLiteral("none")
                             : style == QTextListFormat::ListDisc ? QStringLiteral("bullet")
                                                                  : QStringLiteral("number");
        lines << listLine(kind, list ? list->format().indent() : 0, block.text());
    }
    return lines;
}

// The same from a Flat ODT: the depth of text:list nesting, and the kind its list style
// gives that level.
QStringList describeOdtListLevels(const QByteArray& xml)
{
    QHash<QString, QHash<int, QString>> styles; // list style -> level -> kind
    QStringList lines;
    QStringList open; // the list style of each open text:list
    QString styleName;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        const QStringView name = reader.qualifiedName();
        if (reader.isEndElement() && name == QLatin1String("text:list")) {
            open.removeLast();
            continue;
        }
        if (!reader.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (name == QLatin1String("text:list-style")) {
            styleName = attributes.value(QLatin1String("style:name")).toString();
        } else if (name.startsWith(QLatin1String("text:list-level-style-"))) {
            const int level = attributes.value(QLatin1String("text:level")).toInt();
            styles[styleName][level] = name.endsWith(QLatin1String("bullet"))
                                           ? QStringLiteral("bullet")
                                           : QStringLiteral("number");
        } else if (name == QLatin1String("text:list")) {
            const QString style = attributes.value(QLatin1String("text:style-name")).toString();
            open << (style.isEmpty() && !open.isEmpty() ? open.last() : style);
        } else if (name == QLatin1String("text:p")) {
            const int level = int(open.size());
            const QString kind =
                level == 0 ? QStringLiteral("none") : styles.value(open.last()).value(level, "?");
            lines << listLine(kind, level,
                              reader.readElementText(QXmlStreamReader::IncludeChildElements));
        }
    }
    return lines;
}

// The same from AbiWord's own format: each paragraph's level and list style.
QStringList describeAbwListLevels(const QByteArray& xml)
{
    static const QRegularExpression listStyle(QStringLiteral("list-style:\\s*([^;]+)"));
    QStringList lines;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != QLatin1String("p"))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        const QString style =
            listStyle.match(attributes.value(QLatin1String("props")).toString()).captured(1);
        const bool listed = attributes.hasAttribute(QLatin1String("level")) && !style.isEmpty() &&
                            style != QLatin1String("None");
        const QString kind = !listed                                 ? QStringLiteral("none")
                             : style == QLatin1String("Bullet List") ? QStringLiteral("bullet")
                                                                     : QStringLiteral("number");
        const int level = listed ? attributes.value(QLatin1String("level")).toInt() + 1 : 0;
        lines << listLine(kind, level,
                          reader.readElementText(QXmlStreamReader::IncludeChildElements));
    }
    return lines;
}

} // namespace

class TestInterop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void libreOffice_data();
    void libreOffice();
    void unrtf_data();
    void unrtf();
    void nestedBulletLevels();
    void pictures_data();
    void pictures();

private:
    // What LibreOffice made of every document, and what it printed.
    struct Conversion {
        bool succeeded = false;
        QString messages;
    };

    void addDocuments();
    const Conversion& convertDocuments(const QString& soffice);
    QTemporaryDir m_dir;
    std::optional<Conversion> m_converted; // set by the first row that needs it
    QStringList m_names;
    QHash<QString, QStringList> m_expected;  // name -> description of what was written
    QHash<QString, QStringList> m_runs;      // name -> the runs alone, as unrtf's HTML tells them
    QSet<QString> m_plainLatin;              // names of documents unrtf's text mode can show
    QHash<QString, QList<TextLine>> m_lines; // name -> text lines
};

void TestInterop::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const auto write = [this](const QString& name, const Builder& build) {
        QTextDocument document;
        document.setDefaultFont(kNoteFont);
        build(&document);
        QFile file(m_dir.filePath(name + QStringLiteral(".rtf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(writeRtf(&document));
        m_names << name;
        m_expected.insert(name, describeDocument(document));
        m_runs.insert(name, describeDocument(document, true));
        if (isPlainLatin(document))
            m_plainLatin.insert(name);
        m_lines.insert(name, textLines(document));
    };
    write(QStringLiteral("commands"), commandsDocument);
    const QDir samples(QStringLiteral(JOTTEX_TEST_DATA "/rtf"));
    for (const QString& file : samples.entryList({QStringLiteral("*.rtf")}, QDir::Files)) {
        QFile in(samples.filePath(file));
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray rtf = in.readAll();
        write(QFileInfo(file).completeBaseName(),
              [&rtf](QTextDocument* document) { readRtf(rtf, document); });
    }
}

void TestInterop::addDocuments()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : std::as_const(m_names))
        QTest::newRow(qPrintable(name)) << name;
}

// Converts every document to text and to Flat ODT, once for all the rows: one LibreOffice start
// per format takes all the files, as its start, not the conversion, is what takes the time.
const TestInterop::Conversion& TestInterop::convertDocuments(const QString& soffice)
{
    if (m_converted)
        return *m_converted;
    QStringList files;
    for (const QString& name : std::as_const(m_names))
        files << m_dir.filePath(name + QStringLiteral(".rtf"));
    const QString profile = m_dir.filePath(QStringLiteral("profile"));
    Conversion conversion;
    QString messages;
    conversion.succeeded = convert(soffice, profile, QStringLiteral("txt:Text (encoded):UTF8"),
                                   m_dir.path(), files, &messages);
    conversion.messages = messages;
    if (conversion.succeeded) {
        conversion.succeeded =
            convert(soffice, profile, QStringLiteral("fodt"), m_dir.path(), files, &messages);
        conversion.messages += messages;
    }
    m_converted = conversion;
    return *m_converted;
}

void TestInterop::libreOffice_data()
{
    addDocuments();
}

void TestInterop::libreOffice()
{
    QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        soffice = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed; install libreoffice-writer-nogui to check "
              "that it reads our RTF as written");
    QFETCH(QString, name);
    const Conversion& converted = convertDocuments(soffice);
    QVERIFY2(converted.succeeded, qPrintable(converted.messages));

    static const QRegularExpression listMarker(QStringLiteral(R"(^\s+\S+\s)"));
    QStringList text =
        readUtf8(m_dir.filePath(name + QStringLiteral(".txt"))).split(QLatin1Char('\n'));
    if (text.size() > 1 && text.last().isEmpty())
        text.removeLast();
    QStringList expected;
    const QList<TextLine> lines = m_lines.value(name);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        expected << lines.at(i).text;
        if (lines.at(i).listItem && i < text.size())
            text[i].remove(listMarker);
    }
    QCOMPARE(text, expected);

    QFile fodt(m_dir.filePath(name + QStringLiteral(".fodt")));
    QVERIFY2(fodt.open(QIODevice::ReadOnly), qPrintable(converted.messages));
    FlatOdt odt;
    QCOMPARE(odt.describe(fodt.readAll()), m_expected.value(name));
}

void TestInterop::unrtf_data()
{
    addDocuments();
}

void TestInterop::unrtf()
{
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        QSKIP("unrtf is not installed; install it to check that it reads our RTF as written");
    QFETCH(QString, name);
    const QString rtf = m_dir.filePath(name + QStringLiteral(".rtf"));
    const auto run = [&](const QString& mode) {
        QProcess process;
        process.start(unrtf, {mode, rtf});
        process.waitForFinished(30'000);
        return process.readAllStandardOutput();
    };
    // unrtf's text mode keeps only the low byte of wider characters and prints list markers
    // and link addresses; its HTML (below) tells those documents' text.
    if (m_plainLatin.contains(name)) {
        QFile in(rtf);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QString ours = toPlainText(in.readAll());
        // unrtf prints comment lines and a rule before the text, in Latin-1.
        const QString theirs = QString::fromLatin1(run(QStringLiteral("--text")))
                                   .section(QStringLiteral("-----------------\n"), 1);
        const auto normalise = [](QString text) {
            return text.replace(QChar::Nbsp, QLatin1Char(' ')).simplified();
        };
        QCOMPARE(normalise(theirs), normalise(ours));
    }
    QCOMPARE(describeUnrtfHtml(QString::fromUtf8(run(QStringLiteral("--html")))),
             m_runs.value(name));
}

// Nested bullets stay bullets at their own level in LibreOffice and AbiWord, and read back the
// same here.
void TestInterop::nestedBulletLevels()
{
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    nestedListDocument(&document);
    const QStringList expected = describeListLevels(document);
    const QByteArray rtf = writeRtf(&document);
    QTextDocument back;
    readRtf(rtf, &back);
    QCOMPARE(describeListLevels(back), expected);
    const QString name = QStringLiteral("nested");
    QFile file(m_dir.filePath(name + QStringLiteral(".rtf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(rtf);
    file.close();

    QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        soffice = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (!soffice.isEmpty()) {
        QString messages;
        QVERIFY2(convert(soffice, m_dir.filePath(QStringLiteral("profile")), QStringLiteral("fodt"),
                         m_dir.path(), {file.fileName()}, &messages),
                 qPrintable(messages));
        QFile fodt(m_dir.filePath(name + QStringLiteral(".fodt")));
        QVERIFY(fodt.open(QIODevice::ReadOnly));
        QCOMPARE(describeOdtListLevels(fodt.readAll()), expected);
    }
    const QString abiword = QStandardPaths::findExecutable(QStringLiteral("abiword"));
    if (!abiword.isEmpty()) {
        const QString abw = m_dir.filePath(name + QStringLiteral(".abw"));
        QProcess process;
        process.start(abiword,
                      {QStringLiteral("--to=abw"), file.fileName(), QStringLiteral("-o"), abw});
        QVERIFY(process.waitForFinished(kConvertTimeoutMs));
        QFile converted(abw);
        QVERIFY2(converted.open(QIODevice::ReadOnly), qPrintable(process.readAllStandardError()));
        QCOMPARE(describeAbwListLevels(converted.readAll()), expected);
    }
    if (soffice.isEmpty() || abiword.isEmpty())
        QSKIP("LibreOffice or AbiWord is not installed; install libreoffice-writer-nogui and "
              "abiword to check that they nest our bullets");
}

// A picture as another program keeps it: its pixels and the size it is shown at, in inches.
struct ForeignPicture {
    QImage pixels;
    QSizeF inches;
};

// A length as ODF and AbiWord write them ("0.4165in", "1.058cm", "12pt").
double inchesOf(const QString& length)
{
    static const QList<std::pair<QLatin1String, double>> kUnits{{QLatin1String("in"), 1.0},
                                                                {QLatin1String("cm"), 2.54},
                                                                {QLatin1String("mm"), 25.4},
                                                                {QLatin1String("pt"), 72.0}};
    for (const auto& [unit, perInch] : kUnits)
        if (length.endsWith(unit))
            return length.chopped(unit.size()).toDouble() / perInch;
    return -1;
}

QImage base64Picture(QStringView text)
{
    return QImage::fromData(QByteArray::fromBase64(text.toLatin1()));
}

// The first picture of a Flat ODT: a frame with its size around an image with its data.
ForeignPicture odtPicture(const QByteArray& xml)
{
    ForeignPicture picture;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.qualifiedName() == QLatin1String("draw:frame")) {
            const auto attributes = reader.attributes();
            picture.inches = {inchesOf(attributes.value(QLatin1String("svg:width")).toString()),
                              inchesOf(attributes.value(QLatin1String("svg:height")).toString())};
        } else if (reader.qualifiedName() == QLatin1String("office:binary-data")) {
            picture.pixels = base64Picture(reader.readElementText());
            return picture;
        }
    }
    return picture;
}

// The first picture of an AbiWord document: an image naming a data item, its size in its
// properties.
ForeignPicture abwPicture(const QByteArray& xml)
{
    ForeignPicture picture;
    static const QRegularExpression size(
        QStringLiteral(R"((?:^|;)\s*(width|height):\s*([0-9.]+[a-z]+))"));
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.qualifiedName() == QLatin1String("image")) {
            auto it = size.globalMatch(reader.attributes().value(QLatin1String("props")));
            while (it.hasNext()) {
                const auto match = it.next();
                const double inches = inchesOf(match.captured(2));
                if (match.captured(1) == QLatin1String("width"))
                    picture.inches.setWidth(inches);
                else
                    picture.inches.setHeight(inches);
            }
        } else if (reader.qualifiedName() == QLatin1String("d")) {
            picture.pixels = base64Picture(reader.readElementText());
            return picture;
        }
    }
    return picture;
}

void TestInterop::pictures_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("LibreOffice") << "soffice";
    QTest::newRow("AbiWord") << "abiword";
}

// A picture in a note shows in word processors with its pixels and at the size it has in the
// note: twice its own size here, 96 pixels to the inch.
void TestInterop::pictures()
{
    QFETCH(QString, program);
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        QSKIP(qPrintable(program + QStringLiteral(" is not installed; install it to check that it "
                                                  "shows the pictures we write")));
    const QImage picture = TestPictures::picture(40, 30);
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("Look: "));
    PictureResult result = PictureResult::Unreadable;
    QTextImageFormat format = addPicture(&document, picture, &result);
    format.setWidth(80);
    format.setHeight(60);
    cursor.insertImage(format);
    cursor.insertText(QStringLiteral(" there"));
    const QString rtf = m_dir.filePath(QStringLiteral("picture.rtf"));
    QFile file(rtf);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(writeRtf(&document));
    file.close();

    ForeignPicture shown;
    if (program == QLatin1String("soffice")) {
        QString messages;
        QVERIFY2(convert(executable, m_dir.filePath(QStringLiteral("profile")),
                         QStringLiteral("fodt"), m_dir.path(), {rtf}, &messages),
                 qPrintable(messages));
        shown =
            odtPicture(TestEnvironment::readFile(m_dir.filePath(QStringLiteral("picture.fodt"))));
    } else {
        const QString abw = m_dir.filePath(QStringLiteral("picture.abw"));
        QProcess process;
        process.start(executable, {QStringLiteral("--to=abw"), QStringLiteral("-o"), abw, rtf});
        QVERIFY(process.waitForFinished(kConvertTimeoutMs));
        shown = abwPicture(TestEnvironment::readFile(abw));
    }
    QCOMPARE(shown.pixels.convertToFormat(QImage::Format_RGB32), picture);
    QVERIFY2(
        qAbs(shown.inches.width() - 80.0 / 96) < 0.01 &&
            qAbs(shown.inches.height() - 60.0 / 96) < 0.01,
        qPrintable(
            QStringLiteral("%1 x %2 in").arg(shown.inches.width()).arg(shown.inches.height())));
}

QTEST_MAIN(TestInterop)
#include "tst_interop.moc"
