#include "NoteWindows.h"
#include "TestEnvironment.h"
#include "TestSeams.h"
#include "shell/Settings.h"
#include "shell/version.h"
#include "window/frmAbout.h"
#include "window/frmMain.h"
#include "window/frmPostCard.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestAbout : public QObject {
    Q_OBJECT

private:
    static bool onTop(const QWidget* window)
    {
        return window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    }

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void cleanup() { NoteWindows::deleteAll(); }

    void creditStep_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("next");
        QTest::addColumn<bool>("visible");
        QTest::newRow("passes the top edge") << 20 << 3000 << false;
        QTest::newRow("reaches the edge") << 50 << 0 << true;
        QTest::newRow("at the edge") << 0 << 3000 << false;
        QTest::newRow("enters the band") << 2050 << 2000 << true;
        QTest::newRow("still below") << 2100 << 2050 << false;
        QTest::newRow("rising from the reentry") << 3000 << 2950 << false;
    }

    void creditStep()
    {
        QFETCH(int, top);
        QFETCH(int, next);
        QFETCH(bool, visible);
        const CreditStep step = CreditStep::after(top);
        QCOMPARE(step.top, next);
        QCOMPARE(step.visible, visible);
    }

    void buildLabel()
    {
        QCOMPARE(frmAbout::buildLabel(4, 4, 9), QStringLiteral("Build - 4.4.0.9"));
        QCOMPARE(frmAbout::buildLabel(12, 0, 345), QStringLiteral("Build - 12.0.0.345"));
    }

    // About from a note that stays on top: the note steps out of the band while About shows,
    // the window holds what it should, and the note is on top again afterwards.
    void aboutFromANoteOnTop()
    {
        TestSeams seams;
        frmMain* note = frmMain::create(NoteOrigin::NewNote);
        note->show();
        QVERIFY(onTop(note));
        bool checked = false;
        QTimer::singleShot(0, this, [&] {
            frmAbout* about = frmAbout::current();
            QVERIFY(about);
            QVERIFY(!onTop(note));
            QCOMPARE(about->windowTitle(), QStringLiteral("About"));
            QCOMPARE(about->lblBuild()->text(),
                     frmAbout::buildLabel(Version::Major, Version::Minor, Version::Revision));
            QCOMPARE(about->Command2()->text(), QStringLiteral("Postcard Ware"));
            QCOMPARE(about->Command2()->toolTip(),
                     QStringLiteral("Click for information about PostcardWare"));
            QCOMPARE(about->Timer1()->interval(), 100);
            QVERIFY(about->Timer1()->isActive());

            // Driven by hand: one whole round brings every line back to where it began.
            about->Timer1()->stop();
            QList<int> start;
            for (int i = 1; i <= frmAbout::CreditLines; ++i)
                start << about->creditTop(i);
            constexpr int kRound =
                (CreditStep::ReentryTwips + CreditStep::StepTwips) / CreditStep::StepTwips;
            for (int tick = 0; tick < kRound; ++tick)
                about->Timer1_Timer();
            for (int i = 1; i <= frmAbout::CreditLines; ++i) {
                QCOMPARE(about->creditTop(i), start.at(i - 1));
                QCOMPARE(about->Label1(i)->isVisible(),
                         about->creditTop(i) <= CreditStep::VisibleBelowTwips);
            }

            about->Label4_Click();
            QCOMPARE(seams.openedUrls(),
                     QList<QUrl>{QUrl(QStringLiteral("mailto:jottex@example.org?subject=Jottex"))});

            QTimer::singleShot(0, this, [&] {
                frmPostCard* card = frmPostCard::current();
                QVERIFY(card);
                QCOMPARE(card->windowTitle(), QStringLiteral("Postcardware"));
                QCOMPARE(card->Label1()->text(),
                         QStringLiteral("If you like the application, DLL, or OCX then we would "
                                        "appreciate a Postcard from your city.  Be creative, show "
                                        "us what makes your city unique or interesting"));
                card->cmdOk()->click();
            });
            about->Command2()->click();
            QVERIFY(!frmPostCard::current());
            checked = true;
            about->cmdOk()->click();
        });
        note->triggerMenuItem(NoteMenus::mnuAbout);
        QVERIFY(checked);
        QVERIFY(!frmAbout::current());
        QVERIFY(onTop(note));
    }

    // Without a page of the user's, the item opens the about page that comes with the program,
    // found from the program's folder: here the build tree's copy, with its version filled in.
    void websiteItemOpensTheSetPage_data()
    {
        const QUrl shipped =
            QUrl::fromLocalFile(QStringLiteral(JOTTEX_BINARY_DIR "/share/jottex/about.html"));
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QUrl>("opened");
        QTest::newRow("the program's page") << QString() << shipped;
        QTest::newRow("blank setting") << QStringLiteral("  ") << shipped;
        QTest::newRow("local page") << QStringLiteral("/srv/notes/about.html")
                                    << QUrl::fromLocalFile(QStringLiteral("/srv/notes/about.html"));
        QTest::newRow("web address") << QStringLiteral("https://jottex.example/")
                                     << QUrl(QStringLiteral("https://jottex.example/"));
    }

    void websiteItemOpensTheSetPage()
    {
        QFETCH(QString, setting);
        QFETCH(QUrl, opened);
        TestSeams seams;
        if (!setting.isEmpty())
            QVERIFY(modMain::WriteSetting(modMain::Setting::Website, setting).ok());
        frmMain* note = frmMain::create(NoteOrigin::NewNote);
        note->show();
        QCOMPARE(note->menuItem(NoteMenus::mnuUlmar)->text(), QStringLiteral("Ulmar's Website"));
        note->triggerMenuItem(NoteMenus::mnuUlmar);
        QCOMPARE(seams.openedUrls().size(), 1);
        const QUrl url = seams.openedUrls().first();
        const QFileInfo page(url.toLocalFile());
        if (QFileInfo(opened.toLocalFile()).exists()) {
            // The build folder may be reached through a link: the same file either way.
            QCOMPARE(page.canonicalFilePath(), QFileInfo(opened.toLocalFile()).canonicalFilePath());
            QFile file(page.filePath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.readAll().contains(QByteArray("<title>About Jottex ") + Version::Text));
        } else {
            QCOMPARE(url, opened);
        }
        QVERIFY(TestEnvironment::logLines().isEmpty());
    }

    // The About window as a person sees it: JOTTEX_SCREENSHOTS names the folder.
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("JOTTEX_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("JOTTEX_SCREENSHOTS not set");
        bool saved = false;
        QTimer::singleShot(0, this, [&] {
            frmAbout* about = frmAbout::current();
            QVERIFY(QTest::qWaitForWindowExposed(about));
            QTest::qWait(300);
            saved = about->grab().save(folder + QStringLiteral("/about.png"));
            QTimer::singleShot(0, this, [&] {
                frmPostCard* card = frmPostCard::current();
                QVERIFY(QTest::qWaitForWindowExposed(card));
                QTest::qWait(200);
                saved = saved && card->grab().save(folder + QStringLiteral("/postcard.png"));
                card->cmdOk()->click();
            });
            about->Command2()->click();
            about->cmdOk()->click();
        });
        frmAbout::showModal(nullptr);
        QVERIFY(saved);
    }
};

JOTTEX_GUI_TEST_MAIN(TestAbout)
#include "tst_about.moc"
