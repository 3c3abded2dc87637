#include "TestEnvironment.h"
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
