#include "NoteWindows.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "dialogs/DialogSeam.h"
#include "richtext/LiveText.h"
#include "richtext/Pictures.h"
#include "richtext/RichText.h"
#include "richtext/RtfUnits.h"
#include "shell/Clock.h"
#include "store/modNote.h"
#include "window/NoteEditor.h"
#include "window/NoteTextEdit.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextList>
#include <QtTest>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Three paragraphs: "alpha beta" (0..9), "gamma" (11..15), "delta" (17..21).
const QString kKnownText = QStringLiteral("alpha beta\r\ngamma\r\ndelta");

// What a character shows, as far as the commands change it.
struct CharLook {
    bool bold, italic, underline, strike;
    QRgb color;
    qreal points;
    QString family;
    bool operator==(const CharLook&) const = default;
};

// What a paragraph shows: alignment as the control numbers it, bullet, left indent in twips.
struct ParaLook {
    int align;
    bool bullet;
    int indent;
    bool operator==(const ParaLook&) const = default;
};

char* toString(const ParaLook& look)
{
    return QTest::toString(QStringLiteral("{align %1, bullet %2, indent %3}")
                               .arg(look.align)
                               .arg(look.bullet)
                               .arg(look.indent));
}

QTextCharFormat charAt(const QTextDocument* document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument*>(document));
    cursor.setPosition(position + 1); // the format of the character before the cursor
    return cursor.charFormat();
}

CharLook charLook(const QTextDocument* document, int position)
{
    const QTextCharFormat format = charAt(document, position);
    const QRgb color =
        format.foreground().style() == Qt::NoBrush ? 0 : format.foreground().color().rgb();
    const QStringList families = format.fontFamilies().toStringList();
    return {format.fontWeight() >= QFont::DemiBold,
            format.fontItalic(),
            format.fontUnderline(),
            format.fontStrikeOut(),
            color,
            format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                           : document->defaultFont().pointSizeF(),
            families.isEmpty() ? document->defaultFont().family() : families.first()};
}

ParaLook paraLook(const QTextBlock& block)
{
    const Qt::Alignment align = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    const int code = (align & Qt::AlignHCenter) ? 2 : (align & Qt::AlignRight) ? 1 : 0;
    const QTextList* list = block.textList();
    return {code, list && list->format().style() == QTextListFormat::ListDisc,
            RichText::pointsToTwips(block.blockFormat().leftMargin())};
}

QList<ParaLook> paraLooks(const QTextDocument* document)
{
    QList<ParaLook> looks;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        looks << paraLook(block);
    return looks;
}

void select(frmMain* window, int start, int length)
{
    QTextCursor cursor = window->RTB1()->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    window->RTB1()->setTextCursor(cursor);
}

// One command on the known document with its selection, and what it must have done.
struct Case {
    const char* name;
    int selStart, selLength;
    const char* item;
    int index;
    std::function<void(frmMain*)> check;
    std::function<void(frmMain*)> before = {}; // what the document has first, when not plain
};

void strikeEverything(frmMain* window)
{
    window->RTB1()->selectAll();
    window->triggerMenuItem(NoteMenus::mnuStrikeOut, 0);
}

// The flag is on exactly for the document positions from..to-1.
void verifyRange(const frmMain* window, int from, int to, bool CharLook::*flag)
{
    const QTextDocument* document = window->RTB1()->document();
    for (int position = 0; position < document->characterCount() - 1; ++position) {
        if (document->characterAt(position) == QChar::ParagraphSeparator)
            continue;
        QVERIFY2(charLook(document, position).*flag == (position >= from && position < to),
                 qPrintable(QStringLiteral("character %1").arg(position)));
    }
}

void verifyParas(const frmMain* window, const QList<ParaLook>& expected)
{
    const QList<ParaLook> looks = paraLooks(window->RTB1()->document());
    QCOMPARE(looks.size(), expected.size());
    for (qsizetype i = 0; i < looks.size(); ++i) {
        QCOMPARE(looks[i].align, expected[i].align);
        QCOMPARE(looks[i].bullet, expected[i].bullet);
        QCOMPARE(looks[i].indent, expected[i].indent);
    }
}

// The pictures the note shows, in text order.
QList<QImage> picturesOf(const frmMain* window)
{
    const QTextDocument* document = window->RTB1()->document();
    QList<QImage> pictures;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QTextCharFormat format = it.fragment().charFormat(); format.isImageFormat())
                for (int i = 0; i < it.fragment().length(); ++i)
                    pictures << RichText::pictureOf(document, format.toImageFormat())
                                    .convertToFormat(QImage::Format_RGB32);
    return pictures;
}

const QString kPictureRefused = QStringLiteral(
    "The picture was not pasted: it is larger than a note holds (16 MB a picture and 64 MB a "
    "note, at 4 bytes a pixel).");

bool checked(const frmMain* window, const char* item, int index = -1)
{
    return window->menuItem(item, index)->isChecked();
}

const ParaLook kPlain{0, false, 0};

const std::vector<Case>& cases()
{
    using namespace NoteMenus;
    static const std::vector<Case> table{
        {"Bold", 6, 4, mnuFontBold, -1,
         [](frmMain* w) {
             verifyRange(w, 6, 10, &CharLook::bold);
             QVERIFY(checked(w, mnuFontBold));
             QVERIFY(!checked(w, mnuFontNormal));
         }},
        {"Italic", 0, 5, mnuFontItalic, -1,
         [](frmMain* w) {
             verifyRange(w, 0, 5, &CharLook::italic);
             QVERIFY(checked(w, mnuFontItalic));
         }},
        {"Underline", 12, 5, mnuFontUnderline, -1,
         [](frmMain* w) { verifyRange(w, 12, 17, &CharLook::underline); }},
        {"Strike-Out", 6, 4, mnuStrikeOut, 0,
         [](frmMain* w) { verifyRange(w, 6, 10, &CharLook::strike); }},
        {"Strike Remove", 6, 4, mnuStrikeOut, 1,
         [](frmMain* w) {
             const QTextDocument* document = w->RTB1()->document();
             QVERIFY(charLook(document, 5).strike && !charLook(document, 6).strike);
             QVERIFY(!charLook(document, 9).strike && charLook(document, 11).strike);
         },
         strikeEverything},
        {"select Italic", 6, 4, mnuSelectStyle, 0,
         [](frmMain* w) { verifyRange(w, 6, 10, &CharLook::italic); }},
        {"select Cut", 6, 4, mnuSelectEdit, 0,
         [](frmMain* w) {
             QCOMPARE(w->Text(), QStringLiteral("alpha \r\ngamma\r\ndelta"));
             QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("beta"));
         }},
        {"select Paste", 6, 4, mnuSelectEdit, 2,
         [](frmMain* w) { QCOMPARE(w->Text(), QStringLiteral("alpha pasted\r\ngamma\r\ndelta")); },
         [](frmMain*) { QGuiApplication::clipboard()->setText(QStringLiteral("pasted")); }},
        {"Undo", 0, 0, mnuEdit, 2,
         [](frmMain* w) { QVERIFY(!charLook(w->RTB1()->document(), 7).strike); },
         [](frmMain* w) {
             select(w, 6, 4);
             w->triggerMenuItem(NoteMenus::mnuStrikeOut, 0);
         }},
        {"select Bold", 6, 4, mnuSelectStyle, 2,
         [](frmMain* w) {
             verifyRange(w, 6, 10, &CharLook::bold);
             QVERIFY(!checked(w, mnuFontBold)); // the selection menu has no check marks
         }},
        {"select Underline", 6, 4, mnuSelectStyle, 1,
         [](frmMain* w) { verifyRange(w, 6, 10, &CharLook::underline); }},
        {"select Largest", 6, 4, mnuSelectFontSize, 4,
         [](frmMain* w) {
             const QTextDocument* document = w->RTB1()->document();
             QCOMPARE(charLook(document, 7).points, 16.0);
             QCOMPARE(charLook(document, 2).points, 10.0);
             QCOMPARE(w->note().FontSize, 10);
             QVERIFY(checked(w, mnuFontSize, 1));
         }},
        {"Size Largest", 6, 4, mnuFontSize, 4,
         [](frmMain* w) {
             QCOMPARE(w->note().FontSize, 16);
             QCOMPARE(w->RTB1()->font().pointSize(), 16);
             QCOMPARE(charLook(w->RTB1()->document(), 2).points, 16.0);
             for (int i = 0; i < 5; ++i)
                 QCOMPARE(checked(w, mnuFontSize, i), i == 4);
         }},
        {"Size Small", 0, 0, mnuFontSize, 0,
         [](frmMain* w) {
             QCOMPARE(w->note().FontSize, 8);
             QVERIFY(checked(w, mnuFontSize, 0));
             QVERIFY(!checked(w, mnuFontSize, 1));
         }},
        {"select Center", 12, 2, mnuSelectAlignment, 1,
         [](frmMain* w) {
             verifyParas(w, {kPlain, {2, false, 0}, kPlain});
             QCOMPARE(w->RTB1()->textCursor().selectionStart(), 12);
             QCOMPARE(w->RTB1()->textCursor().selectedText(), QStringLiteral("am"));
         }},
        {"select Right", 2, 10, mnuSelectAlignment, 2,
         [](frmMain* w) {
             verifyParas(w, {{1, false, 0}, {1, false, 0}, kPlain});
         }},
        {"Alignment Center", 7, 2, mnuAlignment, 1,
         [](frmMain* w) {
             verifyParas(w, {{2, false, 0}, {2, false, 0}, {2, false, 0}});
             QCOMPARE(w->RTB1()->textCursor().position(), 7);
             QVERIFY(!w->RTB1()->textCursor().hasSelection());
         }},
        {"Alignment Right", 0, 0, mnuAlignment, 2,
         [](frmMain* w) {
             verifyParas(w, {{1, false, 0}, {1, false, 0}, {1, false, 0}});
         }},
        {"Bullets Add New", 3, 10, mnuBullets, 0,
         [](frmMain* w) {
             verifyParas(w, {{0, true, 200}, {0, true, 200}, kPlain});
         }},
        {"select Bullets Add new", 19, 0, mnuSelectBullet, 0,
         [](frmMain* w) {
             verifyParas(w, {kPlain, kPlain, {0, true, 200}});
         }},
        {"Bullets Remove existing", 3, 0, mnuBullets, 1,
         [](frmMain* w) {
             verifyParas(w, {{0, false, -200}, kPlain, kPlain});
         }},
        {"Indent Increase", 12, 8, mnuIndent, 0,
         [](frmMain* w) {
             verifyParas(w, {kPlain, {0, false, 200}, {0, false, 200}});
         }},
        {"Indent Decrease", 0, 0, mnuIndent, 1,
         [](frmMain* w) {
             verifyParas(w, {{0, false, -200}, kPlain, kPlain});
         }},
        {"select Indent Increase", 0, 0, mnuSelectIndent, 0,
         [](frmMain* w) {
             verifyParas(w, {{0, false, 200}, kPlain, kPlain});
         }},
        {"Insert Ellipsis", 5, 0, mnuInsert, 3,
         [](frmMain* w) {
             QCOMPARE(w->Text(), QStringLiteral("alpha\u2026 beta\r\ngamma\r\ndelta"));
         }},
        {"Insert Pound over a selection", 6, 4, mnuInsert, 5,
         [](frmMain* w) { QCOMPARE(w->Text(), QStringLiteral("alpha \u00a3\r\ngamma\r\ndelta")); }},
        {"Insert Date / Time Stamp (a submenu)", 0, 0, mnuInsert, 0,
         [](frmMain* w) { QCOMPARE(w->Text(), kKnownText); }},
    };
    return table;
}

// Everything the commands can change, per character and per paragraph.
void compareFormatting(const QTextDocument* expected, const QTextDocument* actual)
{
    QCOMPARE(RichText::plainText(actual), RichText::plainText(expected));
    for (int i = 0; i < expected->characterCount() - 1; ++i) {
        if (expected->characterAt(i) == QChar::ParagraphSeparator)
            continue;
        const CharLook want = charLook(expected, i);
        const CharLook got = charLook(actual, i);
        QVERIFY2(want == got, qPrintable(QStringLiteral("character %1").arg(i)));
    }
    QCOMPARE(paraLooks(actual), paraLooks(expected));
}
} // namespace

class TestEditing : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    static frmMain* newNote(const QString& text = {})
    {
        frmMain* window = NoteWindows::newNote();
        RichText::setTextRTF(window->RTB1(), text);
        return window;
    }

    // Saves through the menu and opens the file in a new window, as the user would.
    frmMain* saveAndReopen(frmMain* window, const QString& name)
    {
        const QString path = m_folder.filePath(name);
        QFile::remove(path);
        DialogSeam::queueFileAnswer(path);
        window->triggerMenuItem(NoteMenus::mnuSave, 1);
        const NoteRecordList records = modNote::LoadNote(false, path);
        if (records.size() != 1)
            return nullptr;
        frmMain* reopened = frmMain::create(NoteOrigin::NoteFile, records.first());
        reopened->show();
        return reopened;
    }

    // As the desktop drops: the drag enters the text, then the data is dropped. True when the
    // text took the drag.
    static bool dropOn(frmMain* window, const QMimeData& data)
    {
        QWidget* target = window->RTB1()->viewport();
        const QPoint point(10, 10);
        QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        DialogSeam::arm();
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(9, 21, 58)));
    }

    void cleanup() { NoteWindows::deleteAll(); }

    void commandsApplyAndSurviveSaveAndReopen_data()
    {
        QTest::addColumn<int>("row");
        for (size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << int(i);
    }

    void commandsApplyAndSurviveSaveAndReopen()
    {
        QFETCH(int, row);
        const Case& command = cases()[size_t(row)];
        frmMain* window = newNote(kKnownText);
        if (command.before)
            command.before(window);
        select(window, command.selStart, command.selLength);
        window->triggerMenuItem(command.item, command.index);
        command.check(window);
        if (QTest::currentTestFailed())
            return;
        frmMain* reopened = saveAndReopen(window, QStringLiteral("round.not"));
        QVERIFY(reopened);
        compareFormatting(window->RTB1()->document(), reopened->RTB1()->document());
    }

    // Everything at once, as the screenshot shows it, through the codec and back.
    void formattedNoteSurvivesSaveAndReopen()
    {
        frmMain* window = newNote(QStringLiteral("Bold italic under strike\r\nred big\r\n"
                                                 "first bullet\r\nsecond bullet\r\ncentred"));
        window->setSizeTwips(5200, 4200);
        const auto apply = [window](int start, int length, const char* item, int index = -1) {
            select(window, start, length);
            window->triggerMenuItem(item, index);
        };
        using namespace NoteMenus;
        apply(0, 4, mnuSelectStyle, 2);
        apply(5, 6, mnuSelectStyle, 0);
        apply(12, 5, mnuSelectStyle, 1);
        apply(18, 6, mnuStrikeOut, 0);
        select(window, 25, 3);
        QTextCharFormat red;
        red.setForeground(QColor(200, 0, 0));
        window->RTB1()->mergeCurrentCharFormat(red);
        apply(29, 3, mnuSelectFontSize, 4);
        apply(33, 20, mnuSelectBullet, 0);
        apply(60, 2, mnuSelectAlignment, 1);
        select(window, 0, 0);
        window->grab().save(m_folder.filePath(QStringLiteral("formatted.png")));
        frmMain* reopened = saveAndReopen(window, QStringLiteral("formatted.not"));
        QVERIFY(reopened);
        compareFormatting(window->RTB1()->document(), reopened->RTB1()->document());
        QCOMPARE(charLook(reopened->RTB1()->document(), 26).color, qRgb(200, 0, 0));
    }

    void fontFamilyTakesTheChosenFace()
    {
        frmMain* window = newNote(kKnownText);
        DialogSeam::queueFontAnswer(QStringLiteral("DejaVu Serif"));
        window->triggerMenuItem(NoteMenus::mnuFontFamily);
        QCOMPARE(DialogSeam::requests().last().kind, DialogSeam::Kind::Font);
        QCOMPARE(DialogSeam::requests().last().text, QStringLiteral("Comic Sans MS"));
        QCOMPARE(window->RTB1()->font().family(), QStringLiteral("DejaVu Serif"));
        QVERIFY(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        frmMain* reopened = saveAndReopen(window, QStringLiteral("family.not"));
        QVERIFY(reopened);
        QCOMPARE(charLook(reopened->RTB1()->document(), 3).family, QStringLiteral("DejaVu Serif"));

        // Cancelling keeps the face: the one shown first is no choice.
        DialogSeam::queueFontCancel();
        window->triggerMenuItem(NoteMenus::mnuFontFamily);
        QCOMPARE(window->RTB1()->font().family(), QStringLiteral("DejaVu Serif"));
    }

    void styleCheckMarks()
    {
        using namespace NoteMenus;
        frmMain* window = newNote(kKnownText);
        QVERIFY(checked(window, mnuFontNormal));
        select(window, 0, 5);
        window->triggerMenuItem(mnuFontBold);
        QVERIFY(checked(window, mnuFontBold));
        QVERIFY(!checked(window, mnuFontNormal));
        QVERIFY(charLook(window->RTB1()->document(), 1).bold);
        // The marks belong to the menu, not to the text under the caret.
        select(window, 12, 0);
        QVERIFY(checked(window, mnuFontBold));
        select(window, 0, 5);
        window->triggerMenuItem(mnuFontBold);
        QVERIFY(!checked(window, mnuFontBold));
        QVERIFY(!charLook(window->RTB1()->document(), 1).bold);

        window->triggerMenuItem(mnuFontBold);
        window->triggerMenuItem(mnuFontItalic);
        window->triggerMenuItem(mnuFontUnderline);
        window->triggerMenuItem(mnuFontNormal);
        QVERIFY(checked(window, mnuFontNormal));
        for (const char* item : {mnuFontBold, mnuFontItalic, mnuFontUnderline})
            QVERIFY(!checked(window, item));
        const CharLook look = charLook(window->RTB1()->document(), 1);
        QVERIFY(!look.bold && !look.italic && !look.underline);
        window->triggerMenuItem(mnuFontNormal); // inverted, nothing else changes
        QVERIFY(!checked(window, mnuFontNormal));
    }

    void noFormatKeepsSizeAndColour()
    {
        frmMain* window = newNote(kKnownText);
        select(window, 0, 5);
        QTextCharFormat format;
        format.setFontWeight(QFont::Bold);
        format.setFontItalic(true);
        format.setFontUnderline(true);
        format.setFontStrikeOut(true);
        format.setFontPointSize(14);
        format.setForeground(Qt::blue);
        window->RTB1()->mergeCurrentCharFormat(format);
        window->triggerMenuItem(NoteMenus::mnuRemoveFormat);
        const CharLook look = charLook(window->RTB1()->document(), 2);
        QCOMPARE(look, (CharLook{false, false, false, false, QColor(Qt::blue).rgb(), 14.0,
                                 charLook(window->RTB1()->document(), 2).family}));
    }

    void pastePlainTextWithAPictureDeletesTheSelection()
    {
        frmMain* window = newNote(kKnownText);
        auto* data = new QMimeData;
        data->setImageData(QImage(4, 4, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(data);
        select(window, 0, 6);
        window->triggerMenuItem(NoteMenus::mnuEdit, 1);
        QCOMPARE(window->Text(), QStringLiteral("beta\r\ngamma\r\ndelta"));
    }

    void clearAll()
    {
        frmMain* window = newNote(kKnownText);
        window->RTB1()->setReadOnly(true);
        window->triggerMenuItem(NoteMenus::mnuEdit, 3);
        QCOMPARE(window->Text(), QString());
        QVERIFY(!window->RTB1()->isReadOnly());
        QCOMPARE(window->RTB1()->currentCharFormat().foreground().color(), QColor(Qt::black));
        QCOMPARE(window->specialNotes().kind(), SpecialNoteKind::None);

        // With Ctrl held the note gets our short text about Jottex, last.
        RichText::setTextRTF(window->RTB1(), kKnownText);
        QTest::keyPress(window->RTB1(), Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(window->editor().LastKeyDown(), int(Qt::Key_Control));
        window->triggerMenuItem(NoteMenus::mnuEdit, 3);
        QVERIFY(window->Text().startsWith(QStringLiteral("Jottex keeps sticky notes")));
        QVERIFY(!window->Text().contains(QStringLiteral("http")));
        QTest::keyRelease(window->RTB1(), Qt::Key_Control);
        QCOMPARE(window->editor().LastKeyDown(), 0);
        window->triggerMenuItem(NoteMenus::mnuEdit, 3);
        QCOMPARE(window->Text(), QString());
    }

    // Every note has its own editor: a command changes its own note's text, record and check
    // marks, never another's.
    void commandsActOnTheirOwnNote()
    {
        frmMain* first = newNote(kKnownText);
        frmMain* second = newNote(kKnownText);
        second->triggerMenuItem(NoteMenus::mnuFontSize, int(FontSizeItem::Largest));
        second->triggerMenuItem(NoteMenus::mnuEdit, int(EditItem::ClearAll));

        QCOMPARE(second->note().FontSize, 16);
        QVERIFY(checked(second, NoteMenus::mnuFontSize, int(FontSizeItem::Largest)));
        QCOMPARE(second->Text(), QString());
        QCOMPARE(first->note().FontSize, 10);
        QVERIFY(checked(first, NoteMenus::mnuFontSize, int(FontSizeItem::Normal)));
        QCOMPARE(first->RTB1()->font().pointSize(), 10);
        QCOMPARE(first->Text(), kKnownText);
    }

    void dateStampsFollowTheLocale_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("Date / Time") << 0 << "12/6/2026 9:21:58 AM";
        QTest::newRow("Date (long)") << 1 << "Sunday, December 6, 2026";
        QTest::newRow("Date (short)") << 2 << "12/6/2026";
    }

    void dateStampsFollowTheLocale()
    {
        QFETCH(int, index);
        QFETCH(QString, stamp);
        frmMain* window = newNote(kKnownText);
        select(window, 6, 4);
        window->triggerMenuItem(NoteMenus::mnuInsertDateTime, index);
        QCOMPARE(window->Text(), QStringLiteral("alpha %1\r\ngamma\r\ndelta").arg(stamp));
    }

    void droppedFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // empty: the file is taken
        QTest::addColumn<QString>("text");
        QTest::newRow("folder") << "folder"
                                << "it is a folder" << QString();
        QTest::newRow("NUL") << "nul"
                             << "it is not a text file" << QString();
        QTest::newRow("11 MB") << "large"
                               << "it is larger than 10 MB" << QString();
        QTest::newRow("no permission") << "unreadable"
                                       << "it could not be read" << QString();
        QTest::newRow("missing") << "missing"
                                 << "it could not be read" << QString();
        QTest::newRow("FIFO") << "fifo"
                              << "it could not be read" << QString();
        QTest::newRow("Windows-1252") << "cp1252" << QString() << "caf\u00e9 \u2026\r\nline";
        QTest::newRow("UTF-8") << "utf8" << QString() << "\u00fcber \u20ac";
        QTest::newRow("RTF") << "rtf" << QString() << "bold plain";
        QTest::newRow("two files") << "two" << QString() << "first";
    }

    void droppedFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QFETCH(QString, text);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("dropped.txt"));
        const QString second = folder.filePath(QStringLiteral("second.txt"));
        QStringList files{path};
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("dropped.txt")));
        } else if (kind == QLatin1String("nul")) {
            QByteArray bytes(9000, 'a');
            bytes[8000] = '\0';
            QVERIFY(TestEnvironment::writeFile(path, bytes));
        } else if (kind == QLatin1String("large")) {
            QVERIFY(TestEnvironment::writeFile(path, QByteArray(qsizetype(11) * 1024 * 1024, 'a')));
        } else if (kind == QLatin1String("unreadable")) {
            QVERIFY(TestEnvironment::writeFile(path, "secret"));
            QFile::setPermissions(path, QFileDevice::Permissions());
            if (::geteuid() == 0)
                QSKIP("root reads a file without permissions; the missing-file row covers it");
        } else if (kind == QLatin1String("fifo")) {
            // Without a writer: reading it would wait for ever.
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("cp1252")) {
            QVERIFY(TestEnvironment::writeFile(path, "caf\xe9 \x85\r\nline"));
        } else if (kind == QLatin1String("utf8")) {
            QVERIFY(TestEnvironment::writeFile(path, "\xc3\xbc"
                                                     "ber \xe2\x82\xac"));
        } else if (kind == QLatin1String("rtf")) {
            QVERIFY(TestEnvironment::writeFile(path, "{\\rtf1\\ansi {\\b bold} plain\\par}"));
        } else if (kind == QLatin1String("two")) {
            QVERIFY(TestEnvironment::writeFile(path, "first"));
            QVERIFY(TestEnvironment::writeFile(second, "second"));
            files << second;
        }
        frmMain* window = newNote(QStringLiteral("{\\rtf1\\ansi {\\i kept} as it was\\par}"));
        const QString before = window->TextRTF();
        DialogSeam::clearRequests();
        // Dropped as the desktop drops it: a list of file addresses.
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files)
            urls << QUrl::fromLocalFile(file);
        data.setUrls(urls);
        dropOn(window, data);
        if (reason.isEmpty()) {
            QVERIFY(DialogSeam::requests().isEmpty());
            QCOMPARE(window->Text(), text);
            QVERIFY(window->IsDirty());
            if (kind == QLatin1String("rtf")) {
                QVERIFY(charLook(window->RTB1()->document(), 1).bold);
                QVERIFY(!charLook(window->RTB1()->document(), 6).bold);
            }
        } else {
            QCOMPARE(window->TextRTF(), before);
            QVERIFY(!window->IsDirty());
            QCOMPARE(DialogSeam::requests().size(), 1);
            QCOMPARE(DialogSeam::requests().first().text,
                     QStringLiteral("dropped.txt was not loaded: %1.").arg(reason));
        }
    }

    // Text is taken up to what the live text area lays out in time, and refused above it with
    // the limit in the message; the note keeps its text then.
    void droppedTextIsTakenUpToTheLimit_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("taken");
        const auto pars = [](qsizetype count) {
            return "{\\rtf1\\ansi x" + QByteArray("\\par\n").repeated(count) + "}";
        };
        QTest::newRow("RTF at the paragraph limit") << pars(LiveText::kMaxParagraphs) << true;
        QTest::newRow("RTF one paragraph over") << pars(LiveText::kMaxParagraphs + 1) << false;
        QTest::newRow("RTF of a million paragraphs") << pars(1000000) << false;
        QTest::newRow("text one line over")
            << QByteArray("y\n").repeated(LiveText::kMaxParagraphs) << false;
        QTest::newRow("text at the character limit")
            << QByteArray("word ").repeated(LiveText::kMaxCharacters / 5) << true;
        QTest::newRow("text one character over")
            << QByteArray("word ").repeated(LiveText::kMaxCharacters / 5) + "!" << false;
        QTest::newRow("a word at the limit") << QByteArray(LiveText::kMaxWord, 'w') << true;
        QTest::newRow("a word one character longer")
            << QByteArray(LiveText::kMaxWord + 1, 'w') << false;
    }

    void droppedTextIsTakenUpToTheLimit()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, taken);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("long.txt"));
        QVERIFY(TestEnvironment::writeFile(path, bytes));
        frmMain* window = newNote(kKnownText);
        DialogSeam::clearRequests();
        window->editor().RTB1_OLEDragDrop({path});
        if (taken) {
            QVERIFY(DialogSeam::requests().isEmpty());
            QVERIFY(LiveText::fits(LiveText::sizeOf(window->RTB1()->document())));
            QVERIFY(window->Text() != kKnownText);
            return;
        }
        QCOMPARE(window->Text(), kKnownText);
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(
            DialogSeam::requests().first().text,
            QStringLiteral("long.txt was not loaded: it is longer than a note shows "
                           "(20,000 lines, 200,000 characters and words of 2,000 characters)."));
    }

    // A stored note is the text area's own up to the same limit, and held whole above it.
    void storedNoteIsHeldOnlyAboveTheLimit_data() { droppedTextIsTakenUpToTheLimit_data(); }

    void storedNoteIsHeldOnlyAboveTheLimit()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, taken);
        NoteRecord stored;
        stored.Data = QString::fromLatin1(bytes);
        frmMain* window = frmMain::create(NoteOrigin::StoredRecord, stored);
        QCOMPARE(window->showsPart(), !taken);
        QCOMPARE(window->RTB1()->isReadOnly(), !taken);
        QVERIFY(LiveText::fits(LiveText::sizeOf(window->RTB1()->document())));
        QCOMPARE(window->TextRTF() == stored.Data, !taken);
        if (taken)
            QCOMPARE(window->Text(), RichText::toPlainText(stored.Data));
    }

    // The text a file brought replaces the old one in one step: one Undo brings all of the old
    // text back, its formatting too, and what was typed before the drop stays undoable.
    void droppedFileIsOneUndoStep()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("new.rtf"));
        QVERIFY(TestEnvironment::writeFile(path, "{\\rtf1\\ansi one\\par two\\par three}"));
        frmMain* window = newNote(QStringLiteral("{\\rtf1\\ansi {\\b old} text}"));
        window->RTB1()->moveCursor(QTextCursor::End);
        QTest::keyClicks(window->RTB1(), "!");
        const QString before = window->Text();
        window->editor().RTB1_OLEDragDrop({path});
        QCOMPARE(window->Text(), QStringLiteral("one\r\ntwo\r\nthree"));
        window->editor().mnuEdit_Click(int(EditItem::Undo));
        QCOMPARE(window->Text(), before);
        QVERIFY(charLook(window->RTB1()->document(), 1).bold);
        window->editor().mnuEdit_Click(int(EditItem::Undo));
        QCOMPARE(window->Text(), QStringLiteral("old text"));
    }

    // A paste that would take the note beyond the limit is refused with a message, whichever
    // way it comes; one that fits is pasted.
    void pastesAreTakenUpToTheLimit_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("taken");
        const int fits = int(LiveText::kMaxParagraphs) - 10;
        const int over = int(LiveText::kMaxParagraphs);
        QTest::newRow("Paste, fits") << int(EditItem::Paste) << fits << true;
        QTest::newRow("Paste, over") << int(EditItem::Paste) << over << false;
        QTest::newRow("Paste Plain Text, fits") << int(EditItem::PastePlainText) << fits << true;
        QTest::newRow("Paste Plain Text, over") << int(EditItem::PastePlainText) << over << false;
    }

    void pastesAreTakenUpToTheLimit()
    {
        QFETCH(int, item);
        QFETCH(int, lines);
        QFETCH(bool, taken);
        QGuiApplication::clipboard()->setText(QStringLiteral("p\n").repeated(lines));
        frmMain* window = newNote(kKnownText);
        DialogSeam::clearRequests();
        window->editor().mnuEdit_Click(item);
        QCOMPARE(DialogSeam::requests().isEmpty(), taken);
        QCOMPARE(window->Text() == kKnownText, !taken);
        if (!taken)
            QVERIFY(DialogSeam::requests().first().text.startsWith(
                QStringLiteral("The text was not pasted: the note would be longer than a note "
                               "shows (20,000 lines")));
        QVERIFY(LiveText::fits(LiveText::sizeOf(window->RTB1()->document())));
    }

    // Paste takes a picture where the clipboard offers no text: as image data of any type Qt
    // reads, or decoded by the platform; text beside it wins, as it always did.
    void pastedPictures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString picture = QStringLiteral("alpha\uFFFC beta\r\ngamma\r\ndelta");
        QTest::newRow("PNG, Ctrl+V") << "png ctrl+v" << 1 << picture << QString();
        QTest::newRow("PNG, Paste") << "png menu" << 1 << picture << QString();
        QTest::newRow("JPEG") << "jpeg" << 1 << picture << QString();
        QTest::newRow("decoded by the platform") << "image" << 1 << picture << QString();
        QTest::newRow("a web page's picture") << "html img" << 1 << picture << QString();
        QTest::newRow("text beside the picture")
            << "text" << 0 << "alphawords beta\r\ngamma\r\ndelta" << QString();
        QTest::newRow("over the limit") << "large" << 0 << kKnownText << kPictureRefused;
        QTest::newRow("stated over the limit") << "stated" << 0 << kKnownText << kPictureRefused;
        QTest::newRow("read-only note") << "read-only" << 0 << kKnownText << QString();
    }

    void pastedPictures()
    {
        QFETCH(QString, kind);
        QFETCH(int, pictures);
        QFETCH(QString, text);
        QFETCH(QString, message);
        const QImage picture = TestPictures::picture(6, 5);
        auto* data = new QMimeData;
        if (kind.startsWith(QLatin1String("png")) || kind == QLatin1String("read-only"))
            data->setData(QStringLiteral("image/png"), TestPictures::encoded(picture));
        else if (kind == QLatin1String("jpeg"))
            data->setData(QStringLiteral("image/jpeg"), TestPictures::encoded(picture, "JPEG"));
        else if (kind == QLatin1String("image"))
            data->setImageData(picture);
        else if (kind == QLatin1String("large"))
            data->setImageData(QImage(2049, 2048, QImage::Format_RGB32));
        if (kind == QLatin1String("html img")) {
            data->setHtml(QStringLiteral("<img src=\"https://example.invalid/p.png\">"));
            data->setData(QStringLiteral("image/png"), TestPictures::encoded(picture));
        }
        if (kind == QLatin1String("text")) {
            data->setText(QStringLiteral("words"));
            data->setData(QStringLiteral("image/png"), TestPictures::encoded(picture));
        }
        if (kind == QLatin1String("stated")) {
            data->setData(QStringLiteral("image/png"), TestPictures::pngStating(1000000, 1000000));
        }
        QGuiApplication::clipboard()->setMimeData(data);
        frmMain* window = newNote(kKnownText);
        window->RTB1()->setReadOnly(kind == QLatin1String("read-only"));
        select(window, 5, 0);
        DialogSeam::clearRequests();
        if (kind == QLatin1String("png ctrl+v"))
            QTest::keyClick(window->RTB1(), Qt::Key_V, Qt::ControlModifier);
        else
            window->editor().mnuEdit_Click(int(EditItem::Paste));
        QCOMPARE(window->Text(), text);
        const QList<QImage> shown = picturesOf(window);
        QCOMPARE(shown.size(), pictures);
        if (pictures > 0 && kind != QLatin1String("jpeg"))
            QCOMPARE(shown.first(), picture);
        QCOMPARE(DialogSeam::requests().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(DialogSeam::requests().first().text, message);
    }

    // Pictures up to 64 MB a note, each counted every time it shows (as the note file holds
    // it): the fifth paste of a 16 MB picture is refused with the message.
    void picturesOfANoteStayWithinItsLimit()
    {
        frmMain* window = newNote(kKnownText);
        DialogSeam::clearRequests();
        QImage large(2048, 2048, QImage::Format_RGB32);
        large.fill(qRgb(0, 90, 0));
        QGuiApplication::clipboard()->setImage(large);
        for (int i = 0; i < 5; ++i)
            window->editor().mnuEdit_Click(int(EditItem::Paste));
        QCOMPARE(picturesOf(window).size(), 4);
        QCOMPARE(RichText::picturesBytes(window->RTB1()->document()),
                 RichText::kMaxNotePictureBytes);
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().text, kPictureRefused);
    }

    // Pictures copied from one note paste into another with their pixels: alone, offered as a
    // picture to other programs as well; with text, along with the markup that names them.
    void picturesCopiedFromANote_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("asPicture");
        QTest::newRow("alone") << 5 << 1 << "x\uFFFC" << true;
        QTest::newRow("with text") << 3 << 5 << "xha\uFFFC b" << false;
    }

    void picturesCopiedFromANote()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, pasted);
        QFETCH(bool, asPicture);
        const QImage picture = TestPictures::picture(7, 3);
        QGuiApplication::clipboard()->setImage(picture);
        frmMain* first = newNote(kKnownText);
        select(first, 5, 0);
        first->editor().mnuEdit_Click(int(EditItem::Paste));
        select(first, start, length);
        first->RTB1()->copy();
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->hasImage(), asPicture);
        frmMain* second = newNote(QStringLiteral("x"));
        select(second, 1, 0);
        second->editor().mnuEdit_Click(int(EditItem::Paste));
        QCOMPARE(second->Text(), pasted);
        QCOMPARE(picturesOf(second), QList<QImage>{picture});
    }

    // Pictures pasted with text count toward the note's limit as well.
    void picturesCopiedWithTextStayWithinTheLimit()
    {
        QImage large(2048, 2048, QImage::Format_RGB32);
        large.fill(qRgb(90, 0, 0));
        QGuiApplication::clipboard()->setImage(large);
        frmMain* first = newNote(kKnownText);
        for (int i = 0; i < 4; ++i)
            first->editor().mnuEdit_Click(int(EditItem::Paste));
        first->RTB1()->selectAll();
        first->RTB1()->copy();
        frmMain* second = newNote(QStringLiteral("x"));
        QGuiApplication::clipboard()->setImage(TestPictures::picture(2, 2));
        second->editor().mnuEdit_Click(int(EditItem::Paste));
        first->RTB1()->copy();
        DialogSeam::clearRequests();
        second->editor().mnuEdit_Click(int(EditItem::Paste));
        QCOMPARE(picturesOf(second).size(), 1);
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().text, kPictureRefused);
    }

    // A dropped picture file goes in where it falls; one over the limit is refused with the
    // reason; a text file that merely starts like a picture is still text.
    void droppedPictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<QString>("reason");
        QTest::newRow("PNG") << TestPictures::encoded(TestPictures::picture(6, 5)) << 1
                             << QString();
        QTest::newRow("BMP") << TestPictures::encoded(TestPictures::picture(6, 5), "BMP") << 1
                             << QString();
        QImage large(2049, 2048, QImage::Format_Mono);
        large.fill(0);
        QTest::newRow("over the limit")
            << TestPictures::encoded(large) << 0
            << "dropped.png was not loaded: it is a picture larger than a note holds (16 MB a "
               "picture and 64 MB a note, at 4 bytes a pixel).";
        QTest::newRow("text starting as a bitmap")
            << QByteArray("BMW service on Monday") << 0 << QString();
    }

    void droppedPictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, pictures);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("dropped.png"));
        QVERIFY(TestEnvironment::writeFile(path, bytes));
        frmMain* window = newNote(kKnownText);
        window->RTB1()->moveCursor(QTextCursor::End);
        DialogSeam::clearRequests();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QVERIFY(dropOn(window, data));
        QCOMPARE(picturesOf(window).size(), pictures);
        if (pictures > 0) {
            QCOMPARE(picturesOf(window).first(), TestPictures::picture(6, 5));
            // Where it fell: the first line, not the caret's place at the end.
            QVERIFY(window->RTB1()->document()->firstBlock().text().contains(
                QChar::ObjectReplacementCharacter));
            QVERIFY(window->Text().endsWith(QStringLiteral("delta")));
        }
        if (reason.isEmpty()) {
            QVERIFY(DialogSeam::requests().isEmpty());
        } else {
            QCOMPARE(DialogSeam::requests().size(), 1);
            QCOMPARE(DialogSeam::requests().first().text, reason);
            QCOMPARE(window->Text(), kKnownText);
        }
        if (bytes.startsWith("BMW"))
            QCOMPARE(window->Text(), QString::fromLatin1(bytes));
    }

    // A dropped RTF file is taken without the pictures over the limit, and the message says so.
    void droppedRtfWithAPictureOverTheLimit()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("letter.rtf"));
        QVERIFY(TestEnvironment::writeFile(
            path, "{\\rtf1\\ansi kept {\\pict\\pngblip " +
                      TestPictures::pngStating(5000, 5000).toHex() + "} text {\\pict\\pngblip " +
                      TestPictures::encoded(TestPictures::picture(3, 3)).toHex() + "}\\par}"));
        frmMain* window = newNote(kKnownText);
        DialogSeam::clearRequests();
        window->editor().RTB1_OLEDragDrop({path});
        QCOMPARE(window->Text(), QStringLiteral("kept  text \uFFFC"));
        QCOMPARE(picturesOf(window).size(), 1);
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().text,
                 QStringLiteral("letter.rtf was loaded without 1 of its pictures: larger than a "
                                "note holds (16 MB a picture and 64 MB a note, at 4 bytes a "
                                "pixel)."));
    }

    // A note with a picture is saved to a note file and opened again with the picture, its
    // pixels and the size it is shown at.
    void pictureSurvivesSaveAndReopen()
    {
        const QImage picture = TestPictures::picture(40, 30);
        auto* data = new QMimeData;
        data->setData(QStringLiteral("image/png"), TestPictures::encoded(picture));
        QGuiApplication::clipboard()->setMimeData(data);
        frmMain* window = newNote(kKnownText);
        select(window, 11, 0);
        window->editor().mnuEdit_Click(int(EditItem::Paste));
        window->grab().save(m_folder.filePath(QStringLiteral("picture.png")));
        frmMain* reopened = saveAndReopen(window, QStringLiteral("picture.not"));
        QVERIFY(reopened);
        QCOMPARE(reopened->Text(), window->Text());
        QCOMPARE(picturesOf(reopened), QList<QImage>{picture});
        compareFormatting(window->RTB1()->document(), reopened->RTB1()->document());
    }

    void droppedTextWithoutFilesIsIgnored()
    {
        frmMain* window = newNote(kKnownText);
        QMimeData data;
        data.setText(QStringLiteral("dragged words"));
        QVERIFY(!dropOn(window, data));
        QCOMPARE(window->Text(), kKnownText);
    }
};

JOTTEX_GUI_TEST_MAIN(TestEditing)
#include "tst_editing.moc"
