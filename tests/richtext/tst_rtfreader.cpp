#include "TestPictures.h"
#include "richtext/Pictures.h"
#include "richtext/RichText.h"
#include "richtext/RtfReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

using namespace RichText;
using TestPictures::encoded;
using TestPictures::pngStating;

namespace {

QByteArray note(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}"
           "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset204 Arial CYR;}}\r\n"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
           "\\viewkind4\\uc1\\pard\\f0\\fs20 " +
           body + "\\par\r\n}\r\n";
}

QTextCharFormat formatAt(const QTextDocument& document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QByteArray pict(const QByteArray& words, const QByteArray& data)
{
    return "{\\pict" + words + " " + data.toHex() + "}";
}

// The pictures of the document's text in order, each as the document shows it.
QList<QImage> picturesIn(const QTextDocument& document)
{
    QList<QImage> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (qsizetype i = 0; format.isImageFormat() && i < it.fragment().length(); ++i)
                pictures << pictureOf(&document, format.toImageFormat());
        }
    }
    return pictures;
}

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    void charsets_data();
    void charsets();
    void escapes_data();
    void escapes();
    void destinations_data();
    void destinations();
    void paragraphs_data();
    void paragraphs();
    void lineSpacing_data();
    void lineSpacing();
    void fontNames_data();
    void fontNames();
    void lists_data();
    void lists();
    void wordLists_data();
    void wordLists();
    void nestedListGoesOn();
    void longList();
    void characters();
    void emptyLines();
    void paragraphMarkFormat_data();
    void paragraphMarkFormat();
    void robustness_data();
    void robustness();
    void deepNesting();
    void megabytesOfText();
    void plainInput_data();
    void plainInput();
    void samples_data();
    void samples();
    void charactersInRtfText_data();
    void charactersInRtfText();
    void pictureKinds_data();
    void pictureKinds();
    void pictureSizes_data();
    void pictureSizes();
    void pictureLimits_data();
    void pictureLimits();
    void picturesOfANoteWithinItsLimit();

private:
    void addTextRows();
};

// Each row: RTF body inside a rich-edit style note, and the plain text it must give.
void TestRtfReader::addTextRows()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
}

void TestRtfReader::charsets_data()
{
    addTextRows();
    QTest::newRow("1252 default") << note("caf\\'e9 \\'80 \\'85") << QStringLiteral("café € …");
    QTest::newRow("font charset 204") << note("\\f2\\'cf\\'f0\\'e8") << QStringLiteral("При");
    QTest::newRow("charset ends with font") << note("\\f2\\'cf\\f0\\'cf") << QStringLiteral("ПÏ");
    QTest::newRow("ansicpg 1250") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'a3\\'f3d\\'9f}")
                                  << QStringLiteral("Łódź");
    QTest::newRow("cpg in font table")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\cpg1253 G;}}\\f0\\'c3\\'e5}")
        << QStringLiteral("Γε");
    QTest::newRow("shift-jis trail byte is a brace")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0\\'93\\'fa\\'96\\'7b}")
        << QStringLiteral("日本");
    QTest::newRow("double-byte with raw trail byte")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 G;}}\\f0\\'83A}")
        << QStringLiteral("ア");
    QTest::newRow("unknown code page reads as 1252")
        << QByteArray("{\\rtf1\\ansicpg99999 \\'e9}") << QStringLiteral("é");
    QTest::newRow("symbol font shows greek and signs")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0 abp\\'b3}")
        << QStringLiteral("αβπ≥");
    QTest::newRow("symbol font character as unicode")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0\\u-3999?}")
        << QStringLiteral("α");
    QTest::newRow("other symbol fonts keep their bytes")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset2 Wingdings;}}\\f0 J\\'e8}")
        << QStringLiteral("\uf04a\uf0e8");
    QTest::newRow("font name in its own charset")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset204 \\'c0\\'f0;}}\\f0 x}")
        << QStringLiteral("x");
}

void TestRtfReader::charsets()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(toPlainText(rtf), text);
}

void TestRtfReader::escapes_data()
{
    addTextRows();
    QTest::newRow("braces and backslash") << note("\\{a\\}\\\\") << QStringLiteral("{a}\\");
    QTest::newRow("nbsp, soft and hard hyphen")
        << note("a\\~b\\-c\\_d") << QStringLiteral("a\u00a0b\u00adc\u2011d");
    QTest::newRow("named punctuation")
        << note("\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote")
        << QStringLiteral("—–•‘’“”");
    QTest::newRow("delimiting space belongs to the word")
        << note("\\b  x\\b0") << QStringLiteral(" x");
    QTest::newRow("u with fallback") << note("\\u8364?x") << QStringLiteral("€x");
    QTest::newRow("negative u") << note("\\u-4064?") << QStringLiteral("\uf020");
    QTest::newRow("uc2 skips two") << note("\\uc2\\u1055\\'cf\\'cfx") << QStringLiteral("Пx");
    QTest::newRow("uc0 skips none") << note("\\uc0\\u1055 x") << QStringLiteral("Пx");
    QTest::newRow("uc is scoped to its group")
        << note("{\\uc0\\u1055}\\u1056?x") << QStringLiteral("ПРx");
    QTest::newRow("fallback cut short by a group")
        << note("\\uc3\\u1055?{x}") << QStringLiteral("Пx");
    QTest::newRow("surrogate pair") << note("\\u-10179?\\u-8694?") << QStringLiteral("\U0001F60A");
    QTest::newRow("tab and line") << note("a\\tab b\\line c") << QStringLiteral("a\tb\r\nc");
    QTest::newRow("backslash newline is a paragraph")
        << note("a\\\r\nb") << QStringLiteral("a\r\nb");
    QTest::newRow("line breaks in the source are not text")
        << note("a\r\nb\nc") << QStringLiteral("abc");
}

void TestRtfReader::escapes()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(toPlainText(rtf), text);
}

void TestRtfReader::destinations_data()
{
    addTextRows();
    QTest::newRow("ignorable unknown") << note("a{\\*\\unknown b{c}}d") << QStringLiteral("ad");
    QTest::newRow("known skipped")
        << note("a{\\info{\\title T}}{\\stylesheet{x;}}b") << QStringLiteral("ab");
    QTest::newRow("picture with nested groups")
        << note("a{\\pict\\pngblip{\\*\\blipuid 1}89504e47}b") << QStringLiteral("ab");
    QTest::newRow("object with result")
        << note("a{\\object{\\*\\objdata 01}{\\result x}}b") << QStringLiteral("ab");
    QTest::newRow("binary data with braces")
        << note("a{\\*\\blob\\bin3 }{\\}b") << QStringLiteral("ab");
    QTest::newRow("hyperlink keeps visible text")
        << note("{\\field{\\*\\fldinst{HYPERLINK \"http://x.org\"}}{\\fldrslt{\\ul link}}} after")
        << QStringLiteral("link after");
    QTest::newRow("other field keeps result")
        << note("{\\field{\\*\\fldinst PAGE }{\\fldrslt 3}}") << QStringLiteral("3");
    QTest::newRow("hidden text") << note("a{\\v secret}b\\v c\\v0 d") << QStringLiteral("abd");
    QTest::newRow("unknown words ignored")
        << note("\\foo\\bar12 a\\lang1031\\viewkind4 b") << QStringLiteral("ab");
}

void TestRtfReader::destinations()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(toPlainText(rtf), text);
}

void TestRtfReader::paragraphs_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<qreal>("left");
    QTest::addColumn<qreal>("first");
    QTest::addColumn<qreal>("right");

    QTest::newRow("centre") << note("\\qc x") << 0 << int(Qt::AlignHCenter) << 0.0 << 0.0 << 0.0;
    QTest::newRow("right") << note("\\qr x") << 0 << int(Qt::AlignRight) << 0.0 << 0.0 << 0.0;
    QTest::newRow("justify") << note("\\qj x") << 0 << int(Qt::AlignJustify) << 0.0 << 0.0 << 0.0;
    QTest::newRow("indents in twips")
        << note("\\li400\\fi-200\\ri300 x") << 0 << int(Qt::AlignLeft) << 20.0 << -10.0 << 15.0;
    QTest::newRow("negative indent kept")
        << note("\\li-200 x") << 0 << int(Qt::AlignLeft) << -10.0 << 0.0 << 0.0;
    QTest::newRow("format persists over par")
        << note("\\qc a\\par b") << 1 << int(Qt::AlignHCenter) << 0.0 << 0.0 << 0.0;
    QTest::newRow("pard resets") << note("\\qc\\li200 a\\par\\pard b") << 1 << int(Qt::AlignLeft)
                                 << 0.0 << 0.0 << 0.0;
    QTest::newRow("last paragraph without par")
        << QByteArray("{\\rtf1 a\\par\\qr b}") << 1 << int(Qt::AlignRight) << 0.0 << 0.0 << 0.0;
    QTest::newRow("out of range clamped")
        << note("\\li999999999 x") << 0 << int(Qt::AlignLeft) << 1584.0 << 0.0 << 0.0;
}

void TestRtfReader::paragraphs()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, block);
    QFETCH(int, alignment);
    QFETCH(qreal, left);
    QFETCH(qreal, first);
    QFETCH(qreal, right);

    QTextDocument document;
    readRtf(rtf, &document);
    const QTextBlockFormat format = document.findBlockByNumber(block).blockFormat();
    QCOMPARE(int(format.alignment() & Qt::AlignHorizontal_Mask), alignment);
    QCOMPARE(format.leftMargin(), left);
    QCOMPARE(format.textIndent(), first);
    QCOMPARE(format.rightMargin(), right);
}

void TestRtfReader::lineSpacing_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("type");
    QTest::addColumn<qreal>("height");

    QTest::newRow("rich-edit single spacing")
        << note("\\sl-240\\slmult1 x") << int(QTextBlockFormat::SingleHeight) << 0.0;
    QTest::newRow("multiple of a line")
        << note("\\sl360\\slmult1 x") << int(QTextBlockFormat::ProportionalHeight) << 150.0;
    QTest::newRow("negative multiple")
        << note("\\sl-480\\slmult1 x") << int(QTextBlockFormat::ProportionalHeight) << 200.0;
    QTest::newRow("at least") << note("\\sl360\\slmult0 x") << int(QTextBlockFormat::MinimumHeight)
                              << 18.0;
    QTest::newRow("exactly") << note("\\sl-360 x") << int(QTextBlockFormat::FixedHeight) << 18.0;
}

void TestRtfReader::lineSpacing()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, type);
    QFETCH(qreal, height);

    QTextDocument document;
    readRtf(rtf, &document);
    const QTextBlockFormat format = document.begin().blockFormat();
    QCOMPARE(format.lineHeightType(), type);
    QCOMPARE(format.lineHeight(), height);
}

void TestRtfReader::fontNames_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QString>("family");
    QTest::newRow("bytes in the charset's code page")
        << QByteArray("{\\f0\\fcharset134 \\'ce\\'a2\\'c8\\'ed\\'d1\\'c5\\'ba\\'da;}")
        << QStringLiteral("微软雅黑");
    QTest::newRow("unicode escapes")
        << QByteArray("{\\f0\\fnil\\fcharset0 \\u24494?\\u36719?\\u38597\\'3f\\u40657\\'3f;}")
        << QStringLiteral("微软雅黑");
    QTest::newRow("symbol font") << QByteArray("{\\f0\\fcharset2 Symbol;}")
                                 << QStringLiteral("Symbol");
    QTest::newRow("escaped semicolon") << QByteArray("{\\f0 A\\'3bB;}") << QStringLiteral("A;B");
}

void TestRtfReader::fontNames()
{
    QFETCH(QByteArray, table);
    QFETCH(QString, family);
    QTextDocument document;
    readRtf("{\\rtf1{\\fonttbl" + table + "}\\f0 x}", &document);
    QCOMPARE(formatAt(document, 0).fontFamilies().toStringList(), QStringList{family});
}

void TestRtfReader::lists_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("styles"); // per paragraph: '-' none, 'b' bullet, 'n' numbered

    const QByteArray bullet = "{\\pntext\\f1\\'B7\\tab}";
    const QByteArray pn = "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}";
    QTest::newRow("rich-edit bullets")
        << note("a\\par\\pard" + bullet + pn + "\\fi-200\\li200 b\\par" + bullet + "c\\par\\pard d")
        << QStringLiteral("a\r\nb\r\nc\r\nd") << QStringLiteral("-bb-");
    QTest::newRow("numbered")
        << note("\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec"
                "{\\pntxta.}}x\\par{\\pntext\\f0 2.\\tab}y")
        << QStringLiteral("x\r\ny") << QStringLiteral("nn");
    QTest::newRow("word listtext")
        << note("{\\listtext\\pard\\plain\\f1 \\'b7\\tab}\\pard\\ls1\\ilvl0 x\\par\\pard y")
        << QStringLiteral("x\r\ny") << QStringLiteral("b-");
    QTest::newRow("pn continuation is no item")
        << note("{\\*\\pn\\pnlvlcont}x") << QStringLiteral("x") << QStringLiteral("-");
}

void TestRtfReader::lists()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QString, styles);

    QTextDocument document;
    readRtf(rtf, &document);
    QCOMPARE(toPlainText(rtf), text);
    QString actual;
    QTextList* previous = nullptr;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextList* list = block.textList();
        actual += !list                                                 ? QLatin1Char('-')
                  : list->format().style() == QTextListFormat::ListDisc ? QLatin1Char('b')
                                                                        : QLatin1Char('n');
        if (list && previous)
            QCOMPARE(list, previous); // neighbouring items share one list
        previous = list;
    }
    QCOMPARE(actual, styles);
}

// Word's list tables: list 7 has a decimal, a bullet and a letter level, list 8 a roman one.
void TestRtfReader::wordLists_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("items"); // per paragraph: style letter and level, or "-"

    QTest::newRow("decimal") << QByteArray("\\ls1 a\\par b\\par\\pard c")
                             << QStringLiteral("d0 d0 -");
    QTest::newRow("roman") << QByteArray("\\ls2 a") << QStringLiteral("R0");
    QTest::newRow("nested levels")
        << QByteArray("\\ls1 a\\par\\ilvl1 b\\par\\ilvl2 c\\par\\ilvl0 d")
        << QStringLiteral("d0 b1 l2 d0");
    QTest::newRow("level beyond the list's own")
        << QByteArray("\\ls2\\ilvl3 a") << QStringLiteral("R3");
    QTest::newRow("list missing from the table") << QByteArray("\\ls9 a") << QStringLiteral("b0");
}

void TestRtfReader::wordLists()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, items);
    const QByteArray tables =
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelnfcn0{\\leveltext"
        "\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}{\\listlevel\\levelnfc23{\\leveltext"
        "\\'01\\u-3913 ?;}}{\\listlevel\\levelnfc4}{\\listname ;}\\listid7}{\\list{\\listlevel"
        "\\levelnfc1}\\listid8}}{\\*\\listoverridetable{\\listoverride\\listid7"
        "\\listoverridecount0\\ls1}{\\listoverride\\listid8\\ls2}}";
    QTextDocument document;
    readRtf("{\\rtf1 " + tables + "\\pard " + body + "}", &document);

    static const QHash<int, QChar> kLetters = {
        {QTextListFormat::ListDecimal, QLatin1Char('d')},
        {QTextListFormat::ListDisc, QLatin1Char('b')},
        {QTextListFormat::ListLowerAlpha, QLatin1Char('l')},
        {QTextListFormat::ListUpperRoman, QLatin1Char('R')},
    };
    QStringList actual;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList* list = block.textList();
        actual << (list ? kLetters.value(list->format().style(), QLatin1Char('?')) +
                              QString::number(list->format().indent() - 1)
                        : QStringLiteral("-"));
    }
    QCOMPARE(actual.join(QLatin1Char(' ')), items);
}

// An outer list goes on after the items nested in it, and numbers on.
void TestRtfReader::nestedListGoesOn()
{
    QTextDocument document;
    readRtf(note("{\\*\\pn\\pnlvlbody\\pndec}a\\par\\ilvl1 b\\par\\ilvl0 c"), &document);
    const QTextList* outer = document.begin().textList();
    QVERIFY(outer);
    QCOMPARE(document.findBlockByNumber(2).textList(), outer);
    QCOMPARE(outer->itemText(document.findBlockByNumber(2)), QStringLiteral("2."));
    QVERIFY(document.findBlockByNumber(1).textList() != outer);
}

void TestRtfReader::longList()
{
    const int items = 3000;
    QByteArray rtf = "{\\rtf1{\\*\\pn\\pnlvlblt}";
    for (int i = 1; i < items; ++i)
        rtf += "x\\par ";
    QTextDocument document;
    readRtf(rtf + "x}", &document);
    QCOMPARE(document.blockCount(), items);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        QVERIFY(block.textList() &&
                block.textList()->format().style() == QTextListFormat::ListDisc);
}

void TestRtfReader::characters()
{
    QTextDocument document;
    readRtf(note("\\b B\\b0\\i I\\i0\\ul U\\ulnone\\strike S\\strike0\\super P\\nosupersub"
                 "\\sub Q\\nosupersub\\cf1 R\\cf0\\highlight2 H\\highlight0\\fs32 Z\\fs20"
                 "\\f2 F{\\plain X}\\up6 T\\up0\\cf9 C"),
            &document);
    QCOMPARE(document.toPlainText(), QStringLiteral("BIUSPQRHZFXTC"));

    QCOMPARE(formatAt(document, 0).fontWeight(), int(QFont::Bold));
    QCOMPARE(formatAt(document, 1).fontWeight(), int(QFont::Normal));
    QVERIFY(formatAt(document, 1).fontItalic());
    QVERIFY(formatAt(document, 2).fontUnderline());
    QVERIFY(formatAt(document, 3).fontStrikeOut());
    QVERIFY(!formatAt(document, 4).fontStrikeOut());
    QCOMPARE(formatAt(document, 4).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    QCOMPARE(formatAt(document, 5).verticalAlignment(), QTextCharFormat::AlignSubScript);
    QCOMPARE(formatAt(document, 6).foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatAt(document, 7).background().color(), QColor(0, 0, 255));
    QCOMPARE(formatAt(document, 7).foreground().style(), Qt::NoBrush);
    QCOMPARE(formatAt(document, 8).fontPointSize(), 16.0);
    QCOMPARE(formatAt(document, 8).fontFamilies().toStringList(),
             QStringList{QStringLiteral("Comic Sans MS")});
    QCOMPARE(formatAt(document, 9).fontFamilies().toStringList(),
             QStringList{QStringLiteral("Arial CYR")});
    // \plain falls back to the default font and to 12 pt.
    QCOMPARE(formatAt(document, 10).fontFamilies().toStringList(),
             QStringList{QStringLiteral("Comic Sans MS")});
    QCOMPARE(formatAt(document, 10).fontPointSize(), 12.0);
    QCOMPARE(formatAt(document, 11).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    QCOMPARE(formatAt(document, 12).foreground().style(), Qt::NoBrush); // no colour 9
}

// An empty line is as high as the font of its paragraph mark.
void TestRtfReader::emptyLines()
{
    QTextDocument document;
    readRtf(note("\\fs40\\par\\fs20\\par\\par x"), &document);
    QCOMPARE(document.blockCount(), 4);
    const qreal expected[] = {20.0, 10.0, 10.0};
    for (int block = 0; block < 3; ++block)
        QCOMPARE(document.findBlockByNumber(block).charFormat().fontPointSize(), expected[block]);
}

// A paragraph's own format (a list marker's look) is its mark's, whatever its first character
// has; a last paragraph without a mark ends in its last character's.
void TestRtfReader::paragraphMarkFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("expected");
    const QByteArray bullet = "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}";
    QTest::newRow("bold first word, plain mark")
        << note("Shopping:\\par " + bullet + "\\b Cheese\\b0  (\\cf1 important\\cf0 )") << 1
        << "b0 none";
    QTest::newRow("plain text, bold red mark")
        << note("Shopping:\\par " + bullet + "Cheese (important)\\cf1\\b ") << 1 << "b1 #ff0000";
    QTest::newRow("plain paragraph") << note("a\\par\\b a\\b0 b\\par c") << 1 << "b0 none";
    QTest::newRow("last paragraph without a mark")
        << QByteArray("{\\rtf1 a\\par b\\b c}") << 1 << "b1 none";
}

void TestRtfReader::paragraphMarkFormat()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, block);
    QFETCH(QString, expected);
    QTextDocument document;
    readRtf(rtf, &document);
    const QTextCharFormat mark = document.findBlockByNumber(block).charFormat();
    const QString colour = mark.foreground().style() == Qt::NoBrush
                               ? QStringLiteral("none")
                               : mark.foreground().color().name();
    QCOMPARE(QStringLiteral("b%1 %2").arg(mark.fontWeight() >= QFont::Bold).arg(colour), expected);
}

void TestRtfReader::robustness_data()
{
    addTextRows();
    QTest::newRow("truncated") << QByteArray("{\\rtf1 abc{\\b de") << QStringLiteral("abcde");
    QTest::newRow("truncated in escape") << QByteArray("{\\rtf1 ab\\'4") << QStringLiteral("ab");
    QTest::newRow("truncated after backslash")
        << QByteArray("{\\rtf1 ab\\") << QStringLiteral("ab");
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}b") << QStringLiteral("a");
    QTest::newRow("broken hex") << QByteArray("{\\rtf1 a\\'zzb}") << QStringLiteral("azzb");
    QTest::newRow("huge numbers") << QByteArray(
                                         "{\\rtf1 \\fs999999999\\cf99999999999\\f-2147483649 a"
                                         "\\u99999999999?b\\li-99999999999 c\\uc999999999\\u66 " +
                                         QByteArray(40, 'x') + "}")
                                  << QStringLiteral("a\uFFFDbcB") + QString(8, QLatin1Char('x'));
    QTest::newRow("font size zero ignored")
        << QByteArray("{\\rtf1 \\fs0 a}") << QStringLiteral("a");
    QTest::newRow("over-long control word")
        << QByteArray("{\\rtf1 \\" + QByteArray(100, 'a') + " b}") << QStringLiteral("b");
    QTest::newRow("bin beyond the end")
        << QByteArray("{\\rtf1 a\\bin999999 bc}") << QStringLiteral("a");
    QTest::newRow("structure characters in unicode")
        << QByteArray("{\\rtf1 a\\u8233?\\u65532?\\u64976?\\'0d\\'0ab}")
        << QStringLiteral("a\r\nb");
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 12) << QStringLiteral("ab");
    QTest::newRow("long field instruction")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"" + QByteArray(200000, 'x') +
                      "\"}{\\fldrslt link}}}")
        << QStringLiteral("link");
    QTest::newRow("utf-8 byte order mark")
        << QByteArray("\xEF\xBB\xBF{\\rtf1 a}") << QStringLiteral("a");
    QTest::newRow("nuls and white space before")
        << QByteArray("\0\0 \r\n\t{\\rtf1 a}", 15) << QStringLiteral("a");
    QTest::newRow("raw vertical tab is a line break") << QByteArray("{\\rtf1 a\x0b"
                                                                    "b}")
                                                      << QStringLiteral("a\r\nb");
}

void TestRtfReader::robustness()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(toPlainText(rtf), text);
}

void TestRtfReader::deepNesting()
{
    const int depth = 100000;
    QByteArray rtf = "{\\rtf1 start";
    rtf += QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + " end}";
    QCOMPARE(toPlainText(rtf), QStringLiteral("startdeep end"));

    QByteArray unclosed = "{\\rtf1 " + QByteArray(qsizetype(depth) * 3, '{') + "x";
    QCOMPARE(toPlainText(unclosed), QStringLiteral("x"));
}

void TestRtfReader::megabytesOfText()
{
    QByteArray body;
    const QByteArray line = "A line of note text with \\b bold\\b0  and caf\\'e9.\\par\r\n";
    while (body.size() < qsizetype(4) * 1024 * 1024)
        body += line;
    QElapsedTimer timer;
    timer.start();
    const QString text = toPlainText(note(body));
    QVERIFY(text.startsWith(QStringLiteral("A line of note text with bold and café.\r\n")));
    QCOMPARE(text.count(QLatin1Char('\n')), int(body.size() / line.size()));
}

void TestRtfReader::plainInput_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9\r\nnext") << QStringLiteral("café\r\nnext");
    QTest::newRow("windows-1252") << QByteArray("caf\xe9 \x80") << QStringLiteral("café €");
    QTest::newRow("rtf-like but not rtf") << QByteArray("{\\rtx a}") << QStringLiteral("{\\rtx a}");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestRtfReader::plainInput()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, text);
    QCOMPARE(toPlainText(input), text);
}

// Every sample note has a .txt beside it with the text the reader must find.
void TestRtfReader::samples_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(JOTTEX_TEST_DATA "/rtf"));
    const QStringList files = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString& file : files)
        QTest::newRow(qPrintable(file)) << dir.filePath(file);
}

void TestRtfReader::samples()
{
    QFETCH(QString, path);
    QFile rtfFile(path);
    QVERIFY(rtfFile.open(QIODevice::ReadOnly));
    QString txtPath = path;
    txtPath.replace(QLatin1String(".rtf"), QLatin1String(".txt"));
    QFile txtFile(txtPath);
    QVERIFY2(txtFile.open(QIODevice::ReadOnly), qPrintable(txtPath));
    const QString expected =
        QString::fromUtf8(txtFile.readAll()).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QCOMPARE(toPlainText(rtfFile.readAll()), expected);
}

// RTF held as text, as a note file's DATA: what stands outside an escape is itself.
void TestRtfReader::charactersInRtfText_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("accented") << QString::fromUtf8(note("caf\xC3\xA9")) << QStringLiteral("café");
    QTest::newRow("euro, 0x80 in the code page")
        << QString::fromUtf8(note("\xE2\x82\xAC 5")) << QStringLiteral("€ 5");
    QTest::newRow("beside escapes")
        << QString::fromUtf8(note("\\'e9=\xC3\xA9 \\u8364?")) << QStringLiteral("é=é €");
    QTest::newRow("other code page")
        << QStringLiteral("{\\rtf1\\ansi\\ansicpg1251 \\'cf ") + QStringLiteral("é}")
        << QStringLiteral("П é");
    QTest::newRow("beside a double-byte escape")
        << QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0\\'93\\'fa") +
               QStringLiteral("本}")
        << QStringLiteral("日本");
    QTest::newRow("hidden stays hidden")
        << QStringLiteral("{\\rtf1 a{\\v é}b}") << QStringLiteral("ab");
    QTest::newRow("plain text") << QStringLiteral("café\r\nnext") << QStringLiteral("café\r\nnext");
}

void TestRtfReader::charactersInRtfText()
{
    QFETCH(QString, rtf);
    QFETCH(QString, text);
    QCOMPARE(toPlainText(rtf), text);
}

// Every kind of picture the reader shows, and the ones it leaves out with the text around them.
void TestRtfReader::pictureKinds_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QImage>("picture"); // what each picture shows; null when none is shown
    const QImage picture = TestPictures::picture(4, 3);
    const QByteArray png = encoded(picture, "PNG");
    const QByteArray pngPict = pict("\\pngblip\\picw4\\pich3", png);
    const QString one = QStringLiteral("a\uFFFCb");
    const QString none = QStringLiteral("ab");

    QTest::newRow("PNG") << note("a" + pngPict + "b") << one << picture;
    QByteArray broken = png.toHex().toUpper();
    for (qsizetype at = broken.size() - 7; at > 0; at -= 7)
        broken.insert(at, at % 2 ? "\r\n" : " ");
    QTest::newRow("PNG in upper case, broken into lines")
        << note("a{\\pict\\pngblip " + broken + "}b") << one << picture;
    QTest::newRow("PNG as binary data")
        << note("a{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}b") << one
        << picture;
    QTest::newRow("odd digit at the end")
        << note("a{\\pict\\pngblip " + png.toHex() + "f}b") << one << picture;
    QTest::newRow("properties and identifiers in groups")
        << note("a{\\pict{\\*\\picprop{\\sp{\\sn wzName}{\\sv 1f}}}\\pngblip"
                "{\\*\\blipuid 0123456789abcdef}" +
                png.toHex() + "}b")
        << one << picture;
    QTest::newRow("DIB")
        << note("a" + pict("\\dibitmap0\\picw4\\pich3", encoded(picture, "BMP").mid(14)) + "b")
        << one << picture;
    QImage mono(16, 2, QImage::Format_RGB32);
    for (int x = 0; x < 16; ++x) {
        mono.setPixel(x, 0, x < 4 || (x >= 12) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        mono.setPixel(x, 1, x < 8 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
    QTest::newRow("device bitmap")
        << note("a{\\pict\\wbitmap0\\picw16\\pich2\\wbmbitspixel1\\wbmplanes1"
                "\\wbmwidthbytes2 f00f00ff}b")
        << one << mono;
    QTest::newRow("shape picture with its stand-in")
        << note("a{\\*\\shppict" + pngPict +
                "}{\\nonshppict{\\pict\\wmetafile8\\picw4\\pich3 0100090000037a}}b")
        << one << picture;
    QTest::newRow("metafile") << note("a{\\pict\\wmetafile8\\picw100\\pich100 010009000003}b")
                              << none << QImage();
    QTest::newRow("enhanced metafile")
        << note("a{\\pict\\emfblip\\picw100\\pich100 0100000058}b") << none << QImage();
    QTest::newRow("QuickDraw") << note("a{\\pict\\macpict\\picw10\\pich10 0a0b}b") << none
                               << QImage();
    QTest::newRow("hidden") << note("a{\\v " + pngPict + "}b") << none << QImage();
    QTest::newRow("truncated data")
        << note("a{\\pict\\pngblip " + png.toHex().left(png.size()) + "}b") << none << QImage();
    QTest::newRow("no picture data") << note("a{\\pict\\pngblip zz not hex}b") << none << QImage();
    QTest::newRow("no kind stated") << note("a{\\pict " + png.toHex() + "}b") << none << QImage();
    QTest::newRow("document ends inside") << QByteArray("{\\rtf1 a{\\pict\\pngblip " + png.toHex())
                                          << QStringLiteral("a") << QImage();
}

void TestRtfReader::pictureKinds()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QImage, picture);
    QTextDocument document;
    readRtf(rtf, &document);
    QCOMPARE(plainText(&document), text);
    const QList<QImage> pictures = picturesIn(document);
    QCOMPARE(pictures.size(), picture.isNull() ? 0 : 1);
    if (!picture.isNull())
        QCOMPARE(rgb(pictures.first()), rgb(picture));
    QCOMPARE(refusedPictures(&document), 0);
}

// The size a picture is shown at comes from its goal size in twips and its scaling.
void TestRtfReader::pictureSizes_data()
{
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QSizeF>("shown"); // empty: the picture's own size, kept as no size at all
    QTest::newRow("own size") << QByteArray() << QSizeF();
    QTest::newRow("goal of its own size") << QByteArray("\\picwgoal60\\pichgoal45") << QSizeF();
    QTest::newRow("twice as large") << QByteArray("\\picwgoal120\\pichgoal90") << QSizeF(8, 6);
    QTest::newRow("scaled") << QByteArray("\\picwgoal120\\pichgoal90\\picscalex50\\picscaley200")
                            << QSizeF(4, 12);
    QTest::newRow("absurd goal") << QByteArray("\\picwgoal2147483647\\pichgoal-5")
                                 << QSizeF(16384, 3);
}

void TestRtfReader::pictureSizes()
{
    QFETCH(QByteArray, words);
    QFETCH(QSizeF, shown);
    QTextDocument document;
    readRtf(
        note(pict("\\pngblip\\picw4\\pich3" + words, encoded(TestPictures::picture(4, 3), "PNG"))),
        &document);
    const QTextImageFormat format = formatAt(document, 0).toImageFormat();
    QVERIFY(format.isValid());
    QCOMPARE(format.hasProperty(QTextFormat::ImageWidth), !shown.isEmpty());
    if (!shown.isEmpty())
        QCOMPARE(QSizeF(format.width(), format.height()), shown);
}

// Pictures over the limits are refused from what they state, before any pixel is decoded, and
// counted; the text around them stays.
void TestRtfReader::pictureLimits_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<int>("shown");
    QTest::newRow("within the limit")
        << pict("\\pngblip", encoded(TestPictures::picture(4, 3), "PNG")) << 1;
    QTest::newRow("PNG stating one row too many") << pict("\\pngblip", pngStating(2048, 2049)) << 0;
    QTest::newRow("PNG stating a million by a million")
        << pict("\\pngblip", pngStating(1000000, 1000000)) << 0;
    QTest::newRow("device bitmap stating a huge size")
        << QByteArray("{\\pict\\wbitmap0\\picw200000\\pich200000\\wbmbitspixel32 00}") << 0;
    QTest::newRow("more data than any picture within the limit")
        << "{\\pict\\pngblip " + QByteArray(qsizetype(18) * 2 * 1024 * 1024, '0') + "}" << 0;
}

void TestRtfReader::pictureLimits()
{
    QFETCH(QByteArray, picture);
    QFETCH(int, shown);
    QTextDocument document;
    readRtf(note("a" + picture + "b"), &document);
    QCOMPARE(picturesIn(document).size(), shown);
    QCOMPARE(refusedPictures(&document), 1 - shown);
    QCOMPARE(plainText(&document).remove(QChar::ObjectReplacementCharacter), QStringLiteral("ab"));
    readRtf(note("c"), &document);
    QCOMPARE(refusedPictures(&document), 0);
}

// Four pictures at the limit fill a note; a fifth, however small, is refused; the same picture
// again is kept once.
void TestRtfReader::picturesOfANoteWithinItsLimit()
{
    // A few kilobytes each that decode to 16 MB: the copies beyond the limit are not decoded.
    QImage large(2048, 2048, QImage::Format_RGB32);
    large.fill(qRgb(200, 0, 0));
    const QByteArray copies = pict("\\pngblip", encoded(large, "PNG")).repeated(100);
    QTextDocument document;
    readRtf(note(copies + pict("\\pngblip", encoded(TestPictures::picture(1, 1), "PNG"))),
            &document);
    QCOMPARE(picturesIn(document).size(), 4);
    QCOMPARE(refusedPictures(&document), 97);
    QCOMPARE(picturesBytes(&document), kMaxNotePictureBytes);

    const QByteArray small = pict("\\pngblip", encoded(TestPictures::picture(4, 3), "PNG"));
    readRtf(note(small + small), &document);
    QCOMPARE(picturesIn(document).size(), 2);
    QCOMPARE(picturesBytes(&document), 2 * 4 * 3 * 4);
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
