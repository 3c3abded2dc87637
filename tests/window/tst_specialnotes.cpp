#include "NoteWindows.h"
#include "RealDialogs.h"
#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "richtext/LiveText.h"
#include "shell/Clock.h"
#include "special/frmAlert.h"
#include "special/modSpecialNote.h"
#include "window/MenuFamilies.h"
#include "window/NoteEditor.h"
#include "window/NoteTextEdit.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QWindow>
#include <QtTest>

// The special-note engine as the menus drive it: what each kind arms, locks and writes, how
// notes switch kinds and stop, and the clipboard notes following in-process copies.
class TestSpecialNotes : public QObject {
    Q_OBJECT

private:
    static frmMain* newNote() { return NoteWindows::newNote(); }

    static QString text(frmMain* window) { return window->RTB1()->Text(); }

    static bool saveItemsEnabled(frmMain* window)
    {
        return window->menuItem(NoteMenus::mnuSave, 0)->isEnabled() &&
               window->menuItem(NoteMenus::mnuSave, 1)->isEnabled();
    }

    static void copy(const QString& copied) { QGuiApplication::clipboard()->setText(copied); }

    static int logEntries(frmMain* window)
    {
        return int(text(window).count(QStringLiteral("\r\n"))) - 1; // less the header's
    }

    static bool iconShown(frmMain* window, const char* name)
    {
        return window->findChild<QWidget*>(QString::fromLatin1(name))->isVisible();
    }

    static QList<frmAlert*> alerts()
    {
        QList<frmAlert*> found;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* alert = qobject_cast<frmAlert*>(top); alert && alert->isVisible())
                found.append(alert);
        return found;
    }

    static void tickAt(frmMain* window, QTime time)
    {
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), time));
        window->specialNotes().tick();
    }

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        DialogSeam::arm();
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(15, 7, 9)));
        QGuiApplication::clipboard()->clear();
    }

    void cleanup() { NoteWindows::deleteAll(); }

    void eachKindArmsLocksAndDisablesSaving_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("ticking");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("opening");
        QTest::newRow("time") << NoteMenus::mnuSNTime << 1 << true << 1000 << "Time: ";
        QTest::newRow("memory") << NoteMenus::mnuSNComputerMemory << 2 << true << 65535
                                << "Memory:";
        QTest::newRow("drives") << NoteMenus::mnuSNDrives << 3 << true << 65535 << "Drive(s):";
        QTest::newRow("viewer") << NoteMenus::mnuSNClipboard << 5 << false << 0
                                << "Clipboard Viewer:";
        QTest::newRow("log") << NoteMenus::mnuSNClipboardLog << 6 << false << 0 << "Clipboard Log:";
    }

    void eachKindArmsLocksAndDisablesSaving()
    {
        QFETCH(QString, item);
        QFETCH(int, kind);
        QFETCH(bool, ticking);
        QFETCH(int, interval);
        QFETCH(QString, opening);
        frmMain* window = newNote();
        window->triggerMenuItem(item.toLatin1().constData());
        QCOMPARE(int(window->specialNotes().kind()), kind);
        QCOMPARE(window->specialNotes().timer()->isActive(), ticking);
        QCOMPARE(window->specialNotes().timer()->interval(), interval);
        QVERIFY(text(window).startsWith(opening));
        // The window list names the note by its header.
        QTRY_COMPARE(window->windowTitle(), opening.trimmed() + QStringLiteral("[*]"));
        QVERIFY(window->RTB1()->isReadOnly());
        QVERIFY(!window->menuItem(NoteMenus::mnuSave, 0)->isEnabled());
        QVERIFY(!window->menuItem(NoteMenus::mnuSave, 1)->isEnabled());
        QVERIFY(window->menuItem(NoteMenus::mnuSave, 2)->isEnabled());

        // Typing and the save keys are refused while the program writes the text.
        const QString before = text(window);
        QTest::keyClicks(window->RTB1(), QStringLiteral("typed"));
        QTest::keyClick(window->RTB1(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(text(window), before);
        QVERIFY(DialogSeam::requests().isEmpty());

        window->triggerMenuItem(NoteMenus::mnuClearSpecial);
        QVERIFY(!window->specialNotes().timer()->isActive());
        QVERIFY(!window->RTB1()->isReadOnly());
        QVERIFY(saveItemsEnabled(window));
        QCOMPARE(text(window), before);
        QCOMPARE(int(window->specialNotes().kind()), kind); // the last kind is kept
        QTest::keyClicks(window->RTB1(), QStringLiteral("x"));
        QVERIFY(text(window).contains(QLatin1Char('x')));
    }

    // The program's writes never go on the undo stack: Undo from either menu or the key
    // leaves a special note as it shows, and after Stop the user's own typing undoes again.
    void undoLeavesASpecialNoteAsItShows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("time") << NoteMenus::mnuSNTime;
        QTest::newRow("memory") << NoteMenus::mnuSNComputerMemory;
        QTest::newRow("log") << NoteMenus::mnuSNClipboardLog;
    }

    void undoLeavesASpecialNoteAsItShows()
    {
        QFETCH(QString, item);
        copy(QStringLiteral("copied"));
        frmMain* window = newNote();
        QTest::keyClicks(window->RTB1(), QStringLiteral("mine"));
        window->triggerMenuItem(item.toLatin1().constData());
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(15, 7, 10)));
        window->specialNotes().tick();
        copy(QStringLiteral("copied again"));
        const QString shown = text(window);
        QVERIFY(!window->RTB1()->document()->isUndoAvailable());
        window->editor().mnuEdit_Click(int(EditItem::Undo));
        window->editor().mnuSelectEdit_Click(int(SelectEditItem::Undo));
        QTest::keyClick(window->RTB1(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text(window), shown);

        window->triggerMenuItem(NoteMenus::mnuClearSpecial);
        window->RTB1()->moveCursor(QTextCursor::End);
        QTest::keyClicks(window->RTB1(), QStringLiteral("x"));
        window->editor().mnuEdit_Click(int(EditItem::Undo));
        QCOMPARE(text(window), shown);
    }

    // Text drawn whole shows from its top at every refresh, however small the note.
    void redrawnNotesShowTheirHeaderAtTheTop_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("header");
        QTest::newRow("memory") << NoteMenus::mnuSNComputerMemory << "Memory:";
        QTest::newRow("drives") << NoteMenus::mnuSNDrives << "Drive(s):";
    }

    void redrawnNotesShowTheirHeaderAtTheTop()
    {
        QFETCH(QString, item);
        QFETCH(QString, header);
        frmMain* window = newNote();
        // Small enough that the text runs below the area whatever the machine's figures.
        window->resize(window->width(), 90);
        QScrollBar* scroll = window->RTB1()->verticalScrollBar();
        for (int draw = 0; draw < 2; ++draw) {
            if (draw == 0)
                window->triggerMenuItem(item.toLatin1().constData());
            else
                window->specialNotes().tick();
            QApplication::processEvents();
            QVERIFY(text(window).startsWith(header));
            QVERIFY2(scroll->maximum() > 0, "the text fits: nothing to scroll");
            QCOMPARE(scroll->value(), 0);
            QCOMPARE(window->RTB1()->textCursor().position(), 0);
        }
        if (const QString folder = qEnvironmentVariable("JOTTEX_SCREENSHOTS"); !folder.isEmpty())
            window->grab().save(
                folder +
                QStringLiteral("/%1-note.png").arg(QString::fromLatin1(QTest::currentDataTag())));
    }

    // The submenu is built from the kind table: its items, gaps and hidden items in place.
    void menuShowsTheKindsInOrder()
    {
        frmMain* window = newNote();
        QStringList shown;
        for (const QAction* action : window->menu(NoteMenus::mnuSpecial)->actions()) {
            if (action->isVisible())
                shown.append(action->isSeparator() ? QStringLiteral("|") : action->text());
        }
        QCOMPARE(shown, QStringList({"Time", "Reminder (alarm)", "|", "RSS Feed", "Stocks", "|",
                                     "Clipboard Viewer (text)", "Clipboard Log", "Computer Memory",
                                     "Drive Information", "|", "Stop Special Note"}));
        QCOMPARE(window->menu(NoteMenus::mnuSpecial)->actions().size(), 16);
    }

    void timeNoteTicksAndSwitchesKinds()
    {
        frmMain* window = newNote();
        window->triggerMenuItem(NoteMenus::mnuSNComputerMemory);
        window->triggerMenuItem(NoteMenus::mnuSNTime);
        QCOMPARE(text(window), QStringLiteral("Time: \r\n03:07:09 PM"));
        QCOMPARE(window->specialNotes().timer()->interval(), 1000);
        QTRY_COMPARE(window->windowTitle(), QStringLiteral("Time:[*]"));

        // Each tick rewrites the note; its title in the window list stays still.
        QSignalSpy titles(window, &QWidget::windowTitleChanged);
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(15, 7, 10)));
        QTRY_COMPARE_WITH_TIMEOUT(text(window), QStringLiteral("Time: \r\n03:07:10 PM"), 3000);
        QCoreApplication::processEvents();
        QCOMPARE(titles.size(), 0);
        // The rewritten text is a change of the note.
        QCOMPARE(window->lblCaption()->text(), QStringLiteral("Jottex *"));

        window->triggerMenuItem(NoteMenus::mnuClearSpecial);
        QVERIFY(!window->specialNotes().timer()->isActive());
        QCOMPARE(text(window), QStringLiteral("Time: \r\n03:07:10 PM"));
        // Stopping never hides unsaved text from the closing prompt.
        QCOMPARE(window->lblCaption()->text(), QStringLiteral("Jottex *"));
    }

    void clearAllEndsTheSpecialNote()
    {
        frmMain* window = newNote();
        window->triggerMenuItem(NoteMenus::mnuSNTime);
        window->specialNotes().reset();
        QVERIFY(!window->specialNotes().timer()->isActive());
        QVERIFY(saveItemsEnabled(window));
    }

    void promptsStoreTheAnswerAndEmptyStartsNothing()
    {
        frmMain* window = newNote();
        window->RTB1()->setPlainText(QStringLiteral("mine"));
        window->triggerMenuItem(NoteMenus::mnuSNRSSFeed); // cancelled
        QCOMPARE(text(window), QStringLiteral("mine"));
        QCOMPARE(int(window->specialNotes().kind()), 0);
        QVERIFY(saveItemsEnabled(window));
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().title, QStringLiteral("RSS Feed URL"));

        DialogSeam::queueInputAnswer(QStringLiteral("ibm"));
        window->triggerMenuItem(NoteMenus::mnuSNStockQuote);
        QCOMPARE(window->note().StockSymbol, QStringLiteral("ibm"));
        QVERIFY(text(window).startsWith(QStringLiteral("Stock Symbol: ibm\r\n")));
        QCOMPARE(int(window->specialNotes().kind()), 7);
        QCOMPARE(window->specialNotes().timer()->interval(), 65535);
    }

    void reminderGoesOffOnceAndIsReArmedBySettingItAgain()
    {
        frmMain* window = newNote();
        window->RTB1()->setPlainText(QStringLiteral("call the dentist"));
        window->MinimizeNote();
        DialogSeam::queueTimeAnswer(QTime(15, 30, 0));
        window->triggerMenuItem(NoteMenus::mnuSNReminder);
        QCOMPARE(window->note().Reminder, QStringLiteral("03:30:00 PM"));
        QVERIFY(iconShown(window, "imgIconReminder(1)"));
        QVERIFY(!iconShown(window, "imgIcon"));
        QCOMPARE(window->specialNotes().timer()->interval(), 6000);
        QVERIFY(!window->RTB1()->isReadOnly()); // a reminder's text stays the user's
        QCOMPARE(window->RTB1()->toPlainText(), QStringLiteral("call the dentist"));

        tickAt(window, QTime(15, 30, 0));
        QVERIFY(alerts().isEmpty());
        tickAt(window, QTime(15, 30, 3));
        QCOMPARE(alerts().size(), 1);
        QVERIFY(!window->isMinimizedToStrip());
        QVERIFY(iconShown(window, "imgIconReminder(0)"));
        QVERIFY(!iconShown(window, "imgIconReminder(1)"));
        tickAt(window, QTime(15, 30, 9));
        QCOMPARE(alerts().size(), 1);
        QVERIFY(window->specialNotes().timer()->isActive());

        DialogSeam::queueTimeAnswer(QTime(15, 31, 0));
        window->triggerMenuItem(NoteMenus::mnuSNReminder);
        QVERIFY(iconShown(window, "imgIconReminder(1)"));
        tickAt(window, QTime(15, 31, 5));
        QCOMPARE(alerts().size(), 2);

        window->triggerMenuItem(NoteMenus::mnuClearSpecial);
        QVERIFY(iconShown(window, "imgIcon"));
        QVERIFY(!iconShown(window, "imgIconReminder(0)"));
        qDeleteAll(alerts());
    }

    // The user closes the real time prompt by its window's close button, on a fresh note and
    // on one whose reminder was waiting: no time, no test, and nothing that looks set.
    void reminderPromptClosedLeavesNoWaitingReminder_data()
    {
        QTest::addColumn<bool>("wasSet");
        QTest::newRow("fresh note") << false;
        QTest::newRow("reminder waiting") << true;
    }

    void reminderPromptClosedLeavesNoWaitingReminder()
    {
        QFETCH(bool, wasSet);
        frmMain* window = newNote();
        if (wasSet) {
            DialogSeam::queueTimeAnswer(QTime(15, 30, 0));
            window->triggerMenuItem(NoteMenus::mnuSNReminder);
            QVERIFY(iconShown(window, "imgIconReminder(1)"));
        }
        DialogSeam::disarm();
        bool closed = false;
        QTimer::singleShot(0, [&closed] {
            if (QDialog* prompt = RealDialogs::waitForDialog())
                closed = prompt->windowTitle() == QLatin1String("Reminder Time") &&
                         prompt->windowHandle()->close();
        });
        window->triggerMenuItem(NoteMenus::mnuSNReminder);
        QVERIFY(closed);
        QCOMPARE(window->note().Reminder, QString());
        QVERIFY(!window->specialNotes().timer()->isActive());
        QVERIFY(TestEnvironment::logLines().last().contains(
            QStringLiteral("frmMain: DisplaySpecialNote")));
        QVERIFY(iconShown(window, "imgIcon"));
        QVERIFY(!iconShown(window, "imgIconReminder(1)"));
        QVERIFY(!iconShown(window, "imgIconReminder(0)"));
    }

    void viewerShowsTheLastTextAndIgnoresPictures()
    {
        copy(QStringLiteral("first"));
        frmMain* window = newNote();
        window->triggerMenuItem(NoteMenus::mnuSNClipboard);
        QCOMPARE(text(window), QStringLiteral("Clipboard Viewer:\r\nfirst"));
        copy(QStringLiteral("second\nline"));
        QCOMPARE(text(window), QStringLiteral("Clipboard Viewer:\r\nsecond\r\nline"));
        window->triggerMenuItem(NoteMenus::mnuCaptionType, 2);
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(picture);
        QCOMPARE(text(window), QStringLiteral("Clipboard Viewer:\r\n"));
        // The count kept up with the text leaves the header out.
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("Character Count: 0"));
    }

    void logAddsOneEntryPerNewTextAndNotesWatchApart()
    {
        copy(QStringLiteral("alpha"));
        frmMain* log = newNote();
        log->triggerMenuItem(NoteMenus::mnuSNClipboardLog);
        frmMain* viewer = newNote();
        viewer->triggerMenuItem(NoteMenus::mnuSNClipboard);
        QCOMPARE(logEntries(log), 1);
        QVERIFY(text(log).endsWith(QStringLiteral("12/6/2026 3:07:09 PM: alpha\r\n")));

        copy(QStringLiteral("alpha"));
        copy(QStringLiteral("ALPHA"));
        QCOMPARE(logEntries(log), 1);
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(15, 8, 0)));
        copy(QStringLiteral("beta"));
        QCOMPARE(logEntries(log), 2);
        QVERIFY(text(log).endsWith(QStringLiteral("12/6/2026 3:08:00 PM: beta\r\n")));

        // The entry: an 8 point bold stamp, then the text in 10 point.
        QTextCursor cursor(log->RTB1()->document()->lastBlock().previous());
        cursor.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(cursor.charFormat().fontPointSize(), 8.0);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        cursor.movePosition(QTextCursor::EndOfBlock);
        QCOMPARE(cursor.charFormat().fontPointSize(), 10.0);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));

        // Stopping one note leaves the other informed; a switched note writes nothing.
        log->triggerMenuItem(NoteMenus::mnuClearSpecial);
        copy(QStringLiteral("gamma"));
        QCOMPARE(logEntries(log), 2);
        QCOMPARE(text(viewer), QStringLiteral("Clipboard Viewer:\r\ngamma"));
        viewer->triggerMenuItem(NoteMenus::mnuSNComputerMemory);
        const QString memory = text(viewer);
        copy(QStringLiteral("delta"));
        QCOMPARE(text(viewer), memory);
    }

    // A copy longer than a note shows: the viewer shows its start, the log its end, each with a
    // line that says so; a full log leaves out its oldest copies and keeps the newest.
    void clipboardNotesStayWithinWhatANoteShows()
    {
        const QString longCopy = QStringLiteral("first line\n") +
                                 QStringLiteral("m ").repeated(LiveText::kMaxCharacters / 2) +
                                 QStringLiteral("\nlast line");
        copy(longCopy);
        frmMain* viewer = newNote();
        viewer->triggerMenuItem(NoteMenus::mnuSNClipboard);
        frmMain* log = newNote();
        log->triggerMenuItem(NoteMenus::mnuSNClipboardLog);
        for (frmMain* window : {viewer, log})
            QVERIFY(LiveText::fits(LiveText::sizeOf(window->RTB1()->document())));
        QVERIFY(text(viewer).startsWith(QStringLiteral("Clipboard Viewer:\r\nfirst line\r\n")));
        QVERIFY(text(viewer).endsWith(QStringLiteral("this is its start.)")));
        QVERIFY(!text(viewer).contains(QStringLiteral("last line")));
        const QString notice = QStringLiteral(
            "(Older copies were left out: a note shows 20,000 lines, 200,000 characters and "
            "words of 2,000 characters.)");
        QVERIFY(text(log).startsWith(QStringLiteral("Clipboard Log:\r\n") + notice));
        // Whole paragraphs where one fits: the long middle one is left out too.
        QVERIFY(text(log).endsWith(QStringLiteral("PM: last line\r\n")));
        QVERIFY(!text(log).contains(QStringLiteral("first line")));

        // A word longer than a line can be broken in costs the layout its square: the notes
        // show it broken into parts.
        copy(QString(2 * LiveText::kMaxWord + 1, QLatin1Char('w')));
        const QString part(LiveText::kMaxWord, QLatin1Char('w'));
        QCOMPARE(text(viewer), QStringLiteral("Clipboard Viewer:\r\n%1\r\n%1\r\nw").arg(part));
        QVERIFY(text(log).endsWith(QStringLiteral("\r\nw\r\n")));

        // Many short copies fill the log again: the oldest go, the newest stay, the header and
        // the notice stay on top.
        constexpr int kLinesPerCopy = 100;
        const int copies = int(LiveText::kMaxParagraphs) / kLinesPerCopy + 2;
        for (int number = 0; number < copies; ++number)
            copy(QStringLiteral("copy %1\n").arg(number) +
                 QStringLiteral("line\n").repeated(kLinesPerCopy - 1));
        QVERIFY(LiveText::fits(LiveText::sizeOf(log->RTB1()->document())));
        QVERIFY(text(log).startsWith(QStringLiteral("Clipboard Log:\r\n") + notice +
                                     QStringLiteral("\r\n")));
        QVERIFY(text(log).contains(QStringLiteral(": copy %1\r\n").arg(copies - 1)));
        QVERIFY(!text(log).contains(QStringLiteral(": copy 0\r\n")));
        QVERIFY(!text(log).contains(QStringLiteral("last line")));
        QCOMPARE(text(log).count(notice), 1);
    }
};

JOTTEX_GUI_TEST_MAIN(TestSpecialNotes)
#include "tst_specialnotes.moc"
