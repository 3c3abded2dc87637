#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "shell/Paths.h"
#include "window/NoteMenus.h"
#include "window/NoteTextEdit.h"
#include "window/clsSendMail.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextBlock>
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

    static frmMain* newNote()
    {
        frmMain* window = frmMain::create(NoteOrigin::NewNote);
        window->show();
        return window;
    }

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        DialogSeam::arm();
    }

    void cleanup()
    {
        for (frmMain* window : frmMain::openWindows()) {
            window->setAttribute(Qt::WA_DeleteOnClose, false);
            delete window;
        }
    }

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
        window->PrintNote();
        QVERIFY(pdfPages(pdf) >= 3);
        QCOMPARE(pdfPageTexts(pdf).join(QLatin1Char(' ')), lines.join(QLatin1Char(' ')));
    }

    // The text starts one inch in from the paper's left and top edges.
    void marginsCountFromThePaperEdge()
    {
        frmMain* window = newNote();
        fillNote(window, {QStringLiteral("Margin")});
        const QString pdf = m_folder.filePath(QStringLiteral("margin.pdf"));
        DialogSeam::queuePrinterAnswer({true, pdf});
        window->PrintNote();
        const QString html = runTool(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        const QRegularExpressionMatch word =
            QRegularExpression(QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>Margin"))
                .match(html);
        QVERIFY2(word.hasMatch(), qPrintable(html));
        QVERIFY(qAbs(word.captured(1).toDouble() - 72.0) < 2.0); // points
        QVERIFY(word.captured(2).toDouble() >= 72.0 && word.captured(2).toDouble() < 80.0);
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
};

JOTTEX_GUI_TEST_MAIN(TestHandOff)
#include "tst_handoff.moc"
