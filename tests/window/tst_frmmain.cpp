#include "MarkingTranslator.h"
#include "NoteWindows.h"
#include "Samples.h"
#include "TestEnvironment.h"
#include "TestSeams.h"
#include "dialogs/DialogSeam.h"
#include "richtext/LiveText.h"
#include "richtext/RichText.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Paths.h"
#include "shell/Settings.h"
#include "store/modNote.h"
#include "window/Artwork.h"
#include "window/NoteAppearance.h"
#include "window/NoteEditor.h"
#include "window/NoteTextEdit.h"
#include "window/NoteTitle.h"
#include "window/OpenNotes.h"
#include "window/frmMain.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QtTest>

// Takes the mail links the desktop would open; the offscreen platform opens none itself.
class MailCatcher : public QObject {
    Q_OBJECT

public:
    MailCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open"); }
    ~MailCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }
    qsizetype count = 0;

public slots:
    void open(const QUrl&) { ++count; }
};

class TestFrmMain : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    static frmMain* newNote() { return NoteWindows::newNote(); }

    static QString setting(modMain::Setting id)
    {
        return modMain::ReadSetting(id, QStringLiteral("<none>"));
    }

    static void type(frmMain* window, const QString& text)
    {
        window->RTB1()->setFocus();
        QTest::keyClicks(window->RTB1(), text);
    }

    static QString caption(frmMain* window) { return window->lblCaption()->text(); }

    // The title as the desktop shows it, less the mark a changed note adds at its end.
    static QString shownTitle(frmMain* window)
    {
        QString title = window->windowHandle()->title();
        if (window->isWindowModified() && title.endsWith(QLatin1Char('*')))
            title.chop(1);
        return title;
    }

    // What an item or a key did to a note set up by prepareForKeys: what can be seen of it.
    struct Outcome {
        QString text;
        qsizetype windows = 0;
        QList<int> dialogs; // the kinds of the dialogs asked, in order
        qsizetype openedUrls = 0;
        qsizetype mails = 0;
        QString clipboard;
        bool operator==(const Outcome&) const = default;
    };

    MailCatcher m_mail;

    // A note with "world" of "hello world" selected, the clipboard holding "plain" and no
    // dialog asked yet.
    static frmMain* prepareForKeys()
    {
        NoteWindows::deleteAll();
        DialogSeam::clearRequests();
        QGuiApplication::clipboard()->setText(QStringLiteral("plain"));
        frmMain* window = newNote();
        window->RTB1()->setFocus();
        QTextCursor cursor(window->RTB1()->document());
        cursor.insertText(QStringLiteral("hello world"));
        window->RTB1()->setTextCursor(window->RTB1()->document()->find(QStringLiteral("world")));
        return window;
    }

    // Mails and opened addresses count from the counts in since.
    Outcome outcome(frmMain* window, const TestSeams& seams, const Outcome& since) const
    {
        Outcome seen;
        seen.mails = m_mail.count - since.mails;
        seen.text = window->RTB1()->toPlainText();
        seen.windows = frmMain::openWindows().size();
        for (const DialogSeam::Request& request : DialogSeam::requests())
            seen.dialogs << int(request.kind);
        seen.openedUrls = seams.openedUrls().size() - since.openedUrls;
        seen.clipboard = QGuiApplication::clipboard()->text();
        return seen;
    }

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(9, 21, 58)));
    }

    void cleanup() { NoteWindows::deleteAll(); }

    void builtInDefaultsIgnoreStoredSettings()
    {
        (void)modMain::WriteSetting(modMain::Setting::Color, QStringLiteral("blue"));
        (void)modMain::WriteSetting(modMain::Setting::Width, QStringLiteral("6000"));
        frmMain* window = newNote();
        QCOMPARE(window->twipsGeometry().size(), QSize(2325, 2085));
        QCOMPARE(window->note().Color, QStringLiteral("yellow"));
        QCOMPARE(window->RTB1()->font().family(), QStringLiteral("Comic Sans MS"));
        QCOMPARE(window->note().FontSize, 10);
        QCOMPARE(window->note().Alpha, 255);
        QVERIFY(window->note().IsOnTop);
        QVERIFY(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!window->menuItem(NoteMenus::mnuSaveSettings)->isChecked());
        QVERIFY(window->menuItem(NoteMenus::mnuCaptionType, 0)->isChecked());
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("12/6/2026 9:21:58 AM"));
        QVERIFY(window->menuItem(NoteMenus::mnuAutoSave)->isChecked());
        QVERIFY(window->menuItem(NoteMenus::mnuNewNoteSaveOnClose)->isChecked());
    }

    void settingsPathAppliesStoredValues()
    {
        using modMain::Setting;
        const std::pair<Setting, const char*> stored[] = {
            {Setting::SaveSetting, "true"},
            {Setting::Color, "peach"},
            {Setting::IsOnTop, "false"},
            {Setting::Width, "4005"},
            {Setting::Height, "3000"},
            {Setting::Left, "600"},
            {Setting::Top, "450"},
            {Setting::CaptionType, "1"},
            {Setting::DefaultFontSize, "14"},
            {Setting::FontName, "Verdana"},
            {Setting::AutoSave, "False"},
            {Setting::Alpha, "abc"},
        };
        for (const auto& [id, text] : stored)
            (void)modMain::WriteSetting(id, QString::fromLatin1(text));
        frmMain* window = newNote();
        QCOMPARE(window->twipsGeometry(), QRect(600, 450, 4005, 3000));
        QCOMPARE(window->note().Color, QStringLiteral("peach"));
        QVERIFY(!window->note().IsOnTop);
        QVERIFY(!window->menuItem(NoteMenus::mnuTop)->isChecked());
        QVERIFY(window->menuItem(NoteMenus::mnuSaveSettings)->isChecked());
        QVERIFY(window->menuItem(NoteMenus::mnuCaptionType, 1)->isChecked());
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("Word Count: 0"));
        QVERIFY(window->menuItem(NoteMenus::mnuFontSize, 3)->isChecked());
        QCOMPARE(window->RTB1()->font().family(), QStringLiteral("Verdana"));
        QVERIFY(!window->note().AutoSave);
        QCOMPARE(window->note().Alpha, 0); // an unreadable value keeps what the field had
    }

    // A settings write that fails at close does not hold the close up, and is not lost: one
    // log line names it.
    void closeLogsFailedSettingsWrite()
    {
        frmMain* window = newNote();
        {
            TestSeams seams;
            seams.failSyncWith();
            window->close();
        }
        QVERIFY(!frmMain::openWindows().contains(window));
        QCOMPARE(setting(modMain::Setting::SaveSetting), QStringLiteral("<none>"));
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 1);
        const QString expected =
            QStringLiteral("\tfrmMain: SaveSettings\t%1\tFailed to set registry value")
                .arg(int(0x800469A9));
        QVERIFY2(log[0].contains(expected), qPrintable(log[0]));
    }

    void closeWritesSettings()
    {
        frmMain* window = newNote();
        window->close();
        QCOMPARE(setting(modMain::Setting::SaveSetting), QStringLiteral("False"));
        QCOMPARE(setting(modMain::Setting::AutoSave), QStringLiteral("True"));
        QCOMPARE(setting(modMain::Setting::SaveNewNoteOnClose), QStringLiteral("True"));
        QCOMPARE(setting(modMain::Setting::Color), QStringLiteral("<none>"));

        frmMain* second = newNote();
        second->setSizeTwips(4000, 3000);
        second->setLeftTwips(600);
        second->setTopTwips(450);
        second->triggerMenuItem(NoteMenus::mnuSaveSettings);
        QCOMPARE(setting(modMain::Setting::SaveSetting), QStringLiteral("True"));
        QCOMPARE(setting(modMain::Setting::Height), QStringLiteral("3000"));
        QCOMPARE(setting(modMain::Setting::Width), QStringLiteral("4000"));
        QCOMPARE(setting(modMain::Setting::Top), QStringLiteral("450"));
        QCOMPARE(setting(modMain::Setting::Left), QStringLiteral("600"));
        QCOMPARE(setting(modMain::Setting::CaptionType), QStringLiteral("0"));
        QCOMPARE(setting(modMain::Setting::IsOnTop), QStringLiteral("True"));
    }

    void saveSaveAsAndAppend()
    {
        frmMain* window = newNote();
        type(window, QStringLiteral("hello"));
        QCOMPARE(caption(window), QStringLiteral("Jottex *"));
        const QString path = m_folder.filePath(QStringLiteral("saved.not"));
        DialogSeam::queueFileAnswer(path);
        window->triggerMenuItem(NoteMenus::mnuSave, 0); // no file yet: asks
        QCOMPARE(caption(window), QStringLiteral("Jottex"));
        QCOMPARE(window->note().FileName, path);
        QCOMPARE(window->shownFile(), path);
        QCOMPARE(modNote::LoadNote(false, path).size(), 1);

        type(window, QStringLiteral(" again"));
        window->triggerMenuItem(NoteMenus::mnuSave, 0); // has a file: no dialog
        QCOMPARE(DialogSeam::requests().size(), 1);
        QVERIFY(
            modNote::LoadNote(false, path).first().Data.contains(QStringLiteral("hello again")));

        window->triggerMenuItem(NoteMenus::mnuCaptionType, 3);
        const QString other = m_folder.filePath(QStringLiteral("other.not"));
        DialogSeam::queueFileAnswer(other);
        window->triggerMenuItem(NoteMenus::mnuSave, 1);
        QCOMPARE(window->note().FileName, other);
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("File: other.not"));

        // Append To copies the note into another file and leaves the note as it was.
        type(window, QStringLiteral("!"));
        DialogSeam::queueFileAnswer(path);
        window->triggerMenuItem(NoteMenus::mnuSave, 2);
        QCOMPARE(modNote::LoadNote(false, path).size(), 2);
        QCOMPARE(caption(window), QStringLiteral("Jottex *"));
        QCOMPARE(window->note().FileName, other);

        // A cancelled Save As changes nothing.
        DialogSeam::queueFileCancel();
        window->triggerMenuItem(NoteMenus::mnuSave, 1);
        QCOMPARE(caption(window), QStringLiteral("Jottex *"));
        QCOMPARE(window->note().FileName, other);
    }

    void promptAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes") << int(QMessageBox::Yes) << true << true;
        QTest::newRow("no") << int(QMessageBox::No) << true << false;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false;
    }

    void promptAnswers()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        QPointer<frmMain> window = newNote();
        type(window, QStringLiteral("text"));
        const QString path = m_folder.filePath(QStringLiteral("prompt.not"));
        QFile::remove(path);
        DialogSeam::queueMessageBoxAnswer(QMessageBox::StandardButton(answer));
        DialogSeam::queueFileAnswer(path);
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window.isNull(), closes);
        QCOMPARE(QFile::exists(path), saved);
        const DialogSeam::Request prompt = DialogSeam::requests().first();
        QCOMPARE(prompt.title, QStringLiteral("Perform Save"));
        QCOMPARE(
            prompt.text,
            QStringLiteral("Changes have been made to this note.\r\nWould you like to save now?"));
        if (!closes) {
            QCOMPARE(caption(window), QStringLiteral("Jottex *"));
            QVERIFY(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        }
    }

    void autosaveAndNoPromptCases()
    {
        const QString path = m_folder.filePath(QStringLiteral("auto.not"));
        modNote::SaveNote(Samples::note(QStringLiteral("stored"), 600, 450), path);
        QPointer<frmMain> window =
            frmMain::create(NoteOrigin::NoteFile, modNote::LoadNote(false, path).first());
        window->show();
        type(window, QStringLiteral("more"));
        window->close();
        QVERIFY(DialogSeam::requests().isEmpty());
        QVERIFY(modNote::LoadNote(false, path).first().Data.contains(QStringLiteral("more")));

        frmMain* plain = newNote();
        plain->triggerMenuItem(NoteMenus::mnuNewNoteSaveOnClose);
        type(plain, QStringLiteral("not kept"));
        QCOMPARE(caption(plain), QStringLiteral("Jottex"));
        plain->close();
        QVERIFY(DialogSeam::requests().isEmpty());
    }

    void openThreeNoteFile()
    {
        const QString path = m_folder.filePath(QStringLiteral("three.not"));
        modNote::SaveNote(Samples::note(QStringLiteral("one"), 600, 450), path);
        modNote::AppendNote(Samples::note(QStringLiteral("two"), 1500, 900), path);
        modNote::AppendNote(Samples::note(QStringLiteral("three"), 3000, 1800), path);
        frmMain* window = newNote();
        window->setLeftTwips(150);
        DialogSeam::queueFileAnswer(path);
        window->triggerMenuItem(NoteMenus::mnuOpen);
        const QList<frmMain*> windows = frmMain::openWindows();
        QCOMPARE(windows.size(), 3);
        QCOMPARE(window->RTB1()->toPlainText().trimmed(), QStringLiteral("one"));
        QCOMPARE(window->twipsGeometry().size(), QSize(3345, 2865));
        QCOMPARE(window->twipsGeometry().left(), 150);
        QCOMPARE(window->note().FileName, path);
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("1/2/2020 3:04:05 AM"));
        QCOMPARE(windows[1]->twipsGeometry(), QRect(1500, 900, 3345, 2865));
        QCOMPARE(windows[2]->RTB1()->toPlainText().trimmed(), QStringLiteral("three"));
        QVERIFY(windows[1]->note().FileName.isEmpty());
        QCOMPARE(windows[1]->shownFile(), path);
    }

    void systemMenuSizes()
    {
        NoteRecord stored = Samples::note(QStringLiteral("kept"), 3000, 2000);
        stored.FileName = QStringLiteral("/x/y.not");
        frmMain* window = frmMain::create(NoteOrigin::StoredRecord, stored);
        window->show();
        window->triggerMenuItem(NoteMenus::mnuSystemNew);
        QCOMPARE(frmMain::openWindows().size(), 2);
        QCOMPARE(frmMain::openWindows().last()->twipsGeometry().topLeft(), QPoint(3200, 2200));

        window->setSizeTwips(6000, 5000);
        window->triggerMenuItem(NoteMenus::mnuSystemDefaultSize);
        QCOMPARE(window->twipsGeometry().size(), QSize(2325, 2085));

        QVERIFY(window->appearance().SetNoteColor(QStringLiteral("red"), false).ok());
        window->setSizeTwips(6000, 5000);
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
        window->triggerMenuItem(NoteMenus::mnuSystemReset);
        QCOMPARE(window->twipsGeometry().size(), QSize(2325, 2085));
        QCOMPARE(window->note().Color, QStringLiteral("yellow"));
        QVERIFY(window->menuItem(NoteMenus::mnuSetColor, 0)->isChecked());
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("12/7/2026 10:00:00 AM"));
        QVERIFY(window->shownFile().isEmpty());
    }

    void resizeLayout()
    {
        frmMain* window = newNote();
        window->setSizeTwips(300, 300);
        QCOMPARE(window->twipsGeometry().size(), QSize(500, 425));
        window->setSizeTwips(400, 2000);
        QCOMPARE(window->twipsGeometry().size(), QSize(500, 2000));
        QCOMPARE(window->RTB1()->geometry(), QRect(3, 24, 19, 87)); // 45,360 280 x 1300 twips

        window->setSizeTwips(3000, 1000);
        QCOMPARE(window->RTB1()->height(), 20); // 300 twips
        const QRect subcaption = window->lblSubCaption()->geometry();
        window->setSizeTwips(3000, 650);
        QCOMPARE(window->lblSubCaption()->geometry(), subcaption);
    }

    void minimiseAndRestore()
    {
        frmMain* window = newNote();
        window->setSizeTwips(3000, 2400);
        window->RTB1()->setPlainText(QStringLiteral("a\nb"));
        window->ToggleMinimize();
        QVERIFY(window->isMinimizedToStrip());
        QCOMPARE(window->twipsGeometry().size(), QSize(500, 425));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("imgIcon"))->toolTip(),
                 QStringLiteral("a b"));
        QVERIFY(!window->menuItem(NoteMenus::mnuSystemMinimize)->isEnabled());
        window->ToggleMinimize();
        QCOMPARE(window->twipsGeometry().size(), QSize(3000, 2400));
        QVERIFY(window->menuItem(NoteMenus::mnuSystemMinimize)->isEnabled());

        // A note made 500 twips wide by hand counts as minimised for the icon's double-click.
        window->setSizeTwips(500, 2400);
        window->ToggleMinimize();
        QCOMPARE(window->twipsGeometry().size(), QSize(3000, 2400));
    }

    void wordAndCharacterCounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("characters");
        QTest::newRow("empty") << "" << 0 << 0;
        QTest::newRow("one word") << "word" << 1 << 4;
        QTest::newRow("two words") << "two words" << 2 << 9;
        QTest::newRow("two blanks") << "two  words" << 3 << 10;
        QTest::newRow("line break") << "two\nwords" << 1 << 10;
    }

    void wordAndCharacterCounts()
    {
        QFETCH(QString, text);
        QFETCH(int, words);
        QFETCH(int, characters);
        frmMain* window = newNote();
        window->triggerMenuItem(NoteMenus::mnuCaptionType, 1);
        window->RTB1()->setPlainText(text);
        QCOMPARE(window->WordCount(), words);
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("Word Count: %1").arg(words));
        window->triggerMenuItem(NoteMenus::mnuCaptionType, 2);
        QCOMPARE(window->lblSubCaption()->text(),
                 QStringLiteral("Character Count: %1").arg(characters));
        QVERIFY(!window->menuItem(NoteMenus::mnuCaptionType, 1)->isChecked());
    }

    // A key acts when released, as the combination it was pressed as: letting go of the
    // modifier a moment before the key, or pressing one only after the key, changes nothing.
    void keyTable_data()
    {
        QTest::addColumn<int>("pressed");  // modifiers held when F6 goes down
        QTest::addColumn<int>("released"); // and when it comes up
        QTest::addColumn<QString>("inserted");
        const int none = Qt::NoModifier;
        const int shift = Qt::ShiftModifier;
        const int ctrl = Qt::ControlModifier;
        const QString general = QStringLiteral("12/6/2026 9:21:58 AM");
        const QString longDate = QStringLiteral("Sunday, December 6, 2026");
        const QString shortDate = QStringLiteral("12/6/2026");
        QTest::newRow("F6") << none << none << general;
        QTest::newRow("Shift+F6") << shift << shift << longDate;
        QTest::newRow("Shift+F6, Shift up first") << shift << none << longDate;
        QTest::newRow("Ctrl+F6") << ctrl << ctrl << shortDate;
        QTest::newRow("Ctrl+F6, Ctrl up first") << ctrl << none << shortDate;
        QTest::newRow("Ctrl+Shift+F6") << (ctrl | shift) << none << shortDate;
        QTest::newRow("F6, Shift down before it comes up") << none << shift << general;
    }

    void keyTable()
    {
        QFETCH(int, pressed);
        QFETCH(int, released);
        QFETCH(QString, inserted);
        frmMain* window = newNote();
        QTest::keyPress(window->RTB1(), Qt::Key_F6, Qt::KeyboardModifiers(pressed));
        QTest::keyRelease(window->RTB1(), Qt::Key_F6, Qt::KeyboardModifiers(released));
        QCOMPARE(window->RTB1()->toPlainText(), inserted);
    }

    // Ctrl let go of before S still saves, as xdotool's "key ctrl+s" types it.
    void ctrlSSavesWhenCtrlGoesUpFirst()
    {
        frmMain* window = newNote();
        type(window, QStringLiteral("words"));
        DialogSeam::clearRequests();
        QTest::keyPress(window->RTB1(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyRelease(window->RTB1(), Qt::Key_S, Qt::NoModifier);
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().kind, DialogSeam::Kind::SaveFile);
    }

    // Shift+F10 and the Menu key open the note's menu below the caret, wherever the pointer
    // is; with text selected, the selection's menu.
    void menuKeysOpenTheMenuAtTheCaret_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << false
                                   << QString::fromLatin1(NoteMenus::PopUpMenu);
        QTest::newRow("Menu key, text selected") << int(Qt::Key_Menu) << int(Qt::NoModifier) << true
                                                 << QString::fromLatin1(NoteMenus::PopUpSelect);
    }

    void menuKeysOpenTheMenuAtTheCaret()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, selection);
        QFETCH(QString, menu);
        frmMain* window = newNote();
        window->move(200, 150);
        type(window, QStringLiteral("first line"));
        QTest::keyClick(window->RTB1(), Qt::Key_Return);
        type(window, QStringLiteral("second"));
        if (selection)
            window->RTB1()->setTextCursor(
                window->RTB1()->document()->find(QStringLiteral("first")));
        QCursor::setPos(5, 5);
        QTest::keyClick(window->RTB1(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QMenu* shown = window->menu(menu.toLatin1().constData());
        QTRY_VERIFY(shown->isVisible());
        QCOMPARE(shown->pos(), window->RTB1()->caretMenuPoint());
        QVERIFY(window->RTB1()->rect().contains(window->RTB1()->mapFromGlobal(shown->pos())));
        shown->close();
    }

    void ctrlShiftVPastesPlainTextOnce()
    {
        frmMain* window = newNote();
        QGuiApplication::clipboard()->setText(QStringLiteral("plain"));
        QTest::keyClick(window->RTB1(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(window->RTB1()->toPlainText(), QStringLiteral("plain"));
        QTest::keyClick(window->RTB1(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(frmMain::openWindows().size(), 2);
    }

    // The key an item shows beside its caption, typed into the note's text area, does what
    // choosing the item does; one row per item that shows a key, so a new one is covered.
    void shownKeysRunTheirItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("index");
        for (const NoteMenus::Entry& entry : NoteMenus::entries()) {
            if (entry.key.key != 0) {
                const QString name = NoteMenus::objectName(entry.name, entry.index);
                QTest::newRow(qPrintable(name)) << QString::fromLatin1(entry.name) << entry.index;
            }
        }
    }

    void shownKeysRunTheirItems()
    {
        QFETCH(QString, item);
        QFETCH(int, index);
        const QByteArray name = item.toLatin1();
        TestSeams seams;
        frmMain* untouched = prepareForKeys();
        const Outcome before = outcome(untouched, seams, outcome(untouched, seams, Outcome{}));

        frmMain* chosen = prepareForKeys();
        Outcome since = outcome(chosen, seams, Outcome{});
        chosen->menuItem(name.constData(), index)->trigger();
        const Outcome byMenu = outcome(chosen, seams, since);
        QVERIFY2(!(byMenu == before), "choosing the item shows no effect to compare the key with");

        frmMain* typed = prepareForKeys();
        since = outcome(typed, seams, Outcome{});
        const QString shown = typed->menuItem(name.constData(), index)->text().section(u'\t', 1);
        const QKeySequence key = QKeySequence::fromString(shown, QKeySequence::PortableText);
        QCOMPARE(key.count(), 1);
        QTest::keyClick(typed->RTB1(), key[0].key(), key[0].keyboardModifiers());
        const Outcome byKey = outcome(typed, seams, since);
        QCOMPARE(byKey.text, byMenu.text);
        QCOMPARE(byKey.windows, byMenu.windows);
        QCOMPARE(byKey.dialogs, byMenu.dialogs);
        QCOMPARE(byKey.openedUrls, byMenu.openedUrls);
        QCOMPARE(byKey.mails, byMenu.mails);
        QCOMPARE(byKey.clipboard, byMenu.clipboard);
    }

    // Save As moves the note to the new file: the subcaption names it and the next Save
    // writes there, not to the file the note was opened from.
    void saveAsTiesTheNoteToTheNewFile()
    {
        const QString first = m_folder.filePath(QStringLiteral("first.not"));
        const QString second = m_folder.filePath(QStringLiteral("second.not"));
        QFile::remove(second);
        modNote::SaveNote(Samples::note(QStringLiteral("opened"), 600, 450), first);
        frmMain* window =
            frmMain::create(NoteOrigin::NoteFile, modNote::LoadNote(false, first).first());
        window->show();
        window->triggerMenuItem(NoteMenus::mnuCaptionType, int(CaptionKind::FileName));
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("File: first.not"));
        // A screen reader names the text area after the file the note shows.
        const auto spokenName = [window] {
            return QAccessible::queryAccessibleInterface(window->RTB1())->text(QAccessible::Name);
        };
        QCOMPARE(spokenName(), QStringLiteral("Note text, first.not"));

        DialogSeam::queueFileAnswer(second);
        window->triggerMenuItem(NoteMenus::mnuSave, int(SaveKind::SaveAs));
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("File: second.not"));
        QCOMPARE(spokenName(), QStringLiteral("Note text, second.not"));
        QCOMPARE(window->NoteFileName(), second);
        QCOMPARE(window->shownFile(), second);

        type(window, QStringLiteral(" then more"));
        QTest::keyClick(window->RTB1(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(DialogSeam::requests().size(), 1); // the Save As dialog only
        QVERIFY(modNote::LoadNote(false, second).first().Data.contains(QStringLiteral("more")));
        QVERIFY(!modNote::LoadNote(false, first).first().Data.contains(QStringLiteral("more")));
        QCOMPARE(caption(window), QStringLiteral("Jottex"));
        window->triggerMenuItem(NoteMenus::mnuSystemReset);
        QCOMPARE(spokenName(), QStringLiteral("Note text"));
    }

    void menusFollowTheirTable()
    {
        frmMain* window = newNote();
        QCOMPARE(window->menuItem(NoteMenus::mnuSave, 1)->text(), QStringLiteral("Save As"));
        QCOMPARE(window->menuItem(NoteMenus::mnuNew)->text(), QStringLiteral("&New\tCtrl+N"));
        QVERIFY(!window->menuItem(NoteMenus::mnuRecent)->isVisible());
        QVERIFY(!window->menuItem(NoteMenus::mnuSNWeather)->isVisible());
        QVERIFY(window->menuItem(NoteMenus::mnuFontNormal)->isChecked());
        QVERIFY(window->menuItem(NoteMenus::mnuTransparent, 3)->isChecked());
        QVERIFY(!window->menuItem(NoteMenus::mnuTransparentMain)->isVisible()); // offscreen
        QVERIFY(!window->menuItem(NoteMenus::mnuSave, 0)->icon().isNull());
        QVERIFY(!window->menuItem(NoteMenus::mnuTop)->icon().isNull());
        QCOMPARE(window->menu(NoteMenus::SystemMenu)->actions().size(), 7);
        QCOMPARE(window->menu(NoteMenus::PopupCaption)->actions().size(), 4);
    }

    // The menus are built on first need: what changed before shows once built, and after it a
    // click on an item and the window's own changes keep agreeing.
    void menusBuiltLateKeepEveryItemsState()
    {
        frmMain* window = newNote();
        const auto built = [window] { return !window->findChildren<QMenu*>().isEmpty(); };
        QVERIFY(!built());
        const bool autoSave = !window->note().AutoSave;
        window->triggerMenuItem(NoteMenus::mnuCaptionType, 2);
        window->triggerMenuItem(NoteMenus::mnuAutoSave);
        window->triggerMenuItem(NoteMenus::mnuTop);
        window->MinimizeNote();
        QVERIFY(window->appearance().SetNoteColor(QStringLiteral("blue"), false).ok());
        window->triggerMenuItem(NoteMenus::mnuSystemMinimize); // disabled: nothing happens
        QVERIFY(!built());

        QVERIFY(window->menu(NoteMenus::PopUpMenu));
        QVERIFY(built());
        const auto checked = [window](const char* name, int index = -1) {
            return window->menuItem(name, index)->isChecked();
        };
        QVERIFY(checked(NoteMenus::mnuCaptionType, 2) && !checked(NoteMenus::mnuCaptionType, 0));
        QCOMPARE(checked(NoteMenus::mnuAutoSave), autoSave);
        QVERIFY(!checked(NoteMenus::mnuTop));
        QVERIFY(checked(NoteMenus::mnuSetColor, 1) && !checked(NoteMenus::mnuSetColor, 0));
        QVERIFY(!window->menuItem(NoteMenus::mnuSystemMinimize)->isEnabled());
        const QIcon normal =
            Artwork::checkableMenuIcon(Artwork::menuIcon(QStringLiteral("Normal")));
        QCOMPARE(window->menuItem(NoteMenus::mnuTop)->icon().cacheKey(), normal.cacheKey());
        QVERIFY(!window->menuItem(NoteMenus::mnuSave, 0)->icon().isNull());

        window->menuItem(NoteMenus::mnuAutoSave)->trigger(); // as a click does
        QCOMPARE(checked(NoteMenus::mnuAutoSave), !autoSave);
        QCOMPARE(window->note().AutoSave, !autoSave);
        window->menuItem(NoteMenus::mnuCaptionType, 1)->trigger();
        QVERIFY(checked(NoteMenus::mnuCaptionType, 1) && !checked(NoteMenus::mnuCaptionType, 2));
        QVERIFY(window->lblSubCaption()->text().startsWith(QStringLiteral("Word Count: ")));
        window->RestoreNote();
        QVERIFY(window->menuItem(NoteMenus::mnuSystemMinimize)->isEnabled());
    }

    void linksAreShownAndOnlySafeOnesOpen()
    {
        frmMain* window = newNote();
        window->RTB1()->setPlainText(QStringLiteral("see www.example.org, or file:///etc/passwd"));
        window->RTB1()->refreshLinks();
        QCOMPARE(window->RTB1()->linkAt(6), QStringLiteral("www.example.org"));
        QVERIFY(!window->RTB1()->linkAt(30));
        QVERIFY(!window->TextRTF().contains(QStringLiteral("\\ul")));
    }

    void frameLooksLikeAStickyNote()
    {
        frmMain* window = newNote();
        window->setSizeTwips(3000, 2400);
        const QImage note = window->grab().toImage();
        note.save(m_folder.filePath(QStringLiteral("note.png")));
        QCOMPARE(note.pixelColor(100, 5), QColor(128, 128, 128));  // caption strip
        QCOMPARE(note.pixelColor(100, 80), QColor(255, 255, 192)); // yellow body
        const int lineY = 137;                                     // 2400 - 350 twips
        QVERIFY(note.pixelColor(100, lineY).lightness() < 128);    // separator line
        window->MinimizeNote();
        const QImage strip = window->grab().toImage();
        strip.save(m_folder.filePath(QStringLiteral("strip.png")));
        QCOMPARE(strip.size(), QSize(33, 28));
    }

    void noteOutsideEveryScreenIsBroughtBack()
    {
        NoteRecord far = Samples::note(QStringLiteral("far"), -90000, 150000);
        far.FileName = m_folder.filePath(QStringLiteral("far.not"));
        frmMain* window = frmMain::create(NoteOrigin::NoteFile, far);
        window->show();
        const QRect area = window->screen()->availableGeometry();
        QVERIFY(area.contains(window->geometry()));
        QCOMPARE(window->note().Left, 0); // the stored place changes only with the next save

        frmMain* near = newNote();
        near->setLeftTwips(150);
        near->setTopTwips(150);
        near->hide();
        near->show();
        QCOMPARE(near->twipsGeometry().topLeft(), QPoint(150, 150));
    }

    void closingTheLastNoteByHandRemovesAutostart()
    {
        modMain::RunAtStartUp();
        frmMain* first = newNote();
        frmMain* second = newNote();
        first->close();
        QVERIFY(QFile::exists(AppPaths::autostartFile()));
        second->close();
        QVERIFY(!QFile::exists(AppPaths::autostartFile()));
    }

    // A save that does not reach the disk never lets the note close: not after the prompt's
    // Save As is cancelled, and not when the write fails, which the user is also told.
    void closingNeverDropsAnUnsavedEdit()
    {
        QPointer<frmMain> fresh = newNote();
        type(fresh, QStringLiteral("typed"));
        DialogSeam::queueMessageBoxAnswer(QMessageBox::Yes);
        DialogSeam::queueFileCancel();
        fresh->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!fresh.isNull());
        QVERIFY(fresh->Text().contains(QStringLiteral("typed")));
        QCOMPARE(caption(fresh), QStringLiteral("Jottex *"));

        const QString path = m_folder.filePath(QStringLiteral("full.not"));
        modNote::SaveNote(Samples::note(QStringLiteral("stored"), 600, 450), path);
        const QByteArray before = TestEnvironment::readFile(path);
        QPointer<frmMain> stored =
            frmMain::create(NoteOrigin::NoteFile, modNote::LoadNote(false, path).first());
        stored->show();
        type(stored, QStringLiteral("more"));
        DialogSeam::clearRequests();
        {
            TestSeams diskFull;
            diskFull.failWritesAfter(0);
            stored->close(); // autosave: no prompt
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!stored.isNull());
        QCOMPARE(TestEnvironment::readFile(path), before);
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().text,
                 QStringLiteral("The note could not be saved to %1: the disk is full").arg(path));
    }

    // Open puts the file's first note in place of a changed text only after asking, as
    // closing asks: a cancel keeps everything, No lets the change go, Yes saves it first.
    void openAsksBeforeReplacingChangedText_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("windows");
        QTest::addColumn<bool>("saved");
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << "changed" << 1 << false;
        QTest::newRow("no") << int(QMessageBox::No) << "one" << 2 << false;
        QTest::newRow("yes") << int(QMessageBox::Yes) << "one" << 2 << true;
    }

    void openAsksBeforeReplacingChangedText()
    {
        QFETCH(int, answer);
        QFETCH(QString, shown);
        QFETCH(int, windows);
        QFETCH(bool, saved);
        const QString path = m_folder.filePath(QStringLiteral("two.not"));
        const QString savedTo = m_folder.filePath(QStringLiteral("changed.not"));
        QFile::remove(savedTo);
        QVERIFY(
            modNote::WriteNoteList(
                {Samples::note(QStringLiteral("one")), Samples::note(QStringLiteral("two"))}, path)
                .ok());
        frmMain* window = newNote();
        type(window, QStringLiteral("changed"));
        DialogSeam::clearRequests();
        DialogSeam::queueFileAnswer(path);
        DialogSeam::queueMessageBoxAnswer(QMessageBox::StandardButton(answer));
        DialogSeam::queueFileAnswer(savedTo);
        window->triggerMenuItem(NoteMenus::mnuOpen);
        QCOMPARE(window->Text(), shown);
        QCOMPARE(frmMain::openWindows().size(), windows);
        QCOMPARE(DialogSeam::requests().value(1).title, QStringLiteral("Perform Save"));
        QCOMPARE(QFile::exists(savedTo), saved);
        if (saved)
            QCOMPARE(RichText::toPlainText(modNote::LoadNote(false, savedTo).first().Data),
                     QStringLiteral("changed"));
    }

    // A name typed into the Open dialog that names no file is told; the note stays as it is.
    void openOfAMissingFileSaysSo()
    {
        const QString missing = m_folder.filePath(QStringLiteral("missing.not"));
        frmMain* window = newNote();
        type(window, QStringLiteral("kept"));
        DialogSeam::clearRequests();
        DialogSeam::queueFileAnswer(missing);
        window->triggerMenuItem(NoteMenus::mnuOpen);
        QCOMPARE(DialogSeam::requests().size(), 2);
        const DialogSeam::Request told = DialogSeam::requests().last();
        QCOMPARE(told.kind, DialogSeam::Kind::MessageBox);
        QVERIFY2(told.text.startsWith(missing + QStringLiteral("\r\nFile not found.")),
                 qPrintable(told.text));
        QCOMPARE(told.owner, window);
        QCOMPARE(window->Text(), QStringLiteral("kept"));
        QVERIFY(window->note().FileName.isEmpty());
    }

    void manyNotesAskBeforeOpening()
    {
        const QString path = m_folder.filePath(QStringLiteral("many.not"));
        modNote::SaveNote(Samples::note(QStringLiteral("n0"), 0, 0), path);
        for (int i = 1; i < 51; ++i)
            modNote::AppendNote(Samples::note(QStringLiteral("n%1").arg(i), 0, 0), path);
        frmMain* window = newNote();
        DialogSeam::queueFileAnswer(path);
        DialogSeam::queueMessageBoxAnswer(QMessageBox::No);
        window->triggerMenuItem(NoteMenus::mnuOpen);
        QCOMPARE(DialogSeam::requests().last().text,
                 QStringLiteral("This file holds 51 notes. Open them all?"));
        QCOMPARE(frmMain::openWindows().size(), 1);
        QCOMPARE(window->Text(), QStringLiteral("n0"));
    }

    // Shapes past each of the text area's limits, built here rather than stored.
    void tooLongNoteShowsItsStartAndIsKeptWhole_data()
    {
        QTest::addColumn<QString>("rtf");
        QString lines = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 ");
        for (int i = 0; i < LiveText::kMaxParagraphs * 3; ++i)
            lines += QStringLiteral("line %1 caf\\'e9\\par ").arg(i);
        QTest::newRow("lines") << lines + QLatin1Char('}');
        QString sentence = QStringLiteral("{\\rtf1\\ansi first ");
        sentence += QStringLiteral("word ").repeated(LiveText::kMaxCharacters / 2);
        QTest::newRow("characters") << sentence + QLatin1Char('}');
        QTest::newRow("word") << QStringLiteral("{\\rtf1\\ansi first ") +
                                     QStringLiteral("x").repeated(LiveText::kMaxWord * 3) +
                                     QLatin1Char('}');
    }

    void tooLongNoteShowsItsStartAndIsKeptWhole()
    {
        QFETCH(QString, rtf);
        const QString path = m_folder.filePath(QStringLiteral("long.not"));
        NoteRecord stored = Samples::note(QString());
        stored.Data = rtf;
        stored.FileName = path;
        // Showing the start marks the note as loading any stored note does, no more.
        const bool loadingMarks =
            frmMain::create(NoteOrigin::StoredRecord, Samples::note(QStringLiteral("fits")))
                ->isChanged();
        frmMain* window = frmMain::create(NoteOrigin::StoredRecord, stored);
        NoteTextEdit* area = window->RTB1();

        QVERIFY(window->showsPart());
        QVERIFY(area->isReadOnly());
        QVERIFY(LiveText::fits(LiveText::sizeOf(area->document())));
        QVERIFY(window->Text().startsWith(QStringLiteral("This note is longer than a note can")));
        QVERIFY(window->Text().contains(QStringLiteral("first")) ||
                window->Text().contains(QStringLiteral("line 0 caf\u00e9\r\n")));
        QCOMPARE(window->isChanged(), loadingMarks);
        QCOMPARE(window->TextRTF(), rtf);

        // Nothing the user does reaches the text, and nothing marks it changed.
        const QString shown = window->Text();
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        type(window, QStringLiteral("typed"));
        QTest::keyClick(area, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(area, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(area, Qt::Key_Delete);
        for (const auto& [item, index] : {std::pair{NoteMenus::mnuEdit, 0},
                                          {NoteMenus::mnuEdit, 1},
                                          {NoteMenus::mnuEdit, 2},
                                          {NoteMenus::mnuEdit, 3},
                                          {NoteMenus::mnuInsertDateTime, 0},
                                          {NoteMenus::mnuFontBold, -1},
                                          {NoteMenus::mnuSelectEdit, 0},
                                          {NoteMenus::mnuSNTime, -1},
                                          {NoteMenus::mnuSNClipboardLog, -1}})
            window->triggerMenuItem(item, index);
        QVERIFY(!window->menuItem(NoteMenus::mnuSpecial)->isEnabled());
        const QString dropped = m_folder.filePath(QStringLiteral("dropped.txt"));
        QFile file(dropped);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("dropped");
        file.close();
        DialogSeam::queueMessageBoxAnswer(QMessageBox::Ok);
        window->editor().RTB1_OLEDragDrop({dropped});
        QVERIFY(DialogSeam::requests().last().text.contains(QStringLiteral("not loaded")));
        QCOMPARE(window->Text(), shown);
        QCOMPARE(window->note().SpecialType, SpecialNoteKind::None);
        QCOMPARE(window->isChanged(), loadingMarks);

        // Whatever keeps the note keeps it byte for byte.
        QCOMPARE(window->recordAsKept().Data, rtf);
        QCOMPARE(OpenNotes::records().last().Data, rtf);
        DialogSeam::queueFileAnswer(path);
        QVERIFY(window->PerformSave(SaveKind::Save));
        QCOMPARE(modNote::LoadNote(false, path).first().Data, rtf);

        // A note that fits, opened in its place, is the text area's own again.
        const QString small = m_folder.filePath(QStringLiteral("small.not"));
        modNote::SaveNote(Samples::note(QStringLiteral("small")), small);
        DialogSeam::queueFileAnswer(small);
        window->triggerMenuItem(NoteMenus::mnuOpen);
        QVERIFY(!window->showsPart());
        QVERIFY(!area->isReadOnly());
        QVERIFY(window->menuItem(NoteMenus::mnuSpecial)->isEnabled());
        type(window, QStringLiteral("!"));
        QVERIFY(window->Text().contains(QLatin1Char('!')));
        QVERIFY(RichText::toPlainText(window->TextRTF()).contains(QLatin1Char('!')));
    }

    // What a screen reader is told of the note's controls: a name, and a role that says what
    // acting on them does. The caption stays text; the pictures that act are buttons.
    void frameControlsTellScreenReadersWhatTheyAre_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pressable");
        QTest::newRow("close") << "CloseImage" << QAccessible::Button << "Close note" << true;
        QTest::newRow("help") << "imgHelp" << QAccessible::Button << "Help" << true;
        QTest::newRow("icon") << "imgIcon" << QAccessible::Button << "Note menu" << true;
        QTest::newRow("reminder due")
            << "imgIconReminder(0)" << QAccessible::Button << "Note menu, reminder due" << true;
        QTest::newRow("reminder set")
            << "imgIconReminder(1)" << QAccessible::Button << "Note menu, reminder set" << true;
        QTest::newRow("caption") << "lblCaption" << QAccessible::StaticText << "Jottex" << false;
        QTest::newRow("text area") << "RTB1" << QAccessible::EditableText << "Note text" << false;
    }

    void frameControlsTellScreenReadersWhatTheyAre()
    {
        QFETCH(QString, object);
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, name);
        QFETCH(bool, pressable);
        frmMain* window = newNote();
        auto* control = window->findChild<QWidget*>(object);
        QVERIFY(control);
        QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(control);
        QVERIFY(seen);
        QCOMPARE(seen->role(), role);
        QCOMPARE(seen->text(QAccessible::Name), name);
        const QStringList actions =
            seen->actionInterface() ? seen->actionInterface()->actionNames() : QStringList();
        QCOMPARE(actions.contains(QAccessibleActionInterface::pressAction()), pressable);
        if (role == QAccessible::EditableText) {
            QVERIFY(seen->state().editable);
            QVERIFY(seen->textInterface());
        }
    }

    // A press through the accessibility interface does what a click does: the icon opens the
    // icon menu, help answers with its box, close closes the note.
    void pressActionsDoWhatAClickDoes()
    {
        const auto press = [](frmMain* window, const char* object) {
            auto* control = window->findChild<QWidget*>(QLatin1String(object));
            QAccessible::queryAccessibleInterface(control)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        };
        frmMain* window = newNote();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QMenu* iconMenu = window->menu(NoteMenus::SystemMenu);
        press(window, "imgIcon");
        QTRY_VERIFY(iconMenu->isVisible());
        iconMenu->hide();

        DialogSeam::clearRequests();
        press(window, "imgHelp");
        QTRY_COMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().text,
                 QStringLiteral("This feature has not been implemented in this release"));

        QPointer<frmMain> closing(window);
        press(window, "CloseImage");
        QTRY_VERIFY(!closing);
    }

    // Every text the note shows comes through the translator, under the context of the code
    // that shows it, and is set where the control is made; names the code finds things by
    // and the caption's program name stay as they are.
    void shownTextsComeThroughTheTranslator()
    {
        const MarkingTranslator translator;
        frmMain* window = newNote();
        const auto marked = [](const char* context, const char* text) {
            return MarkingTranslator::marked(context, QString::fromUtf8(text));
        };
        QAction* newItem = window->menuItem(NoteMenus::mnuNew);
        QCOMPARE(newItem->text(), marked("NoteMenus", "&New") + QStringLiteral("\tCtrl+N"));
        QCOMPARE(newItem->objectName(), QStringLiteral("mnuNew"));
        QCOMPARE(window->menuItem(NoteMenus::mnuSNTime)->text(), marked("NoteMenus", "Time"));
        QCOMPARE(window->menuItem(NoteMenus::mnuClearSpecial)->text(),
                 marked("NoteMenus", "Stop Special Note"));
        QCOMPARE(window->menu(NoteMenus::mnuNoteOptions)->title(),
                 marked("NoteMenus", "Note Options"));

        auto* close = window->findChild<QWidget*>(QStringLiteral("CloseImage"));
        QCOMPARE(close->accessibleName(), marked("CaptionStrip", "Close note"));
        QCOMPARE(close->toolTip(), marked("CaptionStrip", "Closes the note"));
        QCOMPARE(window->findChild<QWidget*>(QStringLiteral("imgIcon"))->toolTip(),
                 marked("CaptionStrip", "Right-click for options"));
        QVERIFY(caption(window).startsWith(QStringLiteral("Jottex")));

        window->triggerMenuItem(NoteMenus::mnuCaptionType, int(CaptionKind::WordCount));
        QCOMPARE(window->lblSubCaption()->text(), marked("frmMain", "Word Count: ") + u'0');
        window->triggerMenuItem(NoteMenus::mnuCaptionType, int(CaptionKind::CharacterCount));
        QCOMPARE(window->lblSubCaption()->text(), marked("frmMain", "Character Count: ") + u'0');

        DialogSeam::clearRequests();
        window->ShowNotImplemented();
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().title, QStringLiteral("Jottex"));
        QCOMPARE(DialogSeam::requests().first().text,
                 marked("frmMain", "This feature has not been implemented in this release"));
    }

    void damagedSizeStaysOnScreenScale()
    {
        NoteRecord huge = Samples::note(QStringLiteral("huge"), 0, 0);
        huge.Width = std::numeric_limits<qint32>::max();
        huge.Height = std::numeric_limits<qint32>::max();
        frmMain* window = frmMain::create(NoteOrigin::StoredRecord, huge);
        const QRect desktop = window->screen()->virtualGeometry();
        QVERIFY(window->width() <= 16 * desktop.width());
        QVERIFY(window->height() <= 16 * desktop.height());
        QVERIFY(window->width() >= desktop.width());
    }

    void titleIsTheFirstLineCut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        const QString sixty(60, QLatin1Char('x'));
        const QString cut = QString(59, QLatin1Char('x')) + QChar(0x2026);
        QTest::newRow("empty") << QString() << QStringLiteral("Jottex");
        QTest::newRow("blanks only")
            << QStringLiteral(" \t \r\nsecond") << QStringLiteral("Jottex");
        QTest::newRow("first line trimmed")
            << QStringLiteral("  Shopping list \r\nmilk") << QStringLiteral("Shopping list");
        QTest::newRow("soft line break ends it")
            << QStringLiteral("top") + QChar::LineSeparator + QStringLiteral("next")
            << QStringLiteral("top");
        QTest::newRow("tab and picture")
            << QChar(QChar::ObjectReplacementCharacter) + QStringLiteral(" a\tb")
            << QStringLiteral("a b");
        QTest::newRow("exactly sixty") << sixty << sixty;
        QTest::newRow("sixty and blanks") << sixty + QStringLiteral("   \r\nz") << sixty;
        QTest::newRow("sixty-one") << sixty + QLatin1Char('y') << cut;
        QTest::newRow("blank at the cut")
            << QString(58, QLatin1Char('x')) + QStringLiteral("   yyy")
            << QString(58, QLatin1Char('x')) + QChar(0x2026);
        // The cut falls inside a character outside the basic plane: it goes whole.
        QTest::newRow("no half character")
            << QString(58, QLatin1Char('x')) + QStringLiteral("\U0001F600yyy")
            << QString(58, QLatin1Char('x')) + QChar(0x2026);
    }

    void titleIsTheFirstLineCut()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        QCOMPARE(NoteTitle::forText(text), title);
        QVERIFY(title.size() <= NoteTitle::kMostCharacters);
        // The window shows the same, read from its text area.
        frmMain* window = newNote();
        window->RTB1()->setPlainText(
            QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QTRY_COMPARE(shownTitle(window), title);
        QVERIFY(caption(window).startsWith(QStringLiteral("Jottex")));
    }

    // The title follows edits of the first line and only those: a new line above it, lines
    // joined, marks that window titles would read as their own, the note emptied.
    void titleFollowsEditsOfTheFirstLine()
    {
        frmMain* window = newNote();
        QCOMPARE(shownTitle(window), QStringLiteral("Jottex"));
        type(window, QStringLiteral("Groceries"));
        QTRY_COMPARE(shownTitle(window), QStringLiteral("Groceries"));
        QSignalSpy titles(window, &QWidget::windowTitleChanged);
        QTest::keyClick(window->RTB1(), Qt::Key_Return);
        type(window, QStringLiteral("milk"));
        QTest::keyClick(window->RTB1(), Qt::Key_Home);
        QTest::keyClick(window->RTB1(), Qt::Key_Backspace);
        QTRY_COMPARE(shownTitle(window), QStringLiteral("Groceriesmilk"));
        QCOMPARE(titles.size(), 1);
        QTest::keyClick(window->RTB1(), Qt::Key_Home);
        QTest::keyClick(window->RTB1(), Qt::Key_Return);
        QTRY_COMPARE(shownTitle(window), QStringLiteral("Jottex"));
        QTest::keyClick(window->RTB1(), Qt::Key_Up);
        type(window, QStringLiteral("a[*]b"));
        QTRY_VERIFY(shownTitle(window).startsWith(QStringLiteral("a[*]b")));
        window->RTB1()->clear();
        QTRY_COMPARE(shownTitle(window), QStringLiteral("Jottex"));
        // A stored note has its title before it shows.
        frmMain* stored = frmMain::create(NoteOrigin::StoredRecord,
                                          Samples::note(QStringLiteral("kept words"), 0, 0));
        QTRY_COMPARE(stored->windowTitle(), QStringLiteral("kept words[*]"));
    }

    // The choice lives in the window's record, where the main data file takes it from, and
    // comes back with a kept note.
    void allWorkspacesIsKeptWithTheNote()
    {
        frmMain* window = newNote();
        QAction* item = window->menuItem(NoteMenus::mnuAllWorkspaces);
        QVERIFY(item->isCheckable());
        QVERIFY(!item->isChecked());
        QSignalSpy changed(window, &frmMain::noteChanged);
        window->triggerMenuItem(NoteMenus::mnuAllWorkspaces);
        QVERIFY(item->isChecked());
        QVERIFY(window->recordAsKept().OnAllWorkspaces);
        QCOMPARE(changed.size(), 1);
        frmMain* again = frmMain::create(NoteOrigin::StoredRecord, window->recordAsKept());
        QVERIFY(again->note().OnAllWorkspaces);
        QVERIFY(again->menuItem(NoteMenus::mnuAllWorkspaces)->isChecked());
        window->triggerMenuItem(NoteMenus::mnuAllWorkspaces);
        QVERIFY(!window->recordAsKept().OnAllWorkspaces);
    }
};

JOTTEX_GUI_TEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
