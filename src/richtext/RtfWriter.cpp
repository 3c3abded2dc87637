#include "RtfWriter.h"

#include "CodePages_p.h"
#include "Pictures.h"
#include "Pictures_p.h"
#include "RtfParagraph.h"
#include "RtfUnits.h"

#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace RichText {
namespace {

// Character formatting as RTF states it; compared run by run so only changes are written.
struct RunFormat {
    int font = -1;
    int halfPoints = -1;
    int color = 0;
    int highlight = 0;
    int vertical = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QString link;

    bool operator==(const RunFormat&) const = default;
};

constexpr int kMaxListLevel = 8; // word processors offer nine levels
// Bullets at every level are one list of the list table, and its one override: \ls1.
constexpr int kBulletList = 1;
constexpr int kBulletLevelIndent = 720; // twips each level adds, as word processors indent
constexpr int kBulletHang = -360;       // the bullet hangs in the first half of the indent

bool isBullet(int style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

// The paragraph mark carries a font, which sets an empty line's height, and the look of a list
// item's marker; elsewhere it is the last run's and goes unwritten.
bool hasWrittenMark(const QTextBlock& block)
{
    return block.length() <= 1 || block.textList() != nullptr;
}

struct NumberingWord {
    int style;
    const char* word;
};

constexpr NumberingWord kNumberingWords[] = {
    {QTextListFormat::ListDecimal, "\\pndec"},      {QTextListFormat::ListLowerAlpha, "\\pnlcltr"},
    {QTextListFormat::ListUpperAlpha, "\\pnucltr"}, {QTextListFormat::ListLowerRoman, "\\pnlcrm"},
    {QTextListFormat::ListUpperRoman, "\\pnucrm"},
};

class Writer {
public:
    explicit Writer(const QTextDocument* document)
        : m_document(document), m_defaultFont(document->defaultFont())
    {
    }

    QByteArray run();

private:
    void collectTables();
    void writeHeader();
    void writeBlock(const QTextBlock& block);
    void writeParagraphStart(const QTextBlock& block, const ParagraphFormat& para);
    void writeListLevel(int list);
    void writeBulletListTable();
    void writeMark(const QTextBlock& block);
    void writeNumberText(const QTextBlock& block, int style);
    void writeRun(const RunFormat& format, QStringView text);
    bool writePictures(const QTextFragment& fragment);
    void writePicture(const Detail::EncodedPicture& encoded, QSize pixels, QSizeF shown);
    void writeFormatChanges(const RunFormat& format);
    void writeText(QStringView text);
    void writeFontName(QStringView name);
    void word(const char* name);
    void word(const char* name, int param);
    void literal(char c);

    // By format index, so a format is converted once however many runs use it. Takes the
    // fragment or block itself, since even fetching its format costs an allocation.
    template <typename Source> const RunFormat& cachedRunFormat(const Source& source);
    const ParagraphFormat& cachedParaFormat(const QTextBlock& block);
    RunFormat runFormat(const QTextCharFormat& format);
    ParagraphFormat paraFormat(const QTextBlock& block) const;
    QString familyOf(const QTextCharFormat& format) const;
    int fontIndex(const QString& family);
    int colorIndex(const QBrush& brush);

    const QTextDocument* m_document;
    QFont m_defaultFont;
    QByteArray m_out;
    bool m_delimit = false; // the last control word needs a space before literal text

    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    int m_symbolFont = -1;
    int m_bulletLevels = 0; // the levels of bullets in use, which the list table defines
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    QHash<int, RunFormat> m_runFormats;        // by QTextFormat index
    QHash<int, ParagraphFormat> m_paraFormats; // by block format index

    RunFormat m_state;
    ParagraphFormat m_para;
    bool m_firstBlock = true;
};

QByteArray Writer::run()
{
    m_out.reserve(qsizetype(m_document->characterCount()) * 11 / 10 + 256);
    collectTables();
    writeHeader();
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
        writeBlock(block);
    m_out += "}\r\n";
    return m_out;
}

// The tables come first in RTF, so one pass gathers every font and colour before writing.
void Writer::collectTables()
{
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        if (const ParagraphFormat& para = cachedParaFormat(block); isBullet(para.list))
            m_bulletLevels = qMax(m_bulletLevels, para.level + 1);
        for (auto it = block.begin(); !it.atEnd(); ++it)
            cachedRunFormat(it.fragment());
        if (hasWrittenMark(block))
            cachedRunFormat(block);
    }
    if (m_bulletLevels > 0) {
        m_symbolFont = int(m_fonts.size());
        m_fonts.append(QStringLiteral("Symbol"));
    }
}

void Writer::writeHeader()
{
    m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        m_out += "{";
        word("\\f", int(i));
        word("\\fnil");
        word("\\fcharset", int(i) == m_symbolFont ? 2 : 0);
        writeFontName(m_fonts.at(i));
        m_out += ";}";
        m_delimit = false;
    }
    m_out += "}\r\n";
    if (!m_colors.isEmpty()) {
        m_out += "{\\colortbl ;";
        for (const QRgb rgb : std::as_const(m_colors)) {
            word("\\red", qRed(rgb));
            word("\\green", qGreen(rgb));
            word("\\blue", qBlue(rgb));
            m_out += ';';
        }
        m_out += "}\r\n";
    }
    if (m_symbolFont >= 0)
        writeBulletListTable();
    // Word processors take a document without a generator for an old one and read runs of
    // spaces in their legacy way.
    m_out += "{\\*\\generator Jottex " JOTTEX_VERSION ";}";
    m_delimit = false;
    word("\\viewkind4");
    word("\\uc1");
}

void Writer::writeBlock(const QTextBlock& block)
{
    const ParagraphFormat para = cachedParaFormat(block);
    writeParagraphStart(block, para);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!writePictures(fragment))
            writeRun(cachedRunFormat(fragment), fragment.text());
    }
    if (hasWrittenMark(block))
        writeMark(block);
    // Word processors split a paragraph whose mark is raised or lowered, or drop its text.
    if (m_state.vertical != 0)
        word("\\nosupersub");
    m_state.vertical = 0;
    word("\\par");
    m_out += "\r\n";
    m_delimit = false;
}

void Writer::writeMark(const QTextBlock& block)
{
    RunFormat mark = cachedRunFormat(block);
    mark.highlight = 0; // highlights are only ever written inside a group
    mark.vertical = 0;
    mark.link.clear();
    writeFormatChanges(mark);
}

// Word processors nest bullets by \ls and \ilvl, whose levels the list table defines; the
// rich-edit control's one-level \pn before it stays for the readers that know no other.
void Writer::writeBulletListTable()
{
    m_out += "{\\*\\listtable{\\list";
    word("\\listtemplateid", kBulletList);
    for (int level = 0; level < m_bulletLevels; ++level) {
        const int indent = (level + 1) * kBulletLevelIndent;
        m_out += "{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0\\levelfollow0"
                 "\\levelstartat1{\\leveltext\\'01\\'B7;}{\\levelnumbers;}";
        word("\\f", m_symbolFont);
        word("\\fi", kBulletHang);
        word("\\li", indent);
        word("\\lin", indent);
        m_out += '}';
    }
    m_out += "{\\listname ;}";
    word("\\listid", kBulletList);
    m_out += "}}\r\n{\\*\\listoverridetable{\\listoverride";
    word("\\listid", kBulletList);
    word("\\listoverridecount0");
    word("\\ls", kBulletList);
    m_out += "}}\r\n";
    m_delimit = false;
}

void Writer::writeListLevel(int list)
{
    const bool bullet = isBullet(list);
    m_out += "{\\*\\pn";
    word(bullet ? "\\pnlvlblt" : "\\pnlvlbody");
    word("\\pnf", bullet ? m_symbolFont : 0);
    word("\\pnindent", 0);
    if (bullet) {
        m_out += "{\\pntxtb\\'B7}}";
    } else {
        word("\\pnstart", 1);
        for (const NumberingWord& entry : kNumberingWords) {
            if (entry.style == list)
                word(entry.word);
        }
        m_out += "{\\pntxta.}}";
    }
    m_delimit = false;
}

void Writer::writeParagraphStart(const QTextBlock& block, const ParagraphFormat& para)
{
    const bool changed = m_firstBlock || !(para == m_para);
    m_firstBlock = false;
    m_para = para;
    if (changed)
        word("\\pard");
    if (para.list != 0)
        writeNumberText(block, para.list);
    if (!changed)
        return;
    if (para.list != 0)
        writeListLevel(para.list);
    if (isBullet(para.list))
        word("\\ls", kBulletList);
    // The rich-edit control's numbering has one level; word processors and our reader take
    // the nesting from \ilvl.
    if (para.level != 0)
        word("\\ilvl", para.level);
    if (para.firstIndent != 0)
        word("\\fi", para.firstIndent);
    if (para.leftIndent != 0)
        word("\\li", para.leftIndent);
    if (para.rightIndent != 0)
        word("\\ri", para.rightIndent);
    if (para.spaceBefore != 0)
        word("\\sb", para.spaceBefore);
    if (para.spaceAfter != 0)
        word("\\sa", para.spaceAfter);
    if (para.lineSpacing != 0) {
        word("\\sl", para.lineSpacing);
        word("\\slmult", para.lineMultiple ? 1 : 0);
    }
    static const char* const kAlignWords[] = {nullptr, "\\qc", "\\qr", "\\qj"};
    if (para.align != 0)
        word(kAlignWords[para.align]);
}

// The marker text that old readers show in place of the list numbering.
void Writer::writeNumberText(const QTextBlock& block, int style)
{
    if (isBullet(style)) {
        m_out += "{\\pntext";
        word("\\f", m_symbolFont);
        m_out += "\\'B7\\tab}";
    } else {
        m_out += "{\\pntext";
        word("\\f", 0);
        const QString marker = block.textList() ? block.textList()->itemText(block) : QString();
        writeText(marker);
        word("\\tab");
        m_out += '}';
    }
    m_delimit = false;
}

void Writer::writeRun(const RunFormat& format, QStringView text)
{
    const bool link = !format.link.isEmpty();
    if (!link && format.highlight == 0) {
        writeFormatChanges(format);
        writeText(text);
        return;
    }
    // Links are field groups, and highlights go in a group too: some readers never end a
    // highlight at \highlight0 and paint the rest of the note. Formatting ends with the group.
    const RunFormat outside = m_state;
    if (link) {
        m_out += "{\\field{\\*\\fldinst{HYPERLINK \"";
        m_delimit = false;
        writeText(format.link);
        m_out += "\"}}{\\fldrslt";
    }
    m_out += '{';
    m_delimit = false;
    writeFormatChanges(format);
    writeText(text);
    m_out += link ? "}}}" : "}";
    m_delimit = false;
    m_state = outside;
}

// A run of pictures goes out as the PNG or JPEG each was read from, others as PNG; a picture
// that the document cannot show is left out. False when the run holds no pictures.
bool Writer::writePictures(const QTextFragment& fragment)
{
    const QString text = fragment.text();
    if (!text.startsWith(QChar::ObjectReplacementCharacter))
        return false;
    const QTextCharFormat format = fragment.charFormat();
    if (!format.isImageFormat())
        return false;
    const QTextImageFormat imageFormat = format.toImageFormat();
    const QImage image = pictureOf(m_document, imageFormat);
    if (image.isNull())
        return true;
    const Detail::EncodedPicture encoded = Detail::encodedPicture(imageFormat.name(), image);
    if (encoded.bytes.isEmpty())
        return true;
    const QSizeF shown = shownSize(imageFormat, image.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        writePicture(encoded, image.size(), shown);
    return true;
}

// Word processors take the size shown from the goal, in twips; the picture's own size is in
// pixels, as for any bitmap.
void Writer::writePicture(const Detail::EncodedPicture& encoded, QSize pixels, QSizeF shown)
{
    constexpr qsizetype kHexLine = 128;
    static const char kHex[] = "0123456789abcdef";
    const QByteArray& bytes = encoded.bytes;
    m_out += encoded.jpeg ? "{\\pict\\jpegblip" : "{\\pict\\pngblip";
    word("\\picw", pixels.width());
    word("\\pich", pixels.height());
    word("\\picwgoal", qRound(shown.width() * kTwipsPerPicturePixel));
    word("\\pichgoal", qRound(shown.height() * kTwipsPerPicturePixel));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i % (kHexLine / 2) == 0)
            m_out += "\r\n";
        m_out += kHex[uchar(bytes[i]) >> 4];
        m_out += kHex[uchar(bytes[i]) & 15];
    }
    m_out += "\r\n}";
    m_delimit = false;
}

// The on/off attributes, in the order they are written.
struct Toggle {
    bool RunFormat::*member;
    const char* on;
    const char* off;
};
constexpr Toggle kToggles[] = {
    {&RunFormat::bold, "\\b", "\\b0"},
    {&RunFormat::italic, "\\i", "\\i0"},
    {&RunFormat::underline, "\\ul", "\\ulnone"},
    {&RunFormat::strike, "\\strike", "\\strike0"},
};

void Writer::writeFormatChanges(const RunFormat& format)
{
    RunFormat& state = m_state;
    // What ends comes first: unrtf keeps an attribute on for the rest of the note when its
    // end follows the start of another.
    for (const Toggle& toggle : kToggles)
        if (state.*toggle.member && !(format.*toggle.member))
            word(toggle.off);
    static const char* const kVerticalWords[] = {"\\nosupersub", "\\super", "\\sub"};
    if (format.vertical != state.vertical && format.vertical == 0)
        word(kVerticalWords[0]);
    if (format.color != state.color)
        word("\\cf", format.color);
    if (format.highlight != state.highlight)
        word("\\highlight", format.highlight);
    for (const Toggle& toggle : kToggles)
        if (!(state.*toggle.member) && format.*toggle.member)
            word(toggle.on);
    if (format.vertical != state.vertical && format.vertical != 0)
        word(kVerticalWords[format.vertical]);
    if (format.font != state.font)
        word("\\f", format.font);
    if (format.halfPoints != state.halfPoints)
        word("\\fs", format.halfPoints);
    const QString link = state.link;
    state = format;
    state.link = link;
}

void Writer::writeText(QStringView text)
{
    static const char kHex[] = "0123456789abcdef";
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x80) {
            if (c == '\\' || c == '{' || c == '}') {
                m_out += '\\';
                m_out += char(c);
                m_delimit = false;
            } else {
                literal(char(c));
            }
            continue;
        }
        switch (c) {
        case '\t':
            word("\\tab");
            continue;
        case QChar::LineSeparator:
        case '\v': // the rich-edit control's soft line break
            word("\\line");
            continue;
        case '\r':
        case '\n':
        case QChar::ObjectReplacementCharacter: // images and other objects are not kept
        case 0xFDD0:                            // frame boundaries of tables
        case 0xFDD1:
            continue;
        default:
            break;
        }
        const int byte = Detail::cp1252Byte(c);
        if (byte >= 0) {
            m_out += "\\'";
            m_out += kHex[byte >> 4];
            m_out += kHex[byte & 15];
        } else {
            // RTF's \u takes a signed 16-bit number; surrogate halves go out one by one.
            m_out += "\\u";
            m_out += QByteArray::number(int(qint16(c)));
            m_out += "\\'3f"; // some readers drop punctuation after a bare "?" fallback
        }
        m_delimit = false;
    }
}

// A font name ends at ";", so one inside the name goes out as an escape.
void Writer::writeFontName(QStringView name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == QLatin1Char(';')) {
            m_out += "\\'3b";
            m_delimit = false;
        } else {
            writeText(name.sliced(i, 1));
        }
    }
}

void Writer::word(const char* name)
{
    m_out += name;
    m_delimit = true;
}

void Writer::word(const char* name, int param)
{
    m_out += name;
    m_out += QByteArray::number(param);
    m_delimit = true;
}

void Writer::literal(char c)
{
    if (m_delimit) {
        m_out += ' ';
        m_delimit = false;
    }
    m_out += c;
}

template <typename Source> const RunFormat& Writer::cachedRunFormat(const Source& source)
{
    const int index = source.charFormatIndex();
    auto it = m_runFormats.constFind(index);
    if (it == m_runFormats.constEnd())
        it = m_runFormats.insert(index, runFormat(source.charFormat()));
    return *it;
}

// The block format index covers the list too: a block's list is an object of its format.
const ParagraphFormat& Writer::cachedParaFormat(const QTextBlock& block)
{
    const int index = block.blockFormatIndex();
    auto it = m_paraFormats.constFind(index);
    if (it == m_paraFormats.constEnd())
        it = m_paraFormats.insert(index, paraFormat(block));
    return *it;
}

RunFormat Writer::runFormat(const QTextCharFormat& format)
{
    RunFormat run;
    run.font = fontIndex(familyOf(format));
    const qreal points = format.hasProperty(QTextFormat::FontPointSize)
                             ? format.fontPointSize()
                             : m_defaultFont.pointSizeF();
    run.halfPoints = points > 0 ? qRound(points * 2) : 24;
    run.bold = format.fontWeight() >= QFont::DemiBold;
    run.italic = format.fontItalic();
    run.underline = format.fontUnderline();
    run.strike = format.fontStrikeOut();
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        run.vertical = 1;
        break;
    case QTextCharFormat::AlignSubScript:
        run.vertical = 2;
        break;
    default:
        break;
    }
    run.color = colorIndex(format.foreground());
    run.highlight = colorIndex(format.background());
    if (format.isAnchor())
        run.link = format.anchorHref();
    return run;
}

ParagraphFormat Writer::paraFormat(const QTextBlock& block) const
{
    const QTextBlockFormat format = block.blockFormat();
    ParagraphFormat para;
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        para.align = 1;
    else if (align & (Qt::AlignRight | Qt::AlignTrailing))
        para.align = 2;
    else if (align & Qt::AlignJustify)
        para.align = 3;
    para.leftIndent = pointsToTwips(format.leftMargin());
    para.rightIndent = pointsToTwips(format.rightMargin());
    para.firstIndent = pointsToTwips(format.textIndent());
    para.spaceBefore = pointsToTwips(format.topMargin());
    para.spaceAfter = pointsToTwips(format.bottomMargin());
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (qRound(format.lineHeight()) != 100) {
            para.lineSpacing = qRound(format.lineHeight() * 240 / 100);
            para.lineMultiple = true;
        }
        break;
    case QTextBlockFormat::FixedHeight:
        para.lineSpacing = -pointsToTwips(format.lineHeight());
        break;
    case QTextBlockFormat::MinimumHeight:
        para.lineSpacing = pointsToTwips(format.lineHeight());
        break;
    default:
        break;
    }
    if (const QTextList* list = block.textList()) {
        para.list = static_cast<qint8>(isBullet(list->format().style()) ? QTextListFormat::ListDisc
                                                                        : list->format().style());
        para.level = quint8(qBound(0, list->format().indent() - 1, kMaxListLevel));
    }
    return para;
}

QString Writer::familyOf(const QTextCharFormat& format) const
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return m_defaultFont.family();
}

int Writer::fontIndex(const QString& family)
{
    const auto it = m_fontIndex.constFind(family);
    if (it != m_fontIndex.constEnd())
        return *it;
    const int index = int(m_fonts.size());
    m_fonts.append(family);
    m_fontIndex.insert(family, index);
    return index;
}

int Writer::colorIndex(const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QRgb rgb = brush.color().rgb() | 0xFF000000u;
    const auto it = m_colorIndex.constFind(rgb);
    if (it != m_colorIndex.constEnd())
        return *it;
    m_colors.append(rgb);
    const int index = int(m_colors.size());
    m_colorIndex.insert(rgb, index);
    return index;
}

} // namespace

QByteArray writeRtf(const QTextDocument* document)
{
    if (!document)
        return {};
    return Writer(document).run();
}

} // namespace RichText
