#include "TestEnvironment.h"
#include "TestSeams.h"
#include "shell/WindowUtils.h"

#include <QWidget>
#include <QWindow>
#include <QtTest>

class TestWindowUtils : public QObject {
    Q_OBJECT

private slots:
    void topMostModes()
    {
        QWidget window;
        window.setGeometry(100, 120, 200, 150);
        window.show();
        const QRect before = window.geometry();
        QVERIFY(modMain::SetTopMost(&window, modMain::TopMostMode::IntoBand));
        QVERIFY(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        QVERIFY(modMain::SetTopMost(&window, modMain::TopMostMode::OutOfBand));
        QVERIFY(!(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint));
        QVERIFY(!modMain::SetTopMost(&window, static_cast<modMain::TopMostMode>(2)));
        QVERIFY(!(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(window.geometry(), before);
        QVERIFY(window.isVisible());
    }

    void dropShadowIsIdempotent()
    {
        QWidget window;
        modMain::SetDropShadow(&window);
        modMain::SetDropShadow(&window);
        QVERIFY(modMain::HasDropShadow(&window));
    }

    void onlySafeLinksReachTheDesktop_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url");
        QTest::newRow("http") << "http://example.org/a?b=1"
                              << "http://example.org/a?b=1";
        QTest::newRow("https") << "HTTPS://example.org"
                               << "https://example.org";
        QTest::newRow("ftp") << "ftp://files.example.org/x"
                             << "ftp://files.example.org/x";
        QTest::newRow("www") << "www.example.org"
                             << "http://www.example.org";
        QTest::newRow("mailto") << "mailto:ann@example.org"
                                << "mailto:ann@example.org";
        QTest::newRow("bare mail") << "ann@example.org"
                                   << "mailto:ann@example.org";
        QTest::newRow("file") << "file:///etc/passwd"
                              << "";
        QTest::newRow("javascript") << "javascript:alert(1)"
                                    << "";
        QTest::newRow("local path") << "/usr/bin/xterm"
                                    << "";
        QTest::newRow("custom scheme") << "smb://host/share"
                                       << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void onlySafeLinksReachTheDesktop()
    {
        QFETCH(QString, text);
        QFETCH(QString, url);
        TestSeams seams;
        const bool handed = modMain::ShellOpen(QStringLiteral("open"), text);
        QCOMPARE(handed, !url.isEmpty());
        QCOMPARE(seams.openedUrls().size(), url.isEmpty() ? 0 : 1);
        if (!url.isEmpty())
            QCOMPARE(seams.openedUrls().first().toString(), url);
    }

    void readTextFileEncodings()
    {
        QTemporaryDir folder;
        const QString utf8 = folder.filePath(QStringLiteral("u.txt"));
        const QString old = folder.filePath(QStringLiteral("o.txt"));
        QVERIFY(TestEnvironment::writeFile(utf8, "caf\xC3\xA9 \xE2\x82\xAC\r\nline"));
        QVERIFY(TestEnvironment::writeFile(old, "caf\xE9 \x80\r\nline"));
        const QString expected = QStringLiteral("café €\r\nline");
        QCOMPARE(modMain::ReadTextFile(utf8), expected);
        QCOMPARE(modMain::ReadTextFile(old), expected);
        QCOMPARE(modMain::ReadTextFile(folder.filePath(QStringLiteral("none"))), QString());
    }
};

JOTTEX_GUI_TEST_MAIN(TestWindowUtils)
#include "tst_windowutils.moc"
