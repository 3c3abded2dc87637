#include "NoteWindows.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "dialogs/DialogSeam.h"
#include "dialogs/frmSpellCheck.h"
#include "richtext/Pictures.h"
#include "shell/Paths.h"
#include "window/NoteAppearance.h"
#include "window/NoteHandoff.h"
#include "window/NoteMenus.h"
#include "window/NoteTextEdit.h"
#include "window/clsSendMail.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {
QString runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& pdf)
{
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// Each page's text, as pdftotext separates pages with form feeds.
QStringList pdfPageTexts(const QString& pdf)
{
    QStringList pages =
        runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    for (QString& page : pages)
        page = page.simplified();
    return pages;
}

// Paragraphs of plain text; a paragraph starting with "\f" begins a new page.
void fillNote(frmMain* window, const QStringList& paragraphs)
{
    QTextCursor cursor(window->RTB1()->document());
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        QString text = paragraphs.at(i);
        QTextBlockFormat block;
        if (text.startsWith(QLatin1Char('\f'))) {
            block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            text.remove(0, 1);
        }
        if (i > 0)
            cursor.insertBlock(block);
        else
            cursor.setBlockFormat(block);
        cursor.insertText(text);
    }
}

bool isBold(const QTextDocument* document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument*>(document)); // NOLINT: a probe, no change
    cursor.setPosition(position + 1);
    return cursor.charFormat().fontWeight() >= QFont::Bold;
}

bool completionBoxShown()
{
    for (const DialogSeam::Request& request : DialogSeam::requests()) {
        if (request.kind == DialogSeam::Kind::MessageBox &&
            request.text == QStringLiteral("Spell Check has been completed!") &&
            request.title == QStringLiteral("Spell Check"))
            return true;
    }
    return false;
}
} // namespace

class TestHandOff : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    static frmMain* newNote() { return NoteWindows::newNote(); }

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        DialogSeam::arm();
    }

    void cleanup() { NoteWindows::deleteAll(); }

    void printsPages_data()
    {
        QTest::addColumn<QStringList>("paragraphs");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QStringList>("pageTexts"); // empty with no confirmation: no file
        QTest::newRow("one page") << QStringList{"First line", "Second line"} << true
                                  << QStringList{"First line Second line"};
        QTest::newRow("three pages") << QStringList{"Page one", "\fPage two", "\fPage three"}
                                     << true << QStringList{"Page one", "Page two", "Page three"};
        QTest::newRow("empty note") << QStringList{} << true << QStringList{""};
        QTest::newRow("cancelled") << QStringList{"Never printed"} << false << QStringList{};
    }

    void printsPages()
    {
        QFETCH(QStringList, paragraphs);
        QFETCH(bool, confirmed);
        QFETCH(QStringList, pageTexts);
        frmMain* window = newNote();
        fillNote(window, paragraphs);
        const QString pdf = m_folder.filePath(QString::fromLatin1(QTest::currentDataTag()) +
                                              QStringLiteral(".pdf"));
        DialogSeam::queuePrinterAnswer({confirmed, pdf});
        window->triggerMenuItem(NoteMenus::mnuPrint);
        QCOMPARE(DialogSeam::requests().first().kind, DialogSeam::Kind::Printer);
        if (!confirmed) {
            QVERIFY(!QFile::exists(pdf));
            return;
        }
        QCOMPARE(pdfPages(pdf), pageTexts.size());
        QCOMPARE(pdfPageTexts(pdf).mid(0, pageTexts.size()), pageTexts);
    }

    // Text that flows over several pages: every line printed once, in order.
    void longNoteFlowsOverPages()
    {
        frmMain* window = newNote();
        QStringList lines;
        for (int i = 1; i <= 150; ++i)
            lines << QStringLiteral("Line %1").arg(i);
        fillNote(window, lines);
        const QString pdf = m_folder.filePath(QStringLiteral("long.pdf"));
        DialogSeam::queuePrinterAnswer({true, pdf});
        window->handoff().PrintNote();
        QVERIFY(pdfPages(pdf) >= 3);
        QCOMPARE(pdfPageTexts(pdf).join(QLatin1Char(' ')), lines.join(QLatin1Char(' ')));
    }

    // The text starts one inch in from the paper's left and top edges, keeps its bold face,
    // and the note's colour stays off the paper.
    void printsTextNotTheNoteColour()
    {
        frmMain* window = newNote();
        QVERIFY(window->appearance().SetNoteColor(QStringLiteral("blue"), true).ok());
        fillNote(window, {QStringLiteral("Margin")});
        QTextCursor cursor(window->RTB1()->document());
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(QStringLiteral(" Strong"), bold);
        const QString pdf = m_folder.filePath(QStringLiteral("margin.pdf"));
        DialogSeam::queuePrinterAnswer({true, pdf});
        window->handoff().PrintNote();
        const QString boxes = runTool(QStringLiteral("pdftotext"),
                                      {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        const QRegularExpressionMatch word =
            QRegularExpression(QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>Margin"))
                .match(boxes);
        QVERIFY2(word.hasMatch(), qPrintable(boxes));
        QVERIFY(qAbs(word.captured(1).toDouble() - 72.0) < 2.0); // points
        QVERIFY(word.captured(2).toDouble() >= 72.0 && word.captured(2).toDouble() < 80.0);
        QVERIFY(runTool(QStringLiteral("pdffonts"), {pdf}).contains(QStringLiteral("Bold")));
        const QString image = m_folder.filePath(QStringLiteral("page"));
        runTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), pdf, image});
        const QImage page(image + QStringLiteral(".png"));
        QVERIFY(!page.isNull());
        QCOMPARE(page.pixelColor(page.width() / 2, page.height() / 2), QColor(Qt::white));
    }

    // A picture in the note is printed, in full: the page holds it at its own pixels.
    void printsPictures()
    {
        frmMain* window = newNote();
        fillNote(window, {QStringLiteral("Before")});
        QTextCursor cursor(window->RTB1()->document());
        cursor.movePosition(QTextCursor::End);
        RichText::PictureResult result = RichText::PictureResult::Unreadable;
        cursor.insertImage(RichText::addPicture(window->RTB1()->document(),
                                                TestPictures::picture(48, 36), &result));
        QCOMPARE(result, RichText::PictureResult::Taken);
        const QString pdf = m_folder.filePath(QStringLiteral("picture.pdf"));
        DialogSeam::queuePrinterAnswer({true, pdf});
        window->handoff().PrintNote();
        const QStringList images =
            runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        // A heading, a rule, then one line per image: page, number, type, width, height, ...
        QCOMPARE(images.size(), 3);
        const QStringList fields = images.last().simplified().split(QLatin1Char(' '));
        QCOMPARE(fields.mid(3, 2), (QStringList{QStringLiteral("48"), QStringLiteral("36")}));
    }

    void encodesAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("percent first") << "50% off"
                                       << "50%25%20off";
        QTest::newRow("line break") << "a\r\nb"
                                    << "a%0D%0Ab";
        QTest::newRow("plus stays") << "a+b=c"
                                    << "a+b%3Dc";
        QTest::newRow("all fourteen") << "% $@?/=:;&,\"#\r\n"
                                      << "%25%20%24%40%3F%2F%3D%3A%3B%26%2C%22%23%0D%0A";
        QTest::newRow("lone breaks and letters pass") << "\r\n\n\rä"
                                                      << "%0D%0A\n\rä";
    }

    void encodesAsWritten()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(EncodeMailText(text), encoded);
    }

    void spellCheckChangesInPlace()
    {
        frmMain* window = newNote();
        QTextCursor cursor(window->RTB1()->document());
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(QStringLiteral("Thiss "));
        cursor.insertText(QStringLiteral("is a"), bold);
        cursor.insertText(QStringLiteral(" tset"), QTextCharFormat());
        cursor.setPosition(8);
        window->RTB1()->setTextCursor(cursor);
        DialogSeam::queueSpellAnswer({DialogSeam::SpellAction::Change, QStringLiteral("This")});
        DialogSeam::queueSpellAnswer({DialogSeam::SpellAction::Change, QStringLiteral("test")});
        window->triggerMenuItem(NoteMenus::mnuCheckSpelling);

        QCOMPARE(window->Text(), QStringLiteral("This is a test"));
        const QTextDocument* document = window->RTB1()->document();
        QVERIFY(!isBold(document, 0));
        QVERIFY(isBold(document, 5) && isBold(document, 8));
        QVERIFY(!isBold(document, 10));
        QCOMPARE(window->RTB1()->textCursor().position(), 8);
        QCOMPARE(DialogSeam::requests().at(0).text, QStringLiteral("Thiss"));
        QCOMPARE(DialogSeam::requests().at(1).text, QStringLiteral("tset"));
        QVERIFY(completionBoxShown());
    }

    // With a selection only its words are checked; the caret ends at the selection's start.
    void spellCheckKeepsToTheSelection()
    {
        frmMain* window = newNote();
        fillNote(window, {QStringLiteral("Thiss is a tset")});
        QTextCursor cursor = window->RTB1()->document()->find(QStringLiteral("a tset"));
        window->RTB1()->setTextCursor(cursor);
        DialogSeam::queueSpellAnswer({DialogSeam::SpellAction::Change, QStringLiteral("test")});
        window->triggerMenuItem(NoteMenus::mnuSelectSpelling);
        QCOMPARE(window->Text(), QStringLiteral("Thiss is a test"));
        QCOMPARE(DialogSeam::requests().first().text, QStringLiteral("tset"));
        QCOMPARE(window->RTB1()->textCursor().position(), 9);
        QVERIFY(!window->RTB1()->textCursor().hasSelection());
        QVERIFY(completionBoxShown());
    }

    void spellCheckAddsToTheCustomList()
    {
        frmMain* window = newNote();
        fillNote(window, {QStringLiteral("Jottexy here, and Jottexy again")});
        DialogSeam::queueSpellAnswer({DialogSeam::SpellAction::Add, {}});
        window->triggerMenuItem(NoteMenus::mnuCheckSpelling);
        const QString custom = QDir(AppPaths::appDirectory()).filePath("custom.dct");
        QCOMPARE(TestEnvironment::readFile(custom), QByteArray("Jottexy\n"));
        // Asked once: the added word is known from then on.
        QCOMPARE(DialogSeam::requests().size(), 2);
        QVERIFY(completionBoxShown());
    }

    // The dialog shows the word in its paragraph, the first suggestion ready to change to, and
    // its six buttons; a picture of it is kept beside the build.
    void spellDialogShowsTheWordInContext()
    {
        frmSpellCheck dialog(QStringLiteral("tset"), QStringLiteral("This is a tset of words"), 10,
                             {QStringLiteral("test"), QStringLiteral("set")}, nullptr);
        dialog.show();
        QCOMPARE(dialog.findChild<QLineEdit*>("txtChangeTo")->text(), QStringLiteral("test"));
        QCOMPARE(dialog.findChild<QListWidget*>("lstSuggestions")->count(), 2);
        QCOMPARE(dialog.findChild<QTextBrowser*>("txtContext")->toPlainText(),
                 QStringLiteral("This is a tset of words"));
        QCOMPARE(dialog.findChildren<QPushButton*>().size(), 6);
        QVERIFY(dialog.grab().save(QStringLiteral(JOTTEX_BINARY_DIR "/spell_dialog.png")));
        dialog.findChild<QListWidget*>("lstSuggestions")->setCurrentRow(1);
        dialog.findChild<QPushButton*>("cmdChangeAll")->click();
        QCOMPARE(dialog.answer().action, DialogSeam::SpellAction::ChangeAll);
        QCOMPARE(dialog.answer().replacement, QStringLiteral("set"));
    }
};

JOTTEX_GUI_TEST_MAIN(TestHandOff)
#include "tst_handoff.moc"
