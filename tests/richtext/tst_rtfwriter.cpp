#include "RtfTestSupport.h"
#include "TestPictures.h"
#include "richtext/Pictures.h"
#include "richtext/RichText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "shell/version.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTest>
#include <QTextEdit>
#include <functional>

using namespace RichText;

namespace {

const QFont kNoteFont(QStringLiteral("Comic Sans MS"), 10);

using Command = std::function<void(QTextCursor&)>;

void merge(QTextCursor& cursor, const std::function<void(QTextCharFormat&)>& change)
{
    QTextCharFormat format;
    change(format);
    cursor.mergeCharFormat(format);
}

void setIndent(QTextCursor& cursor, int twips)
{
    QTextBlockFormat format = cursor.blockFormat();
    format.setLeftMargin(format.leftMargin() + twips / 20.0);
    cursor.setBlockFormat(format);
}

QStringList roundTrip(const QTextDocument& document, QByteArray* rtf = nullptr)
{
    const QByteArray written = writeRtf(&document);
    if (rtf)
        *rtf = written;
    QTextDocument back;
    back.setDefaultFont(document.defaultFont());
    readRtf(written, &back);
    return RtfTest::describe(back);
}

// The group that names the writing program, as every note we write carries it.
QByteArray generator()
{
    return "{\\*\\generator Jottex " + QByteArray::number(Version::Major) + '.' +
           QByteArray::number(Version::Minor) + ".0." + QByteArray::number(Version::Revision) +
           ";}";
}

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

} // namespace

class TestRtfWriter : public QObject {
    Q_OBJECT

private slots:
    void emptyDocument();
    void richEditStyle();
    void textEscapes_data();
    void textEscapes();
    void commandFormats_data();
    void commandFormats();
    void rewrite_data();
    void rewrite();
    void fontNames();
    void nestedLists();
    void nestedBulletsAndMarkerLook();
    void randomRoundTrip();
    void samplesRoundTrip_data();
    void samplesRoundTrip();
    void textArea();
    void fontSubstitutes();
    void unrtfAgrees();
    void picturesRoundTrip();
    void pictureTheDocumentLacksIsLeftOut();
    void picturesKeepTheirEncoding_data();
    void picturesKeepTheirEncoding();
};

void TestRtfWriter::emptyDocument()
{
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    const QByteArray rtf = writeRtf(&document);
    QCOMPARE(rtf, "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil"
                  "\\fcharset0 Comic Sans MS;}}\r\n" +
                      generator() + "\\viewkind4\\uc1\\pard\\f0\\fs20\\par\r\n}\r\n");
    QTextDocument back;
    readRtf(rtf, &back);
    QCOMPARE(back.blockCount(), 1);
    QVERIFY(back.isEmpty());
}

void TestRtfWriter::richEditStyle()
{
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("Plain "));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(Qt::red);
    cursor.insertText(QStringLiteral("bold"), bold);
    cursor.insertBlock();
    cursor.createList(QTextListFormat::ListDisc);
    QTextBlockFormat indented = cursor.blockFormat();
    indented.setLeftMargin(10);
    indented.setTextIndent(-10);
    cursor.setBlockFormat(indented);
    cursor.insertText(QStringLiteral("item"), QTextCharFormat());

    QCOMPARE(writeRtf(&document),
             "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil"
             "\\fcharset0 Comic Sans MS;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
             "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
             "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23\\levelnfcn23"
             "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1{\\leveltext\\'01\\'B7;}"
             "{\\levelnumbers;}\\f1\\fi-360\\li720\\lin720}{\\listname ;}\\listid1}}\r\n"
             "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\r\n" +
                 generator() +
                 "\\viewkind4\\uc1\\pard\\f0\\fs20 Plain \\cf1\\b bold\\par\r\n"
                 "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0"
                 "{\\pntxtb\\'B7}}\\ls1\\fi-200\\li200\\b0\\cf0 item\\cf1\\b\\par\r\n}\r\n");
}

void TestRtfWriter::textEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("rtf specials") << QStringLiteral("{a}\\") << QByteArray("\\{a\\}\\\\");
    QTest::newRow("windows-1252") << QStringLiteral("é€…") << QByteArray("\\'e9\\'80\\'85");
    QTest::newRow("outside 1252") << QStringLiteral("Пx") << QByteArray("\\u1055\\'3fx");
    QTest::newRow("high half is negative")
        << QStringLiteral("\uf020") << QByteArray("\\u-4064\\'3f");
    QTest::newRow("surrogate pair")
        << QStringLiteral("\U0001F60A") << QByteArray("\\u-10179\\'3f\\u-8694\\'3f");
    QTest::newRow("digits after a word") << QStringLiteral("\t42") << QByteArray("\\tab 42");
    QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QByteArray("a\\line b");
    QTest::newRow("vertical tab") << QStringLiteral("a\vb") << QByteArray("a\\line b");
}

void TestRtfWriter::textEscapes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QTextDocument document;
    QTextCursor(&document).insertText(text);
    const QByteArray rtf = writeRtf(&document);
    QVERIFY2(rtf.contains(expected), rtf.constData());
    QVERIFY(isAscii(rtf));
    QCOMPARE(toPlainText(rtf), QString(text)
                                   .replace(QChar::LineSeparator, QLatin1String("\r\n"))
                                   .replace(QLatin1Char('\v'), QLatin1String("\r\n")));
}

// What each formatting command of a note does to a selection must survive a save and load.
void TestRtfWriter::commandFormats_data()
{
    QTest::addColumn<Command>("command");
    const auto charCommand = [](const std::function<void(QTextCharFormat&)>& change) {
        return Command([change](QTextCursor& cursor) { merge(cursor, change); });
    };
    QTest::newRow("bold") << charCommand([](auto& f) { f.setFontWeight(QFont::Bold); });
    QTest::newRow("italic") << charCommand([](auto& f) { f.setFontItalic(true); });
    QTest::newRow("underline") << charCommand([](auto& f) { f.setFontUnderline(true); });
    QTest::newRow("strike-out") << charCommand([](auto& f) { f.setFontStrikeOut(true); });
    QTest::newRow("colour") << charCommand(
        [](auto& f) { f.setForeground(QColor(0x12, 0x34, 0x56)); });
    QTest::newRow("highlight") << charCommand([](auto& f) { f.setBackground(Qt::yellow); });
    QTest::newRow("superscript") << charCommand(
        [](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); });
    QTest::newRow("subscript") << charCommand(
        [](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); });
    for (const int size : {8, 10, 12, 14, 16})
        QTest::addRow("size %d", size)
            << charCommand([size](auto& f) { f.setFontPointSize(size); });
    QTest::newRow("font family") << charCommand(
        [](auto& f) { f.setFontFamilies({QStringLiteral("Verdana")}); });
    QTest::newRow("no format") << charCommand([](auto& f) {
        f.setFontWeight(QFont::Normal);
        f.setFontItalic(false);
        f.setFontUnderline(false);
        f.setFontStrikeOut(false);
    });
    const auto align = [](Qt::Alignment alignment) {
        return Command([alignment](QTextCursor& cursor) {
            QTextBlockFormat format = cursor.blockFormat();
            format.setAlignment(alignment);
            cursor.setBlockFormat(format);
        });
    };
    QTest::newRow("centre") << align(Qt::AlignHCenter);
    QTest::newRow("right") << align(Qt::AlignRight);
    QTest::newRow("bullet, indent 200") << Command([](QTextCursor& cursor) {
        cursor.createList(QTextListFormat::ListDisc);
        setIndent(cursor, 200);
    });
    QTest::newRow("indent twice") << Command([](QTextCursor& cursor) {
        setIndent(cursor, 200);
        setIndent(cursor, 200);
    });
    QTest::newRow("decrease below zero")
        << Command([](QTextCursor& cursor) { setIndent(cursor, -200); });
}

void TestRtfWriter::commandFormats()
{
    QFETCH(Command, command);
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("first line"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("second line"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("third"));
    cursor.setPosition(6);
    cursor.setPosition(16, QTextCursor::KeepAnchor); // "line\nsecond"
    command(cursor);

    QCOMPARE(roundTrip(document), RtfTest::describe(document));
}

// Each row: RTF from another writer, and what our writer must make of it after reading.
void TestRtfWriter::rewrite_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("raw vertical tab") << QByteArray("{\\rtf1 a\x0b"
                                                    "b}")
                                      << QByteArray("a\\line b");
    QTest::newRow("raw vertical tab in plain text") << QByteArray("a\x0b"
                                                                  "b")
                                                    << QByteArray("a\\line b");
    QTest::newRow("superscript ends before the paragraph mark")
        << QByteArray("{\\rtf1 a\\super b\\par c}") << QByteArray("\\super b\\nosupersub\\par");
    QTest::newRow("word's numbered list as numbering")
        << QByteArray("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0}\\listid1}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\ls1 a\\par b}")
        << QByteArray("{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}");
    QTest::newRow("symbol font bytes survive")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset2 Wingdings;}}\\f0 J}")
        << QByteArray("\\u-4022\\'3f");
    QTest::newRow("highlight in a group")
        << QByteArray(
               "{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}a\\highlight1 b\\highlight0 c}")
        << QByteArray("a{\\highlight1 b}c");
    QTest::newRow("highlighted link")
        << QByteArray("{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}\\highlight1{\\field"
                      "{\\*\\fldinst{HYPERLINK \"http://x.org\"}}{\\fldrslt a}}}")
        << QByteArray("{\\fldrslt{\\highlight1");
}

void TestRtfWriter::rewrite()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, expected);
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    readRtf(rtf, &document);
    const QByteArray written = writeRtf(&document);
    QVERIFY2(written.contains(expected), written.constData());
}

void TestRtfWriter::fontNames()
{
    const QStringList families = {QStringLiteral("微软雅黑"), QStringLiteral("Semi;colon"),
                                  QStringLiteral("Café")};
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    QTextCursor cursor(&document);
    for (const QString& family : families) {
        QTextCharFormat format;
        format.setFontFamilies({family});
        cursor.insertText(family, format);
    }
    QByteArray rtf;
    QCOMPARE(roundTrip(document, &rtf), RtfTest::describe(document));
    QVERIFY2(rtf.contains("\\u24494\\'3f") && rtf.contains("Semi\\'3bcolon;") &&
                 rtf.contains("Caf\\'e9;"),
             rtf.constData());
}

void TestRtfWriter::nestedLists()
{
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    QTextCursor cursor(&document);
    const auto item = [&cursor](const QString& text) {
        cursor.insertBlock();
        cursor.insertText(text);
    };
    cursor.insertText(QStringLiteral("one"));
    QTextList* outer = cursor.createList(QTextListFormat::ListDecimal);
    item(QStringLiteral("one a"));
    QTextListFormat inner;
    inner.setStyle(QTextListFormat::ListLowerAlpha);
    inner.setIndent(2);
    cursor.createList(inner);
    item(QStringLiteral("two"));
    outer->add(cursor.block());

    QByteArray rtf;
    QCOMPARE(roundTrip(document, &rtf), RtfTest::describe(document));
    QVERIFY2(rtf.contains("\\pnlcltr{\\pntxta.}}\\ilvl1"), rtf.constData());
}

// Bullets nest through the list table that word processors read, defined for the levels in
// use; each item's marker keeps its look, and everything reads back as it was.
void TestRtfWriter::nestedBulletsAndMarkerLook()
{
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    QTextCursor cursor(&document);
    QTextCharFormat redBold;
    redBold.setFontWeight(QFont::Bold);
    redBold.setForeground(Qt::red);
    cursor.setBlockCharFormat(redBold);
    QTextList* outer = cursor.createList(QTextListFormat::ListDisc);
    cursor.insertText(QStringLiteral("outer"), QTextCharFormat());
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    QTextListFormat inner;
    inner.setStyle(QTextListFormat::ListDisc);
    inner.setIndent(2);
    cursor.createList(inner);
    cursor.insertText(QStringLiteral("inner"));
    cursor.insertBlock();
    outer->add(cursor.block());
    cursor.insertText(QStringLiteral("back"));

    QByteArray rtf;
    QCOMPARE(roundTrip(document, &rtf), RtfTest::describe(document));
    QVERIFY2(rtf.contains("\\ls1\\ilvl1") && rtf.contains("outer\\cf1\\b\\par"), rtf.constData());
    QCOMPARE(rtf.count("{\\listlevel\\levelnfc23"), 2);
    QTextDocument back;
    readRtf(rtf, &back);
    for (int block = 0; block < 3; ++block) {
        const QTextCharFormat marker = back.findBlockByNumber(block).charFormat();
        QCOMPARE(marker.fontWeight() >= QFont::Bold, block == 0);
        QCOMPARE(marker.foreground().color(), block == 0 ? QColor(Qt::red) : QColor(Qt::black));
    }
}

void TestRtfWriter::randomRoundTrip()
{
    for (quint32 seed = 1; seed <= 300; ++seed) {
        QTextDocument document;
        document.setDefaultFont(kNoteFont);
        RtfTest::RandomDocument(seed).fill(&document);
        QByteArray rtf;
        const QStringList back = roundTrip(document, &rtf);
        if (back != RtfTest::describe(document)) {
            qWarning("seed %u:\n%s", seed, rtf.constData());
            QCOMPARE(back, RtfTest::describe(document));
        }
        QVERIFY2(isAscii(rtf), qPrintable(QStringLiteral("seed %1").arg(seed)));
    }
}

void TestRtfWriter::samplesRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(JOTTEX_TEST_DATA "/rtf"));
    for (const QString& file : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files))
        QTest::newRow(qPrintable(file)) << dir.filePath(file);
}

void TestRtfWriter::samplesRoundTrip()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    readRtf(file.readAll(), &document);
    QByteArray rtf;
    QCOMPARE(roundTrip(document, &rtf), RtfTest::describe(document));
    // Writing what was read gives the same bytes again.
    QTextDocument again;
    again.setDefaultFont(kNoteFont);
    readRtf(rtf, &again);
    QCOMPARE(writeRtf(&again), rtf);
}

void TestRtfWriter::textArea()
{
    QTextEdit edit;
    edit.setFont(kNoteFont);
    edit.setPlainText(QStringLiteral("old"));
    setTextRTF(&edit, QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 new \\b text\\par}"));
    QCOMPARE(edit.toPlainText(), QStringLiteral("new text"));
    QVERIFY(!edit.document()->isUndoAvailable()); // the old text cannot come back by undo
    const QByteArray rtf = textRTF(&edit);
    QVERIFY2(rtf.contains("\\f0\\fs24 new \\b text\\par"), rtf.constData());

    // Text without fonts of its own takes the note's font, which loading must not reset.
    setTextRTF(&edit, QByteArray("{\\rtf1 bare}"));
    const QByteArray bare = textRTF(&edit);
    QVERIFY2(bare.contains("Comic Sans MS;}") && bare.contains("\\fs20 bare"), bare.constData());
}

void TestRtfWriter::fontSubstitutes()
{
    installFontSubstitutes();
    installFontSubstitutes();
    const QStringList comic = QFont::substitutes(QStringLiteral("Comic Sans MS"));
    QCOMPARE(comic.size(), 1); // installing twice adds nothing
    QCOMPARE(comic.first().toLower(), QStringLiteral("comic neue"));
    QVERIFY(QFont::substitutes(QStringLiteral("Verdana"))
                .contains(QStringLiteral("DejaVu Sans"), Qt::CaseInsensitive));
    // The stored name stays what the note asked for.
    QFont font(QStringLiteral("Comic Sans MS"));
    QCOMPARE(font.family(), QStringLiteral("Comic Sans MS"));
}

// A reader nobody here wrote must find the same text in what we write.
void TestRtfWriter::unrtfAgrees()
{
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        QSKIP("unrtf is not installed; install it to compare our RTF with an independent reader");

    const auto normalise = [](QString text) {
        return text.replace(QChar::Nbsp, QLatin1Char(' ')).simplified();
    };
    for (quint32 seed = 1; seed <= 40; ++seed) {
        QTextDocument document;
        RtfTest::RandomDocument generator(seed);
        generator.latinOnly = true;
        generator.withLists = false;
        generator.fill(&document);
        const QByteArray rtf = writeRtf(&document);

        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(rtf);
        file.close();
        QProcess process;
        process.start(unrtf, {QStringLiteral("--text"), file.fileName()});
        QVERIFY(process.waitForFinished(30000));
        // unrtf prints comment lines and a rule before the text, in Latin-1.
        const QString output = QString::fromLatin1(process.readAllStandardOutput());
        const QString theirs = output.section(QStringLiteral("-----------------\n"), 1);
        QCOMPARE(normalise(theirs), normalise(toPlainText(rtf)));
    }
}

// Pictures go out as PNG with their size in pixels and the size shown in twips, and come back
// with every pixel, their transparency and the size shown; writing again gives the same bytes.
void TestRtfWriter::picturesRoundTrip()
{
    QImage picture(5, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, qRgba(x * 50, y * 60, 200, x == y ? 0 : 255));
    QTextDocument document;
    document.setDefaultFont(kNoteFont);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("before "));
    PictureResult result = PictureResult::Unreadable;
    QTextImageFormat own = addPicture(&document, picture, &result);
    QCOMPARE(result, PictureResult::Taken);
    cursor.insertImage(own);
    cursor.insertText(QStringLiteral(" after"));
    cursor.insertBlock();
    cursor.insertImage(own); // the same picture again, and shown larger
    QTextImageFormat larger = own;
    larger.setWidth(10);
    larger.setHeight(8);
    cursor.insertImage(larger);

    QByteArray rtf;
    QCOMPARE(roundTrip(document, &rtf), RtfTest::describe(document));
    QVERIFY(isAscii(rtf));
    QCOMPARE(rtf.count("{\\pict\\pngblip\\picw5\\pich4\\picwgoal75\\pichgoal60\r\n"), 2);
    QCOMPARE(rtf.count("{\\pict\\pngblip\\picw5\\pich4\\picwgoal150\\pichgoal120\r\n"), 1);

    QTextDocument back;
    back.setDefaultFont(kNoteFont);
    readRtf(rtf, &back);
    QCOMPARE(plainText(&back), QStringLiteral("before \uFFFC after\r\n\uFFFC\uFFFC"));
    QTextCursor at(&back);
    for (const int position : {8, 16, 17}) {
        at.setPosition(position);
        const QTextImageFormat format = at.charFormat().toImageFormat();
        QCOMPARE(pictureOf(&back, format).convertToFormat(QImage::Format_ARGB32), picture);
        QCOMPARE(shownSize(format, picture.size()), position == 17 ? QSizeF(10, 8) : QSizeF(5, 4));
    }
    QCOMPARE(picturesBytes(&back), 3 * 5 * 4 * 4); // each time it shows
    QCOMPARE(writeRtf(&back), rtf);
}

// A picture read from PNG or JPEG is written as the very bytes it came as: no loss, no time
// spent encoding it again at every save.
void TestRtfWriter::picturesKeepTheirEncoding_data()
{
    QTest::addColumn<QByteArray>("blip");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("PNG") << QByteArray("\\pngblip") << QByteArray("PNG");
    QTest::newRow("JPEG") << QByteArray("\\jpegblip") << QByteArray("JPEG");
}

void TestRtfWriter::picturesKeepTheirEncoding()
{
    QFETCH(QByteArray, blip);
    QFETCH(QByteArray, format);
    // Compressed as Qt would not compress it by default, so a new encoding would differ.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(format == "PNG" ? 0 : 35);
    QVERIFY(writer.write(TestPictures::picture(30, 20)));
    QTextDocument document;
    readRtf("{\\rtf1 {\\pict" + blip + " " + bytes.toHex() + "}}", &document);
    const QByteArray rtf = writeRtf(&document);
    QVERIFY(rtf.contains("{\\pict" + blip + "\\picw30"));
    QVERIFY(QByteArray(rtf).replace("\r\n", "").contains(bytes.toHex()));
}

// An image that names no picture of the document (a web address in pasted HTML) writes
// nothing, as before pictures were kept; the text around it stays.
void TestRtfWriter::pictureTheDocumentLacksIsLeftOut()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("a"));
    QTextImageFormat missing;
    missing.setName(QStringLiteral("https://example.invalid/x.png"));
    cursor.insertImage(missing);
    cursor.insertText(QStringLiteral("b"));
    const QByteArray rtf = writeRtf(&document);
    QVERIFY(!rtf.contains("\\pict"));
    QCOMPARE(toPlainText(rtf), QStringLiteral("ab"));
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
