#include "NoteWindows.h"
#include "Samples.h"
#include "TestEnvironment.h"
#include "TestSeams.h"
#include "dialogs/DialogSeam.h"
#include "shell/Settings.h"
#include "store/modNote.h"
#include "window/CTranslucentForm.h"
#include "window/NoteAppearance.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QAction>
#include <QLabel>
#include <QtTest>

// A note's colours, translucency and stay-on-top state as the user sets them.
class TestAppearance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    static frmMain* newNote() { return NoteWindows::newNote(); }

    static QColor background(const frmMain* window)
    {
        return window->RTB1()->palette().color(QPalette::Base);
    }

    // The colour items that carry a check mark, by index.
    static QList<int> checkedColors(const frmMain* window)
    {
        QList<int> checked;
        for (int i = 0; i < 10; ++i) {
            const QAction* item = window->menuItem(NoteMenus::mnuSetColor, i);
            if (item && item->isChecked())
                checked << i;
        }
        return checked;
    }

    static QColor textColorAt(const frmMain* window, int position)
    {
        QTextCursor cursor(window->RTB1()->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat().foreground().color();
    }

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void cleanup() { NoteWindows::deleteAll(); }

    void namedColors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QColor>("color");
        QTest::newRow("yellow") << "Yellow" << 0 << "12648447" << QColor(255, 255, 192);
        QTest::newRow("blue") << "BLUE" << 1 << "16763955" << QColor(51, 204, 255);
        QTest::newRow("green") << "green" << 2 << "13434795" << QColor(171, 255, 204);
        QTest::newRow("red") << "Red" << 3 << "12632319" << QColor(255, 192, 192);
        QTest::newRow("grey") << "grey" << 4 << "12632256" << QColor(192, 192, 192);
        QTest::newRow("peach") << "Peach" << 5 << "10079487" << QColor(255, 204, 153);
        QTest::newRow("purple") << "purple" << 6 << "15902182" << QColor(230, 165, 242);
        QTest::newRow("tang") << "TANG" << 7 << "6275824" << QColor(240, 194, 95);
    }

    // A name (in any case) checks its item; its decimal value, which the menu passes, gives
    // the same colour and checks none.
    void namedColors()
    {
        QFETCH(QString, name);
        QFETCH(int, item);
        QFETCH(QString, stored);
        QFETCH(QColor, color);
        frmMain* window = newNote();
        QVERIFY(window->appearance().SetNoteColor(name, false).ok());
        QCOMPARE(background(window), color);
        QCOMPARE(window->note().Color, name);
        QCOMPARE(checkedColors(window), QList<int>{item});

        QVERIFY(window->appearance().SetNoteColor(QStringLiteral("yellow"), false).ok());
        window->appearance().ChangeForeColor(255);
        window->triggerMenuItem(NoteMenus::mnuSetColor, item);
        QCOMPARE(background(window), color);
        QCOMPARE(window->note().Color, stored);
        QCOMPARE(checkedColors(window), QList<int>{});
        QCOMPARE(window->note().ForeColor, 0); // the menu sets all text black
    }

    // A colour text that names no colour fails and changes nothing; a note file holding one
    // still opens, in the default colour, with one line in the log.
    void colorTextThatIsNoColor()
    {
        frmMain* window = newNote();
        QVERIFY(window->appearance().SetNoteColor(QStringLiteral("blue"), false).ok());
        const Result failure =
            window->appearance().SetNoteColor(QStringLiteral("chartreuse"), false);
        QVERIFY(failure.failed());
        QCOMPARE(failure.error().number, 13);
        QCOMPARE(window->note().Color, QStringLiteral("blue"));
        QCOMPARE(background(window), QColor(51, 204, 255));

        NoteRecord stored = Samples::note(QStringLiteral("kept"));
        stored.Color = QStringLiteral("chartreuse");
        const QString path = m_folder.filePath(QStringLiteral("odd.not"));
        QVERIFY(modNote::SaveNote(stored, path) != modNote::NoneSentinel);
        const int linesBefore = int(TestEnvironment::logLines().size());
        frmMain* opened = frmMain::create(NoteOrigin::NoteFile, modNote::LoadNote(false, path)[0]);
        QCOMPARE(opened->RTB1()->toPlainText().trimmed(), QStringLiteral("kept"));
        QCOMPARE(background(opened), QColor(255, 255, 192));
        QCOMPARE(opened->note().Color, QStringLiteral("yellow"));
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), linesBefore + 1);
        QVERIFY2(log.last().contains(QStringLiteral("frmMain: SetNoteColor")),
                 qPrintable(log.last()));
    }

    // The whole text takes the colour, the selection stays, and the colour goes with the
    // note into its file and comes back with it.
    void textColorIsKeptWithTheNote()
    {
        frmMain* window = newNote();
        window->RTB1()->setFocus();
        QTest::keyClicks(window->RTB1(), QStringLiteral("coloured words"));
        QTextCursor selection(window->RTB1()->document());
        selection.setPosition(2);
        selection.setPosition(5, QTextCursor::KeepAnchor);
        window->RTB1()->setTextCursor(selection);
        window->appearance().ChangeForeColor(0x0000C0); // dark red
        QCOMPARE(window->note().ForeColor, 0xC0);
        QCOMPARE(window->RTB1()->textCursor().selectionStart(), 2);
        QCOMPARE(window->RTB1()->textCursor().selectionEnd(), 5);
        QCOMPARE(textColorAt(window, 0), QColor(192, 0, 0));
        QCOMPARE(textColorAt(window, 12), QColor(192, 0, 0));

        const QString path = m_folder.filePath(QStringLiteral("coloured.not"));
        DialogSeam::queueFileAnswer(path);
        QVERIFY(window->PerformSave(SaveKind::SaveAs));
        frmMain* opened = frmMain::create(NoteOrigin::NoteFile, modNote::LoadNote(false, path)[0]);
        QCOMPARE(opened->RTB1()->toPlainText(), QStringLiteral("coloured words"));
        QCOMPARE(textColorAt(opened, 0), QColor(192, 0, 0));
        QCOMPARE(textColorAt(opened, 12), QColor(192, 0, 0));
    }

    // Text typed into an empty note takes the note's text colour.
    void emptyNoteTypesInItsTextColor()
    {
        frmMain* window = newNote();
        window->appearance().ChangeForeColor(0xFF0000); // blue
        window->RTB1()->setFocus();
        QTest::keyClicks(window->RTB1(), QStringLiteral("abc"));
        QCOMPARE(textColorAt(window, 1), QColor(0, 0, 255));
        QCOMPARE(window->lblCaption()->text(), QStringLiteral("Jottex *"));
    }

    void customColor()
    {
        frmMain* window = newNote();
        DialogSeam::clearRequests();
        DialogSeam::queueColorAnswer(QColor(1, 2, 3));
        window->triggerMenuItem(NoteMenus::mnuSetColor, 9);
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().kind, DialogSeam::Kind::Color);
        QCOMPARE(DialogSeam::requests().first().text, QStringLiteral("#ff0000")); // red preselected
        QCOMPARE(DialogSeam::requests().first().owner, window);
        QCOMPARE(window->note().Color, QString::number(1 + 2 * 256 + 3 * 65536));
        QCOMPARE(background(window), QColor(1, 2, 3));
        QCOMPARE(checkedColors(window), QList<int>{});

        DialogSeam::queueColorCancel();
        window->triggerMenuItem(NoteMenus::mnuSetColor, 9);
        QCOMPARE(window->note().Color, QString::number(1 + 2 * 256 + 3 * 65536));
        // Back in the stay-on-top band after the dialog.
        QVERIFY(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint);

        // The text colour comes from the same dialog.
        DialogSeam::queueColorAnswer(QColor(0, 0, 128));
        window->triggerMenuItem(NoteMenus::mnuFontColors);
        QCOMPARE(window->note().ForeColor, 128 * 65536);
        DialogSeam::queueColorCancel();
        window->triggerMenuItem(NoteMenus::mnuFontColors);
        QCOMPARE(window->note().ForeColor, 128 * 65536);
    }

    void transparencyItems()
    {
        (void)modMain::WriteSetting(modMain::Setting::SaveSetting, QStringLiteral("True"));
        (void)modMain::WriteSetting(modMain::Setting::Alpha, QStringLiteral("100"));
        frmMain* window = newNote();
        const auto checked = [window] {
            QList<int> items;
            for (int i = 0; i < 4; ++i) {
                if (window->menuItem(NoteMenus::mnuTransparent, i)->isChecked())
                    items << i;
            }
            return items;
        };
        QCOMPARE(checked(), QList<int>{}); // a level that is none of the four
        window->triggerMenuItem(NoteMenus::mnuTransparent, 2);
        QCOMPARE(window->note().Alpha, 50);
        QCOMPARE(checked(), QList<int>{2});
        window->triggerMenuItem(NoteMenus::mnuTransparent, 0);
        QCOMPARE(window->note().Alpha, 225);
        QCOMPARE(checked(), QList<int>{0});
        QCOMPARE(window->windowOpacity(), 1.0); // nothing shows until the focus goes
    }

    // Opaque while active; the chosen level once the note or the application loses the
    // focus; nothing at all where the desktop cannot show it.
    void translucencyFollowsTheFocus_data()
    {
        QTest::addColumn<bool>("supported");
        QTest::newRow("compositor") << true;
        QTest::newRow("none") << false;
    }

    void translucencyFollowsTheFocus()
    {
        QFETCH(bool, supported);
        TestSeams seams;
        seams.setWindowOpacityShown(supported);
        frmMain* window = newNote();
        QCOMPARE(window->menuItem(NoteMenus::mnuTransparentMain)->isVisible(), supported);
        const double faded = supported ? 50 / 255.0 : 1.0;

        window->triggerMenuItem(NoteMenus::mnuTransparent, 2); // High
        window->appearance().Form_Deactivate();
        QVERIFY(window->appearance().Translucency());
        QCOMPARE(window->windowOpacity(), faded);
        window->appearance().Form_Activate();
        QVERIFY(!window->appearance().Translucency());
        QCOMPARE(window->windowOpacity(), 1.0);

        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        QCOMPARE(window->windowOpacity(), faded);
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        QVERIFY(!window->appearance().Translucency());
        QCOMPARE(window->windowOpacity(), 1.0);

        // "Off": no translucency object at all.
        window->triggerMenuItem(NoteMenus::mnuTransparent, 3);
        window->appearance().Form_Deactivate();
        QVERIFY(!window->appearance().Translucency());
        QCOMPARE(window->windowOpacity(), 1.0);
    }

    void translucentFormModes()
    {
        TestSeams seams;
        seams.setWindowOpacityShown(true);
        QWidget target;
        {
            CTranslucentForm form;
            QCOMPARE(form.mode(), CTranslucentForm::AlphaMode);
            QCOMPARE(form.ColorKey(), 0x8000000Fu);
            form.setHWnd(&target);
            form.setColorKey(0x00FF00);
            QCOMPARE(form.mode(), CTranslucentForm::ColorKeyMode);
            QCOMPARE(form.ColorKey(), 0x00FF00u);
            form.setAlpha(100); // in colour-key mode: switches to alpha with the new level
            QCOMPARE(form.mode(), CTranslucentForm::AlphaMode);
            QCOMPARE(form.Alpha(), quint8(100));
            QCOMPARE(target.windowOpacity(), 100 / 255.0);
            form.setMode(7); // no such mode
            QCOMPARE(form.mode(), CTranslucentForm::AlphaMode);
            form.setMode(CTranslucentForm::Off);
            QCOMPARE(target.windowOpacity(), 1.0);
            form.setMode(CTranslucentForm::AlphaMode);
            QCOMPARE(target.windowOpacity(), 100 / 255.0);
        }
        QCOMPARE(target.windowOpacity(), 1.0); // released: opaque

        seams.setWindowOpacityShown(false);
        CTranslucentForm form;
        form.setHWnd(&target);
        form.setAlpha(20);
        QVERIFY(!form.hWnd());
        QCOMPARE(form.Alpha(), quint8(255));
        QCOMPARE(target.windowOpacity(), 1.0);
    }

    void alwaysOnTopToggles()
    {
        frmMain* window = newNote();
        QVERIFY(window->menuItem(NoteMenus::mnuTop)->isChecked());
        window->triggerMenuItem(NoteMenus::mnuTop);
        QVERIFY(!window->note().IsOnTop);
        QVERIFY(!window->menuItem(NoteMenus::mnuTop)->isChecked());
        QVERIFY(!(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint));
        window->triggerMenuItem(NoteMenus::mnuTop);
        QVERIFY(window->note().IsOnTop);
        QVERIFY(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        QVERIFY(window->isVisible());
    }
};

JOTTEX_GUI_TEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
