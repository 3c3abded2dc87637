#include "RtfReader.h"

#include "CodePages_p.h"
#include "Pictures_p.h"
#include "RtfParagraph.h"
#include "RtfTokenizer.h"
#include "RtfUnits.h"
#include "SymbolFont.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <limits>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace RichText {
namespace {

// Limits that keep hostile input from producing absurd layouts or unbounded memory.
constexpr int kMaxTwips = 31680; // 22 inches, the widest page word processors allow
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxUnicodeSkip = 32;
constexpr int kPlainHalfPoints = 24; // \plain means 12 pt, whatever the text area's size
constexpr int kSingleSpacing = 240;  // \slmult1 counts line spacing in 240ths of a line
constexpr int kMaxDepth = 1 << 17;   // deeper groups share the innermost state
constexpr qsizetype kMaxFieldInstruction = qsizetype(64) * 1024; // far beyond any link target
constexpr size_t kMaxCachedFormats = 1024;
constexpr size_t kMaxLists = 1024;
constexpr int kMaxListLevels = 9; // as many as word processors offer
// Every item added to a QTextList revisits all items before it, so a list of n items costs
// n squared; longer runs of items go on in a new list of the same style. Bullets look the same
// in any number of lists; numbers start again, so numbered lists split only where few notes go.
constexpr int kMaxBulletItems = 32;
constexpr int kMaxNumberedItems = 256;

enum class Dest : quint8 {
    Text,
    Skip,
    FontTable,
    ColorTable,
    Numbering,
    FieldInstruction,
    ListTable,
    ListOverrideTable,
    Picture,
};

enum class Kind : quint8 {
    // destinations
    FontTable,
    ColorTable,
    Numbering,
    Field,
    FieldInstruction,
    FieldResult,
    ListTable,
    ListOverrideTable,
    Picture,
    ShapePicture,
    SkipDest,
    // document
    AnsiCodePage,
    CodePage,
    DefaultFont,
    Binary,
    // characters and breaks
    Par,
    Char,
    Unicode,
    UnicodeSkip,
    // character formatting
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    Vertical,
    Up,
    Down,
    Font,
    FontSize,
    Color,
    Highlight,
    // font and colour tables
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // paragraph formatting
    Pard,
    Align,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    ListOverride,
    ListLevel,
    // Word's list tables
    ListDefinition,
    LevelDefinition,
    LevelFormat,
    ListId,
    OverrideDefinition,
    // old-style paragraph numbering
    NumberBullet,
    NumberBody,
    NumberContinue,
    NumberStyle,
    // pictures
    PictureType,
    PictureWidth,
    PictureHeight,
    PictureGoalWidth,
    PictureGoalHeight,
    PictureScaleX,
    PictureScaleY,
    BitmapBitsPerPixel,
    BitmapWidthBytes,
};

// What a picture's data is; Other for the kinds that cannot be shown (metafiles, QuickDraw).
enum class Blip : quint8 { None, Png, Jpeg, Dib, DeviceBitmap, Other };

struct WordEntry {
    std::string_view name;
    Kind kind;
    int arg = 0;
};

constexpr WordEntry kWords[] = {
    {"fonttbl", Kind::FontTable},
    {"colortbl", Kind::ColorTable},
    {"pn", Kind::Numbering},
    {"field", Kind::Field},
    {"fldinst", Kind::FieldInstruction},
    {"fldrslt", Kind::FieldResult},
    {"listtable", Kind::ListTable},
    {"listoverridetable", Kind::ListOverrideTable},
    // destinations whose content is not note text
    {"pntext", Kind::SkipDest},
    {"listtext", Kind::SkipDest},
    {"pntxta", Kind::SkipDest},
    {"pntxtb", Kind::SkipDest},
    {"pict", Kind::Picture},
    // Word writes a picture twice: as a shape picture, and as a metafile for old readers.
    {"shppict", Kind::ShapePicture},
    {"nonshppict", Kind::SkipDest},
    {"object", Kind::SkipDest},
    {"shp", Kind::SkipDest},
    {"stylesheet", Kind::SkipDest},
    {"info", Kind::SkipDest},
    {"revtbl", Kind::SkipDest},
    {"rsidtbl", Kind::SkipDest},
    {"filetbl", Kind::SkipDest},
    {"header", Kind::SkipDest},
    {"headerl", Kind::SkipDest},
    {"headerr", Kind::SkipDest},
    {"headerf", Kind::SkipDest},
    {"footer", Kind::SkipDest},
    {"footerl", Kind::SkipDest},
    {"footerr", Kind::SkipDest},
    {"footerf", Kind::SkipDest},
    {"footnote", Kind::SkipDest},
    {"annotation", Kind::SkipDest},
    {"xe", Kind::SkipDest},
    {"tc", Kind::SkipDest},
    {"txe", Kind::SkipDest},
    {"rxe", Kind::SkipDest},
    {"themedata", Kind::SkipDest},
    {"colorschememapping", Kind::SkipDest},
    {"latentstyles", Kind::SkipDest},
    {"datastore", Kind::SkipDest},
    {"generator", Kind::SkipDest},
    // document
    {"ansi", Kind::CodePage, 1252},
    {"pc", Kind::CodePage, 437},
    {"ansicpg", Kind::AnsiCodePage},
    {"deff", Kind::DefaultFont},
    {"bin", Kind::Binary},
    // breaks and special characters
    {"par", Kind::Par},
    {"sect", Kind::Par},
    {"page", Kind::Par},
    {"row", Kind::Par},
    {"line", Kind::Char, 0x2028},
    {"tab", Kind::Char, '\t'},
    {"cell", Kind::Char, '\t'},
    {"emdash", Kind::Char, 0x2014},
    {"endash", Kind::Char, 0x2013},
    {"emspace", Kind::Char, 0x2003},
    {"enspace", Kind::Char, 0x2002},
    {"qmspace", Kind::Char, 0x2005},
    {"bullet", Kind::Char, 0x2022},
    {"lquote", Kind::Char, 0x2018},
    {"rquote", Kind::Char, 0x2019},
    {"ldblquote", Kind::Char, 0x201C},
    {"rdblquote", Kind::Char, 0x201D},
    {"zwj", Kind::Char, 0x200D},
    {"zwnj", Kind::Char, 0x200C},
    {"u", Kind::Unicode},
    {"uc", Kind::UnicodeSkip},
    // character formatting
    {"plain", Kind::Plain},
    {"b", Kind::Bold},
    {"i", Kind::Italic},
    {"ul", Kind::Underline},
    {"uld", Kind::Underline},
    {"uldb", Kind::Underline},
    {"uldash", Kind::Underline},
    {"ulth", Kind::Underline},
    {"ulw", Kind::Underline},
    {"ulwave", Kind::Underline},
    {"ulnone", Kind::UnderlineNone},
    {"strike", Kind::Strike},
    {"striked", Kind::Strike},
    {"v", Kind::Hidden},
    {"super", Kind::Vertical, 1},
    {"sub", Kind::Vertical, 2},
    {"nosupersub", Kind::Vertical, 0},
    {"up", Kind::Up},
    {"dn", Kind::Down},
    {"f", Kind::Font},
    {"fs", Kind::FontSize},
    {"cf", Kind::Color},
    {"highlight", Kind::Highlight},
    {"cb", Kind::Highlight},
    // font and colour tables
    {"fcharset", Kind::FontCharset},
    {"cpg", Kind::FontCodePage},
    {"red", Kind::Red},
    {"green", Kind::Green},
    {"blue", Kind::Blue},
    // paragraph formatting
    {"pard", Kind::Pard},
    {"ql", Kind::Align, 0},
    {"qc", Kind::Align, 1},
    {"qr", Kind::Align, 2},
    {"qj", Kind::Align, 3},
    {"li", Kind::LeftIndent},
    {"ri", Kind::RightIndent},
    {"fi", Kind::FirstIndent},
    {"sb", Kind::SpaceBefore},
    {"sa", Kind::SpaceAfter},
    {"sl", Kind::LineSpacing},
    {"slmult", Kind::LineMultiple},
    {"ls", Kind::ListOverride},
    {"ilvl", Kind::ListLevel},
    // Word's list tables
    {"list", Kind::ListDefinition},
    {"listlevel", Kind::LevelDefinition},
    {"levelnfc", Kind::LevelFormat},
    {"levelnfcn", Kind::LevelFormat},
    {"listid", Kind::ListId},
    {"listoverride", Kind::OverrideDefinition},
    // old-style numbering, inside {\*\pn ...}
    {"pnlvlblt", Kind::NumberBullet},
    {"pnlvlbody", Kind::NumberBody},
    {"pnlvlcont", Kind::NumberContinue},
    {"pndec", Kind::NumberStyle, QTextListFormat::ListDecimal},
    {"pnucltr", Kind::NumberStyle, QTextListFormat::ListUpperAlpha},
    {"pnlcltr", Kind::NumberStyle, QTextListFormat::ListLowerAlpha},
    {"pnucrm", Kind::NumberStyle, QTextListFormat::ListUpperRoman},
    {"pnlcrm", Kind::NumberStyle, QTextListFormat::ListLowerRoman},
    // pictures, inside {\pict ...}
    {"pngblip", Kind::PictureType, int(Blip::Png)},
    {"jpegblip", Kind::PictureType, int(Blip::Jpeg)},
    {"dibitmap", Kind::PictureType, int(Blip::Dib)},
    {"wbitmap", Kind::PictureType, int(Blip::DeviceBitmap)},
    {"wmetafile", Kind::PictureType, int(Blip::Other)},
    {"emfblip", Kind::PictureType, int(Blip::Other)},
    {"macpict", Kind::PictureType, int(Blip::Other)},
    {"pmmetafile", Kind::PictureType, int(Blip::Other)},
    {"picw", Kind::PictureWidth},
    {"pich", Kind::PictureHeight},
    {"picwgoal", Kind::PictureGoalWidth},
    {"pichgoal", Kind::PictureGoalHeight},
    {"picscalex", Kind::PictureScaleX},
    {"picscaley", Kind::PictureScaleY},
    {"wbmbitspixel", Kind::BitmapBitsPerPixel},
    {"wbmwidthbytes", Kind::BitmapWidthBytes},
};

const WordEntry* findWord(QByteArrayView word)
{
    static const auto table = [] {
        std::unordered_map<std::string_view, const WordEntry*> map;
        for (const WordEntry& entry : kWords)
            map.emplace(entry.name, &entry);
        return map;
    }();
    const auto it = table.find(std::string_view(word.data(), size_t(word.size())));
    return it == table.end() ? nullptr : it->second;
}

bool isDestination(Kind kind)
{
    return kind <= Kind::SkipDest;
}

struct CharState {
    int font = -1;      // font table number, -1 for the document's default
    int halfPoints = 0; // 0: the size of the text area
    int color = 0;      // colour table index, 0 for automatic
    int highlight = 0;
    int link = -1;       // index into the hyperlink targets
    quint8 vertical = 0; // 0 baseline, 1 superscript, 2 subscript
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;

    bool operator==(const CharState&) const = default;
};

struct CharStateHash {
    size_t operator()(const CharState& chars) const
    {
        const size_t flags = size_t(chars.vertical) | size_t(chars.bold) << 2 |
                             size_t(chars.italic) << 3 | size_t(chars.underline) << 4 |
                             size_t(chars.strike) << 5 | size_t(chars.hidden) << 6;
        return qHashMulti(0, chars.font, chars.halfPoints, chars.color, chars.highlight, chars.link,
                          flags);
    }
};

struct State {
    Dest dest = Dest::Text;
    quint8 unicodeSkip = 1;
    int numberingOwner = -1; // the frame whose paragraph a {\*\pn} group describes
    CharState chars;
    ParagraphFormat para;
};

// One list of Word's list table: the style of each level.
struct ListDefinition {
    std::vector<qint8> levels;
};

// A picture as its group gives it; it is shown when the group ends.
struct PictureData {
    Blip blip = Blip::None;
    int width = 0; // \picw, \pich: the pixels of a bitmap
    int height = 0;
    int goalWidth = 0; // \picwgoal, \pichgoal: the size shown, in twips
    int goalHeight = 0;
    int scaleX = 100; // percent
    int scaleY = 100;
    int bitsPerPixel = 1;
    int widthBytes = 0;
    QByteArray bytes;
    int highNibble = -1; // a hex digit waiting for the second one of its byte
    bool tooLarge = false;

    bool keepsData() const
    {
        return !tooLarge && (blip == Blip::Png || blip == Blip::Jpeg || blip == Blip::Dib ||
                             blip == Blip::DeviceBitmap);
    }
    bool room() { return !(tooLarge = bytes.size() >= kMaxEncodedPictureBytes); }
    void appendHex(QByteArrayView hex);
    void appendBinary(QByteArrayView binary);
};

// Anything between the digits (line breaks, blanks, junk) is passed over; an odd digit at the
// end is dropped.
void PictureData::appendHex(QByteArrayView hex)
{
    if (!keepsData())
        return;
    for (const char c : hex) {
        const int value = hexValue(c);
        if (value < 0)
            continue;
        if (highNibble < 0) {
            highNibble = value;
            continue;
        }
        if (!room())
            return;
        bytes.append(char(highNibble << 4 | value));
        highNibble = -1;
    }
}

void PictureData::appendBinary(QByteArrayView binary)
{
    if (!keepsData())
        return;
    if (binary.size() > kMaxEncodedPictureBytes - bytes.size())
        tooLarge = true;
    else
        bytes.append(binary);
}

// The picture the data holds, within budget bytes decoded; null when it cannot be shown.
QImage imageOf(const PictureData& picture, qint64 budget, PictureResult* result)
{
    *result = PictureResult::Unreadable;
    if (picture.tooLarge) {
        *result = PictureResult::TooLarge;
        return {};
    }
    switch (picture.blip) {
    case Blip::Png:
        return Detail::decodePicture(picture.bytes, result, "png", budget);
    case Blip::Jpeg:
        return Detail::decodePicture(picture.bytes, result, "jpeg", budget);
    case Blip::Dib:
        return Detail::decodePicture(Detail::bmpOfDib(picture.bytes), result, "bmp", budget);
    case Blip::DeviceBitmap: {
        const QSize size(picture.width, picture.height);
        const qint64 needed = pictureBytes(size);
        if (needed > budget && needed <= kMaxPictureBytes) {
            *result = PictureResult::NoteFull;
            return {};
        }
        return Detail::deviceBitmap(picture.bytes, size, picture.bitsPerPixel, picture.widthBytes,
                                    result);
    }
    default:
        return {};
    }
}

// The size a picture is shown at, in pixels: the size its group asks for, or its own.
QSizeF shownPictureSize(const PictureData& picture, QSize pixels)
{
    const auto side = [](int goal, int own, int scale) {
        const qreal base = goal > 0 ? qreal(goal) / kTwipsPerPicturePixel : qreal(own);
        return qBound<qreal>(1, base * (scale > 0 ? scale : 100) / 100, Detail::kMaxShownPixels);
    };
    return {side(picture.goalWidth, pixels.width(), picture.scaleX),
            side(picture.goalHeight, pixels.height(), picture.scaleY)};
}

// The list style of a list level's number format (\levelnfc).
qint8 listStyleOfLevelFormat(int format)
{
    switch (format) {
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    case 23:  // bullet
    case 255: // no number
        return QTextListFormat::ListDisc;
    default: // the many other number forms are numbers all the same
        return QTextListFormat::ListDecimal;
    }
}

// Text in symbol fonts (\fcharset2) is no text of any code page: the Symbol font's bytes
// are Greek and mathematical characters, and other symbol fonts keep their bytes at U+F000 on,
// as Windows keeps them. These stand in for a code page.
constexpr int kSymbolFontPage = -1;
constexpr int kPrivateUsePage = -2;
constexpr int kSymbolCharset = 2;

struct FontEntry {
    QString name;
    int codePage = 0; // or one of the symbol font pages
};

// What a byte above 0x7F outside an escape is: a byte of the document's code page, as RTF
// files have them; or part of the UTF-8 of a character that stood as itself in RTF held as
// text (a note file's DATA written by another program).
enum class RawBytes { CodePage, Utf8 };

class Reader {
public:
    Reader(QByteArrayView rtf, QTextDocument* document, RawBytes raw, qsizetype maxBlocks)
        : m_tokenizer(rtf), m_cursor(document), m_raw(raw), m_maxBlocks(maxBlocks)
    {
    }

    void run();
    // Pictures left out for their size.
    int refusedPictures() const { return m_refusedPictures; }

private:
    State& top() { return m_stack.back(); }
    void handleToken(const RtfToken& token);
    void handleSkipped(const RtfToken& token);
    void openGroup();
    void closeGroup();
    void handleWord(const RtfToken& token);
    void handleSymbol(char symbol);
    void handleBytes(QByteArrayView bytes);
    void handleText(QByteArrayView bytes);
    void handleCharacters(QByteArrayView utf8);
    void handleDestination(const WordEntry& entry);
    bool handleCharWord(const WordEntry& entry, const RtfToken& token);
    bool handleParaWord(const WordEntry& entry, const RtfToken& token);
    void handleNumberingWord(const WordEntry& entry);
    void handleTableWord(const WordEntry& entry, const RtfToken& token);
    void handleListTableWord(const WordEntry& entry, const RtfToken& token);
    void handlePictureWord(const WordEntry& entry, const RtfToken& token);
    void finishPicture();
    void insertPicture(const PictureData& picture, QSize pixels, const QString& name);
    void commitListOverride();
    int listStyle(const ParagraphFormat& para) const;
    void addListItem(int style, int level);

    void openPendingBlock();
    void appendText(QStringView text);
    void appendChar(char32_t c);
    void flushBytes();
    void flushText();
    void endParagraph();
    void startBlock();
    void applyParagraph(const CharState& mark);
    static QTextBlockFormat blockFormat(const ParagraphFormat& para);
    void commitFont();
    int fontNameCodePage() const;
    void flushFontName();
    void commitColor();
    void forgetFormats();
    int codePageOfFont(int font) const;
    const Detail::ByteDecoder& decoder(int codePage);
    QTextCharFormat charFormat(const CharState& chars);
    QString hyperlinkTarget();
    void finish();

    RtfTokenizer m_tokenizer;
    QTextCursor m_cursor;
    RawBytes m_raw;
    std::vector<State> m_stack;
    int m_overflowDepth = 0;  // groups opened beyond kMaxDepth
    int m_skipDepth = 0;      // groups nested inside a skipped destination
    int m_skipChars = 0;      // fallback characters still to drop after \u
    bool m_ignorable = false; // the last token was \*
    bool m_done = false;

    int m_codePage = Detail::kDefaultCodePage;
    int m_defaultFont = -1;
    std::vector<std::unique_ptr<Detail::ByteDecoder>> m_decoders;

    QByteArray m_bytes; // undecoded text bytes, all in m_bytesCodePage
    int m_bytesCodePage = 0;
    QString m_text; // decoded text not yet in the document, all in m_textChars
    CharState m_textChars;
    std::unordered_map<CharState, QTextCharFormat, CharStateHash> m_formats;
    bool m_needBlock = false; // a \par ended the last block; open one when content follows

    // What the current block already carries. Setting a block's format costs as much as
    // inserting the block, so new blocks start with the formats of the one before, and only
    // a change is set.
    ParagraphFormat m_blockPara;
    QTextBlockFormat m_blockFormat;
    CharState m_blockChars;
    bool m_blockKnown = false; // the first block is the document's own until applied
    bool m_blockEmpty = true;
    int m_blockNumber = 0;

    std::vector<QTextList*> m_levelLists; // the open list of each level, outermost first
    int m_listBlock = -1;

    std::vector<ListDefinition> m_listDefinitions;
    std::unordered_map<int, size_t> m_listIds;       // \listidN to its list definition
    std::unordered_map<int, size_t> m_listOverrides; // \lsN to its list definition
    int m_overrideListId = -1;
    int m_overrideNumber = -1;

    std::unordered_map<int, FontEntry> m_fonts;
    int m_fontNumber = -1;
    int m_fontCharset = 0;
    int m_fontCodePage = 0;
    QByteArray m_fontName;  // bytes of the name not yet decoded
    QString m_fontNameText; // the name decoded so far

    std::vector<QColor> m_colors;
    int m_red = -1;
    int m_green = -1;
    int m_blue = -1;
    qsizetype m_maxBlocks; // the reading stops once the document has more blocks

    QByteArray m_fieldInstruction;
    QStringList m_links;

    PictureData m_picture;
    qint64 m_pictureBytes = 0; // of the pictures shown so far, each time it shows
    int m_refusedPictures = 0; // left out for their size
};

void Reader::run()
{
    m_stack.reserve(64);
    m_stack.push_back(State{});
    for (RtfToken token = m_tokenizer.next();
         token.type != RtfToken::End && !m_done && m_blockNumber <= m_maxBlocks;
         token = m_tokenizer.next()) {
        if (top().dest == Dest::Skip)
            handleSkipped(token);
        else
            handleToken(token);
    }
    if (!m_done)
        finish();
}

void Reader::finish()
{
    flushBytes();
    flushText();
    // A last paragraph without a mark ends in the format of its last character.
    if (!m_needBlock)
        applyParagraph(m_blockEmpty ? top().chars : m_textChars);
    m_done = true;
}

void Reader::handleSkipped(const RtfToken& token)
{
    switch (token.type) {
    case RtfToken::GroupStart:
        ++m_skipDepth;
        break;
    case RtfToken::GroupEnd:
        if (m_skipDepth > 0)
            --m_skipDepth;
        else
            closeGroup();
        break;
    case RtfToken::ControlWord:
        if (token.word == "bin" && token.param > 0)
            m_tokenizer.skipBytes(token.param);
        break;
    default:
        break;
    }
}

void Reader::handleToken(const RtfToken& token)
{
    if (token.type != RtfToken::Text && token.type != RtfToken::HexByte)
        flushBytes();
    const bool ignorable = std::exchange(m_ignorable, false);

    switch (token.type) {
    case RtfToken::GroupStart:
        openGroup();
        return;
    case RtfToken::GroupEnd:
        closeGroup();
        return;
    default:
        break;
    }

    if (m_skipChars > 0) {
        // Fallback text after \u: each byte, escape or control counts as one character.
        if (token.type == RtfToken::Text && token.word.size() > m_skipChars) {
            const QByteArrayView rest = token.word.sliced(m_skipChars);
            m_skipChars = 0;
            handleBytes(rest);
        } else {
            m_skipChars -= token.type == RtfToken::Text ? int(token.word.size()) : 1;
        }
        return;
    }

    switch (token.type) {
    case RtfToken::ControlWord:
        if (ignorable) {
            const WordEntry* entry = findWord(token.word);
            if (!entry || !isDestination(entry->kind)) {
                top().dest = Dest::Skip;
                return;
            }
        }
        handleWord(token);
        break;
    case RtfToken::ControlSymbol:
        handleSymbol(token.symbol);
        break;
    case RtfToken::HexByte:
        if (top().dest == Dest::FontTable)
            m_fontName += token.symbol; // an escaped ";" belongs to the name
        else
            handleBytes(QByteArrayView(&token.symbol, 1));
        break;
    case RtfToken::Text:
        handleText(token.word);
        break;
    default:
        break;
    }
}

void Reader::handleText(QByteArrayView bytes)
{
    if (top().dest == Dest::Picture) {
        m_picture.appendHex(bytes);
        return;
    }
    if (m_raw == RawBytes::CodePage) {
        handleBytes(bytes);
        return;
    }
    // Runs of ASCII keep the code page path (a double-byte character may continue in them);
    // runs above 0x7F are characters.
    while (!bytes.isEmpty()) {
        const bool ascii = uchar(bytes.front()) < 0x80;
        qsizetype end = 1;
        while (end < bytes.size() && (uchar(bytes[end]) < 0x80) == ascii)
            ++end;
        if (ascii)
            handleBytes(bytes.first(end));
        else
            handleCharacters(bytes.first(end));
        bytes = bytes.sliced(end);
    }
}

void Reader::handleCharacters(QByteArrayView utf8)
{
    if (top().dest != Dest::Text) {
        handleBytes(utf8);
        return;
    }
    if (top().chars.hidden)
        return;
    flushBytes();
    appendText(QString::fromUtf8(utf8));
}

void Reader::openGroup()
{
    m_skipChars = 0;
    if (m_stack.size() >= size_t(kMaxDepth)) {
        ++m_overflowDepth;
        return;
    }
    m_stack.push_back(m_stack.back());
    // Groups inside a picture hold its properties and identifiers, never its data.
    if (m_stack[m_stack.size() - 2].dest == Dest::Picture)
        m_stack.back().dest = Dest::Skip;
}

void Reader::closeGroup()
{
    m_skipChars = 0;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (top().dest == Dest::FontTable)
        commitFont();
    if (top().dest == Dest::Picture)
        finishPicture();
    // The brace that closes the outermost group ends the document; anything after it is junk.
    if (m_stack.size() <= 2) {
        finish();
        return;
    }
    m_stack.pop_back();
}

void Reader::handleBytes(QByteArrayView bytes)
{
    switch (top().dest) {
    case Dest::Text: {
        // Bytes gather into runs so that a double-byte character may span two escapes; every
        // token that could change the formatting flushes the run first.
        if (top().chars.hidden)
            return;
        const int codePage = codePageOfFont(top().chars.font);
        if (codePage != m_bytesCodePage)
            flushBytes();
        m_bytesCodePage = codePage;
        m_bytes.append(bytes);
        break;
    }
    case Dest::FontTable:
        for (const char c : bytes) {
            if (c == ';')
                commitFont();
            else
                m_fontName += c;
        }
        break;
    case Dest::ColorTable:
        for (const char c : bytes) {
            if (c == ';')
                commitColor();
        }
        break;
    case Dest::FieldInstruction:
        m_fieldInstruction.append(
            bytes.first(qMin(bytes.size(), kMaxFieldInstruction - m_fieldInstruction.size())));
        break;
    default:
        break;
    }
}

void Reader::handleSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        handleBytes(QByteArrayView(&symbol, 1));
        break;
    case '~':
        appendChar(0x00A0);
        break;
    case '-':
        appendChar(0x00AD);
        break;
    case '_':
        appendChar(0x2011);
        break;
    case '\n':
        if (top().dest == Dest::Text)
            endParagraph();
        break;
    case '*':
        m_ignorable = true;
        break;
    default:
        break;
    }
}

void Reader::handleWord(const RtfToken& token)
{
    const WordEntry* entry = findWord(token.word);
    if (!entry)
        return;
    if (isDestination(entry->kind)) {
        handleDestination(*entry);
        return;
    }
    if (entry->kind == Kind::Binary) {
        if (token.param > 0) {
            const QByteArrayView binary = m_tokenizer.takeBytes(token.param);
            if (top().dest == Dest::Picture)
                m_picture.appendBinary(binary);
        }
        return;
    }

    switch (top().dest) {
    case Dest::Text:
        if (!handleCharWord(*entry, token))
            handleParaWord(*entry, token);
        break;
    case Dest::Numbering:
        handleNumberingWord(*entry);
        break;
    case Dest::FontTable:
    case Dest::ColorTable:
        handleTableWord(*entry, token);
        break;
    case Dest::ListTable:
    case Dest::ListOverrideTable:
        handleListTableWord(*entry, token);
        break;
    case Dest::Picture:
        handlePictureWord(*entry, token);
        break;
    default:
        break;
    }
}

void Reader::handleDestination(const WordEntry& entry)
{
    State& state = top();
    switch (entry.kind) {
    case Kind::FontTable:
        state.dest = Dest::FontTable;
        break;
    case Kind::ColorTable:
        state.dest = Dest::ColorTable;
        break;
    case Kind::ListTable:
        state.dest = Dest::ListTable;
        break;
    case Kind::ListOverrideTable:
        state.dest = Dest::ListOverrideTable;
        break;
    case Kind::Numbering:
        if (state.dest == Dest::Text) {
            state.numberingOwner = int(m_stack.size()) - 2;
            state.dest = Dest::Numbering;
        } else if (state.dest != Dest::Numbering) {
            state.dest = Dest::Skip;
        }
        break;
    case Kind::Field:
        m_fieldInstruction.clear();
        break;
    case Kind::FieldInstruction:
        state.dest = Dest::FieldInstruction;
        break;
    case Kind::Picture:
        state.dest = state.dest == Dest::Text ? Dest::Picture : Dest::Skip;
        m_picture = PictureData{};
        break;
    case Kind::ShapePicture: // its picture is read as any other
        break;
    case Kind::FieldResult:
        if (state.dest == Dest::Text) {
            const QString target = hyperlinkTarget();
            if (!target.isEmpty()) {
                m_links.append(target);
                state.chars.link = int(m_links.size()) - 1;
            }
        }
        break;
    default:
        state.dest = Dest::Skip;
        break;
    }
}

bool Reader::handleCharWord(const WordEntry& entry, const RtfToken& token)
{
    CharState& chars = top().chars;
    const bool on = !token.hasParam || token.param != 0;
    switch (entry.kind) {
    case Kind::Char:
        appendChar(char32_t(entry.arg));
        break;
    case Kind::Par:
        endParagraph();
        break;
    case Kind::Unicode:
        if (token.hasParam) {
            const int unit = token.param < 0 ? token.param + 0x10000 : token.param;
            appendChar(unit >= 0 && unit <= 0xFFFF ? char32_t(unit) : 0xFFFD);
            m_skipChars = top().unicodeSkip;
        }
        break;
    case Kind::UnicodeSkip:
        top().unicodeSkip = quint8(qBound(0, token.param, kMaxUnicodeSkip));
        break;
    case Kind::Plain:
        chars = CharState{};
        chars.font = m_defaultFont;
        chars.halfPoints = kPlainHalfPoints;
        break;
    case Kind::Bold:
        chars.bold = on;
        break;
    case Kind::Italic:
        chars.italic = on;
        break;
    case Kind::Underline:
        chars.underline = on;
        break;
    case Kind::UnderlineNone:
        chars.underline = false;
        break;
    case Kind::Strike:
        chars.strike = on;
        break;
    case Kind::Hidden:
        chars.hidden = on;
        break;
    case Kind::Vertical:
        chars.vertical = quint8(entry.arg);
        break;
    case Kind::Up:
    case Kind::Down:
        chars.vertical = !on ? 0 : entry.kind == Kind::Up ? 1 : 2;
        break;
    case Kind::Font:
        chars.font = token.param;
        break;
    case Kind::FontSize:
        if (token.param > 0)
            chars.halfPoints = qMin(token.param, kMaxHalfPoints);
        break;
    case Kind::Color:
        chars.color = token.param;
        break;
    case Kind::Highlight:
        chars.highlight = token.param;
        break;
    case Kind::CodePage:
        m_codePage = entry.arg;
        break;
    case Kind::AnsiCodePage:
        if (token.param > 0)
            m_codePage = token.param;
        break;
    case Kind::DefaultFont:
        m_defaultFont = token.param;
        if (m_stack.size() <= 2)
            chars.font = token.param;
        break;
    default:
        return false;
    }
    return true;
}

bool Reader::handleParaWord(const WordEntry& entry, const RtfToken& token)
{
    ParagraphFormat& para = top().para;
    const int twips = qBound(-kMaxTwips, token.param, kMaxTwips);
    switch (entry.kind) {
    case Kind::Pard:
        para = ParagraphFormat{};
        break;
    case Kind::Align:
        para.align = quint8(entry.arg);
        break;
    case Kind::LeftIndent:
        para.leftIndent = twips;
        break;
    case Kind::RightIndent:
        para.rightIndent = twips;
        break;
    case Kind::FirstIndent:
        para.firstIndent = twips;
        break;
    case Kind::SpaceBefore:
        para.spaceBefore = twips;
        break;
    case Kind::SpaceAfter:
        para.spaceAfter = twips;
        break;
    case Kind::LineSpacing:
        para.lineSpacing = twips;
        break;
    case Kind::LineMultiple:
        para.lineMultiple = !token.hasParam || token.param != 0;
        break;
    case Kind::ListOverride:
        // The list table says the style; an item whose list it lacks reads as a bullet.
        para.listOverride = qMax(0, token.param);
        para.list = token.param > 0 ? qint8(QTextListFormat::ListDisc) : 0;
        break;
    case Kind::ListLevel:
        para.level = quint8(qBound(0, token.param, kMaxListLevels - 1));
        break;
    default:
        return false;
    }
    return true;
}

void Reader::handleNumberingWord(const WordEntry& entry)
{
    const int owner = top().numberingOwner;
    if (owner < 0 || size_t(owner) >= m_stack.size())
        return;
    qint8& list = m_stack[size_t(owner)].para.list;
    switch (entry.kind) {
    case Kind::NumberBullet:
        list = QTextListFormat::ListDisc;
        break;
    case Kind::NumberBody:
        list = QTextListFormat::ListDecimal;
        break;
    case Kind::NumberContinue:
        list = 0;
        break;
    case Kind::NumberStyle:
        if (list != 0 && list != QTextListFormat::ListDisc)
            list = qint8(entry.arg);
        break;
    default:
        break;
    }
}

void Reader::handleTableWord(const WordEntry& entry, const RtfToken& token)
{
    const int component = qBound(0, token.param, 255);
    switch (entry.kind) {
    case Kind::Font:
        if (top().dest == Dest::FontTable) {
            commitFont();
            m_fontNumber = token.param;
        }
        break;
    case Kind::FontCharset:
        m_fontCharset = token.param;
        break;
    case Kind::FontCodePage:
        m_fontCodePage = token.param;
        break;
    case Kind::Unicode:
        // The rich-edit control reads and writes names outside the code page as \uN.
        if (top().dest == Dest::FontTable && token.hasParam) {
            flushFontName();
            const int unit = token.param < 0 ? token.param + 0x10000 : token.param;
            if (unit >= 0 && unit <= 0xFFFF)
                m_fontNameText += QChar(char16_t(unit));
            m_skipChars = top().unicodeSkip;
        }
        break;
    case Kind::Red:
        m_red = component;
        break;
    case Kind::Green:
        m_green = component;
        break;
    case Kind::Blue:
        m_blue = component;
        break;
    default:
        break;
    }
}

void Reader::handlePictureWord(const WordEntry& entry, const RtfToken& token)
{
    const int value = qMax(0, token.param);
    switch (entry.kind) {
    case Kind::PictureType:
        m_picture.blip = Blip(entry.arg);
        break;
    case Kind::PictureWidth:
        m_picture.width = value;
        break;
    case Kind::PictureHeight:
        m_picture.height = value;
        break;
    case Kind::PictureGoalWidth:
        m_picture.goalWidth = value;
        break;
    case Kind::PictureGoalHeight:
        m_picture.goalHeight = value;
        break;
    case Kind::PictureScaleX:
        m_picture.scaleX = value;
        break;
    case Kind::PictureScaleY:
        m_picture.scaleY = value;
        break;
    case Kind::BitmapBitsPerPixel:
        m_picture.bitsPerPixel = value;
        break;
    case Kind::BitmapWidthBytes:
        m_picture.widthBytes = value;
        break;
    default:
        break;
    }
}

// A picture that cannot be shown is left out with nothing in its place; one over the limits
// is counted, so the reader's caller can say so.
void Reader::finishPicture()
{
    const PictureData picture = std::exchange(m_picture, PictureData{});
    if (top().chars.hidden)
        return;
    PictureResult result = PictureResult::Unreadable;
    const QImage image = imageOf(picture, kMaxNotePictureBytes - m_pictureBytes, &result);
    if (result == PictureResult::TooLarge || result == PictureResult::NoteFull) {
        ++m_refusedPictures;
        return;
    }
    if (image.isNull())
        return;
    // Counted each time: every copy is decoded, so this bounds the work as well.
    m_pictureBytes += pictureBytes(image.size());
    const QString name = Detail::registerPicture(m_cursor.document(), image);
    // Written again as it came, when it is what it says it is.
    const bool png = picture.blip == Blip::Png && picture.bytes.startsWith("\x89PNG");
    const bool jpeg = picture.blip == Blip::Jpeg && picture.bytes.startsWith("\xFF\xD8");
    if (png || jpeg)
        Detail::rememberEncoding(name, {picture.bytes, jpeg});
    insertPicture(picture, image.size(), name);
}

void Reader::insertPicture(const PictureData& picture, QSize pixels, const QString& name)
{
    openPendingBlock();
    flushText();
    QTextImageFormat format;
    format.merge(charFormat(top().chars));
    format.setName(name);
    // A picture shown at its own size keeps no size of its own, and is written back so.
    const QSizeF shown = shownPictureSize(picture, pixels);
    constexpr qreal kTwip = 1.0 / kTwipsPerPicturePixel;
    if (qAbs(shown.width() - pixels.width()) >= kTwip / 2 ||
        qAbs(shown.height() - pixels.height()) >= kTwip / 2) {
        format.setWidth(shown.width());
        format.setHeight(shown.height());
    }
    m_cursor.insertImage(format);
    m_blockEmpty = false;
}

int Reader::fontNameCodePage() const
{
    return m_fontCodePage > 0 ? m_fontCodePage : Detail::codePageForCharset(m_fontCharset);
}

void Reader::flushFontName()
{
    if (m_fontName.isEmpty())
        return;
    const int codePage = fontNameCodePage();
    decoder(codePage > 0 ? codePage : m_codePage).decode(m_fontName, m_fontNameText);
    m_fontName.clear();
}

void Reader::handleListTableWord(const WordEntry& entry, const RtfToken& token)
{
    const bool inListTable = top().dest == Dest::ListTable;
    ListDefinition* list = m_listDefinitions.empty() ? nullptr : &m_listDefinitions.back();
    switch (entry.kind) {
    case Kind::ListDefinition:
        if (inListTable && m_listDefinitions.size() < kMaxLists)
            m_listDefinitions.emplace_back();
        break;
    case Kind::LevelDefinition:
        if (inListTable && list && list->levels.size() < size_t(kMaxListLevels))
            list->levels.push_back(QTextListFormat::ListDecimal);
        break;
    case Kind::LevelFormat:
        if (inListTable && list && !list->levels.empty())
            list->levels.back() = listStyleOfLevelFormat(token.param);
        break;
    case Kind::ListId:
        if (!inListTable) {
            m_overrideListId = token.param;
            commitListOverride();
        } else if (list) {
            m_listIds[token.param] = m_listDefinitions.size() - 1;
        }
        break;
    case Kind::OverrideDefinition:
        m_overrideListId = m_overrideNumber = -1;
        break;
    case Kind::ListOverride:
        m_overrideNumber = token.param;
        commitListOverride();
        break;
    default:
        break;
    }
}

// Word names a list in the text by an override number, which the override table maps to a
// list of the list table; the list table comes first.
void Reader::commitListOverride()
{
    if (m_overrideNumber <= 0 || m_overrideListId < 0)
        return;
    if (const auto found = m_listIds.find(m_overrideListId); found != m_listIds.end())
        m_listOverrides[m_overrideNumber] = found->second;
}

int Reader::listStyle(const ParagraphFormat& para) const
{
    if (para.listOverride <= 0)
        return para.list;
    const auto found = m_listOverrides.find(para.listOverride);
    if (found == m_listOverrides.end())
        return para.list;
    const std::vector<qint8>& levels = m_listDefinitions[found->second].levels;
    if (levels.empty())
        return para.list;
    return levels[qMin(size_t(para.level), levels.size() - 1)];
}

void Reader::commitFont()
{
    flushFontName();
    forgetFormats(); // formats made so far named the fonts as they were
    if (m_fontNumber >= 0 && !m_fontNameText.trimmed().isEmpty()) {
        FontEntry entry;
        entry.name = m_fontNameText.trimmed();
        entry.codePage = fontNameCodePage();
        if (m_fontCharset == kSymbolCharset)
            entry.codePage = entry.name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0
                                 ? kSymbolFontPage
                                 : kPrivateUsePage;
        m_fonts[m_fontNumber] = entry;
    }
    m_fontNumber = -1;
    m_fontCharset = 0;
    m_fontCodePage = 0;
    m_fontNameText.clear();
}

void Reader::commitColor()
{
    forgetFormats();
    const bool automatic = m_red < 0 && m_green < 0 && m_blue < 0;
    m_colors.push_back(automatic ? QColor()
                                 : QColor(qMax(m_red, 0), qMax(m_green, 0), qMax(m_blue, 0)));
    m_red = m_green = m_blue = -1;
}

// Tables may hold a million entries; clearing an empty map would still sweep its buckets.
void Reader::forgetFormats()
{
    if (!m_formats.empty())
        m_formats.clear();
}

int Reader::codePageOfFont(int font) const
{
    const auto it = m_fonts.find(font);
    if (it != m_fonts.end() && it->second.codePage != 0)
        return it->second.codePage;
    return m_codePage;
}

const Detail::ByteDecoder& Reader::decoder(int codePage)
{
    for (const auto& existing : m_decoders) {
        if (existing->codePage() == codePage)
            return *existing;
    }
    m_decoders.push_back(std::make_unique<Detail::ByteDecoder>(codePage));
    return *m_decoders.back();
}

void Reader::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    QString decoded;
    if (m_bytesCodePage == kSymbolFontPage || m_bytesCodePage == kPrivateUsePage) {
        decoded.reserve(m_bytes.size());
        for (const char byte : std::as_const(m_bytes))
            decoded +=
                QChar(m_bytesCodePage == kSymbolFontPage ? Detail::symbolFontChar(uchar(byte))
                                                         : char16_t(0xF000 + uchar(byte)));
    } else {
        decoder(m_bytesCodePage).decode(m_bytes, decoded);
    }
    m_bytes.clear();
    appendText(decoded);
}

void Reader::appendChar(char32_t c)
{
    if (c > 0xFFFF)
        return;
    // Word writes symbol font characters as \uN at U+F000 plus the byte.
    if (c >= 0xF020 && c <= 0xF0FF && codePageOfFont(top().chars.font) == kSymbolFontPage)
        c = Detail::symbolFontChar(uchar(c - 0xF000));
    const QChar ch{char16_t(c)};
    appendText(QStringView(&ch, 1));
}

void Reader::openPendingBlock()
{
    if (!m_needBlock)
        return;
    flushText();
    startBlock();
    m_needBlock = false;
}

void Reader::appendText(QStringView text)
{
    const CharState& chars = top().chars;
    if (top().dest != Dest::Text || chars.hidden || text.isEmpty())
        return;
    openPendingBlock();
    if (!(chars == m_textChars)) {
        flushText();
        m_textChars = chars;
    }
    for (const QChar c : text) {
        // Characters that QTextDocument treats as structure must not enter as text.
        switch (c.unicode()) {
        case '\r':
        case '\n':
        case 0xFDD0: // QTextBeginningOfFrame
        case 0xFDD1: // QTextEndOfFrame
        case QChar::ObjectReplacementCharacter:
            break;
        case QChar::ParagraphSeparator:
        case 0x0B: // the rich-edit control's soft line break
            m_text += QChar::LineSeparator;
            break;
        default:
            m_text += c;
        }
    }
}

void Reader::flushText()
{
    if (m_text.isEmpty())
        return;
    m_cursor.insertText(m_text, charFormat(m_textChars));
    m_text.clear();
    m_blockEmpty = false;
}

void Reader::endParagraph()
{
    flushText();
    if (m_needBlock)
        startBlock();
    applyParagraph(top().chars);
    m_needBlock = true;
}

// The new block takes the mark of the one before, which its own mark most often repeats.
void Reader::startBlock()
{
    m_cursor.insertBlock(m_blockFormat, charFormat(m_blockChars));
    m_blockEmpty = true;
    ++m_blockNumber;
}

// mark: the character format at the paragraph mark. It is the paragraph's own format, as word
// processors keep it: an empty line's height and a list item's marker, never its first
// character's.
void Reader::applyParagraph(const CharState& mark)
{
    const ParagraphFormat& para = top().para;
    if (!m_blockKnown || !(para == m_blockPara)) {
        m_blockPara = para;
        m_blockFormat = blockFormat(para);
        m_cursor.setBlockFormat(m_blockFormat);
    }
    if (!m_blockKnown || !(mark == m_blockChars)) {
        m_blockChars = mark;
        m_cursor.setBlockCharFormat(charFormat(m_blockChars));
    }
    m_blockKnown = true;

    if (const int style = listStyle(para); style != 0)
        addListItem(style, para.level);
}

// Neighbouring items of one level and style share a list; an item of a deeper level opens a
// list inside, and a shallower one ends the deeper lists.
void Reader::addListItem(int style, int level)
{
    if (m_listBlock != m_blockNumber - 1)
        m_levelLists.clear();
    m_levelLists.resize(size_t(level) + 1);
    QTextList*& list = m_levelLists.back();
    const int maxItems = style == QTextListFormat::ListDisc ? kMaxBulletItems : kMaxNumberedItems;
    if (list && list->format().style() == style && list->count() < maxItems) {
        list->add(m_cursor.block());
    } else {
        QTextListFormat listFormat;
        listFormat.setStyle(QTextListFormat::Style(style));
        listFormat.setIndent(level + 1);
        list = m_cursor.createList(listFormat);
    }
    m_listBlock = m_blockNumber;
}

QTextBlockFormat Reader::blockFormat(const ParagraphFormat& para)
{
    static constexpr Qt::Alignment kAlignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                                    Qt::AlignJustify};
    QTextBlockFormat format;
    if (para.align != 0)
        format.setAlignment(kAlignments[para.align & 3]);
    if (para.leftIndent != 0)
        format.setLeftMargin(twipsToPoints(para.leftIndent));
    if (para.rightIndent != 0)
        format.setRightMargin(twipsToPoints(para.rightIndent));
    if (para.firstIndent != 0)
        format.setTextIndent(twipsToPoints(para.firstIndent));
    if (para.spaceBefore != 0)
        format.setTopMargin(twipsToPoints(para.spaceBefore));
    if (para.spaceAfter != 0)
        format.setBottomMargin(twipsToPoints(para.spaceAfter));
    // With \slmult1 the sign carries no meaning: the rich-edit control writes single spacing
    // as \sl-240\slmult1, and word processors read it as a multiple all the same.
    const int multiple = qAbs(para.lineSpacing);
    if (para.lineMultiple) {
        if (multiple != 0 && multiple != kSingleSpacing)
            format.setLineHeight(qreal(multiple) * 100 / kSingleSpacing,
                                 QTextBlockFormat::ProportionalHeight);
    } else if (para.lineSpacing < 0) {
        format.setLineHeight(twipsToPoints(-para.lineSpacing), QTextBlockFormat::FixedHeight);
    } else if (para.lineSpacing > 0) {
        format.setLineHeight(twipsToPoints(para.lineSpacing), QTextBlockFormat::MinimumHeight);
    }
    return format;
}

QTextCharFormat Reader::charFormat(const CharState& chars)
{
    if (const auto cached = m_formats.find(chars); cached != m_formats.end())
        return cached->second;
    QTextCharFormat format;
    const auto font = m_fonts.find(chars.font);
    if (font != m_fonts.end())
        format.setFontFamilies(QStringList{font->second.name});
    if (chars.halfPoints > 0)
        format.setFontPointSize(chars.halfPoints / 2.0);
    if (chars.bold)
        format.setFontWeight(QFont::Bold);
    if (chars.italic)
        format.setFontItalic(true);
    if (chars.underline)
        format.setFontUnderline(true);
    if (chars.strike)
        format.setFontStrikeOut(true);
    if (chars.vertical != 0)
        format.setVerticalAlignment(chars.vertical == 1 ? QTextCharFormat::AlignSuperScript
                                                        : QTextCharFormat::AlignSubScript);
    const auto colorAt = [this](int index) {
        return index > 0 && size_t(index) < m_colors.size() ? m_colors[size_t(index)] : QColor();
    };
    if (const QColor color = colorAt(chars.color); color.isValid())
        format.setForeground(color);
    if (const QColor color = colorAt(chars.highlight); color.isValid())
        format.setBackground(color);
    if (chars.link >= 0 && chars.link < m_links.size()) {
        format.setAnchor(true);
        format.setAnchorHref(m_links.at(chars.link));
    }
    if (m_formats.size() >= kMaxCachedFormats)
        m_formats.clear();
    m_formats.emplace(chars, format);
    return format;
}

// The target of a HYPERLINK field instruction: its first argument, quoted or not.
QString Reader::hyperlinkTarget()
{
    QString instruction;
    decoder(m_codePage).decode(m_fieldInstruction, instruction);
    instruction = instruction.trimmed();
    static const QLatin1String kHyperlink("HYPERLINK");
    if (!instruction.startsWith(kHyperlink, Qt::CaseInsensitive))
        return {};
    const QString rest = instruction.mid(kHyperlink.size()).trimmed();
    if (rest.startsWith(QLatin1Char('"'))) {
        const qsizetype end = rest.indexOf(QLatin1Char('"'), 1);
        return rest.mid(1, end < 0 ? -1 : end - 1);
    }
    return rest.section(QLatin1Char(' '), 0, 0);
}

QString normalisedLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\v'), QChar::LineSeparator); // as in RTF, a soft line break
    return text;
}

QString plainTextOf(const QByteArray& bytes)
{
    return normalisedLineBreaks(decodeUtf8OrWindows1252(bytes));
}

// Where "{\rtf" starts after a UTF-8 byte order mark, NULs and white space that some
// programs put before it, or -1 when the input is no RTF.
qsizetype rtfStart(QByteArrayView bytes)
{
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size() && (bytes[start] == '\0' || QChar::isSpace(uchar(bytes[start]))))
        ++start;
    return bytes.sliced(start).startsWith("{\\rtf") ? start : -1;
}

// The text up to the end of its paragraph number maxParagraphs (all of it when it has fewer).
QString firstParagraphs(const QString& text, qsizetype maxParagraphs)
{
    qsizetype position = -1;
    for (qsizetype paragraph = 0; paragraph < maxParagraphs; ++paragraph) {
        position = text.indexOf(QLatin1Char('\n'), position + 1);
        if (position < 0)
            return text;
    }
    return text.left(position + 1);
}

void read(const QByteArray& rtf, QTextDocument* into, RawBytes raw, const QString& plainText,
          qsizetype maxBlocks = std::numeric_limits<qsizetype>::max())
{
    const bool undo = into->isUndoRedoEnabled();
    into->setUndoRedoEnabled(false); // a new content starts a new undo history
    into->clear();
    if (const qsizetype start = rtfStart(rtf); start >= 0) {
        QTextCursor batch(into);
        batch.beginEditBlock(); // one layout pass for the whole content
        Reader reader(QByteArrayView(rtf).sliced(start), into, raw, maxBlocks);
        reader.run();
        batch.endEditBlock();
        Detail::setRefusedPictures(into, reader.refusedPictures());
    } else {
        into->setPlainText(firstParagraphs(plainText, maxBlocks));
        Detail::setRefusedPictures(into, 0);
    }
    into->setUndoRedoEnabled(undo);
}

} // namespace

bool isRtf(QByteArrayView bytes)
{
    return rtfStart(bytes) >= 0;
}

void readRtf(const QByteArray& rtf, QTextDocument* into)
{
    if (into)
        read(rtf, into, RawBytes::CodePage, plainTextOf(rtf));
}

void readRtf(const QByteArray& rtf, QTextDocument* into, qsizetype maxParagraphs)
{
    if (into)
        read(rtf, into, RawBytes::CodePage, plainTextOf(rtf), maxParagraphs);
}

void readRtf(const QString& rtf, QTextDocument* into)
{
    if (into)
        read(rtf.toUtf8(), into, RawBytes::Utf8, normalisedLineBreaks(rtf));
}

void readRtf(const QString& rtf, QTextDocument* into, qsizetype maxParagraphs)
{
    if (into)
        read(rtf.toUtf8(), into, RawBytes::Utf8, normalisedLineBreaks(rtf), maxParagraphs);
}

} // namespace RichText
