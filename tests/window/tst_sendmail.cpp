#include "NoteWindows.h"
#include "TestEnvironment.h"
#include "TestSeams.h"
#include "XServer.h"
#include "dialogs/DialogSeam.h"
#include "window/NoteMenus.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QFile>
#include <QTextCursor>
#include <QUrl>
#include <QUrlQuery>
#include <QtTest>

// A mail link as the desktop's launcher receives it. The offscreen platform opens no links, so
// this program runs on a private X display.
class TestSendMail : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString m_mailOut;

private slots:
    void initTestCase()
    {
        // A stand-in for xdg-open that writes down how many arguments it got, and the first.
        m_mailOut = m_folder.filePath(QStringLiteral("mail.txt"));
        QFile script(m_folder.filePath(QStringLiteral("xdg-open")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > '%1.part' && mv "
                                    "'%1.part' '%1'\n")
                         .arg(m_mailOut)
                         .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        qputenv("PATH", m_folder.path().toUtf8() + ':' + qgetenv("PATH"));
        DialogSeam::arm();
    }

    void cleanup() { NoteWindows::deleteAll(); }

    void mailReachesTheDesktop_data()
    {
        QTest::addColumn<QStringList>("paragraphs");
        QTest::addColumn<QString>("selectWord"); // empty: nothing selected
        QTest::addColumn<QString>("body");
        QTest::newRow("two lines") << QStringList{"a", "b"} << ""
                                   << "a\r\nb";
        QTest::newRow("escapes and raw characters")
            << QStringList{"50% off & a+b=c #1 'x' <y> [z] {w} |v| \\u ^t `s` \"q\""} << ""
            << "50% off & a+b=c #1 'x' <y> [z] {w} |v| \\u ^t `s` \"q\"";
        QTest::newRow("beyond ASCII") << QStringList{"Grüße, € 日本"} << ""
                                      << "Grüße, € 日本";
        QTest::newRow("selected word") << QStringList{"mail only this"} << "only"
                                       << "only";
        QTest::newRow("empty note") << QStringList{} << ""
                                    << "";
    }

    void mailReachesTheDesktop()
    {
        QFETCH(QStringList, paragraphs);
        QFETCH(QString, selectWord);
        QFETCH(QString, body);
        QFile::remove(m_mailOut);
        frmMain* window = frmMain::create(NoteOrigin::NewNote);
        window->show();
        QTextCursor cursor(window->RTB1()->document());
        cursor.insertText(paragraphs.join(QChar::ParagraphSeparator));
        if (!selectWord.isEmpty())
            window->RTB1()->setTextCursor(window->RTB1()->document()->find(selectWord));
        window->triggerMenuItem(NoteMenus::mnuEmail);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_mailOut), 10000);
        const QStringList lines = QString::fromUtf8(TestEnvironment::readFile(m_mailOut))
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0), QStringLiteral("1")); // one argument
        const QUrl url(lines.at(1), QUrl::StrictMode);
        QVERIFY2(url.isValid(), qPrintable(lines.at(1)));
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QVERIFY(url.path().isEmpty());
        const QUrlQuery query(url);
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("Jottex Note"));
        QCOMPARE(query.queryItemValue(QStringLiteral("Body"), QUrl::FullyDecoded), body);
    }

    // The mail goes out through the desktop seam like every other address, so a test (or a
    // sandbox) that replaces the seam sees it and nothing reaches the launcher.
    void mailGoesThroughTheDesktopSeam()
    {
        QFile::remove(m_mailOut);
        TestSeams seams;
        frmMain* window = frmMain::create(NoteOrigin::NewNote);
        window->show();
        QTextCursor(window->RTB1()->document()).insertText(QStringLiteral("hello"));
        window->triggerMenuItem(NoteMenus::mnuEmail);
        QCOMPARE(seams.openedUrls().size(), 1);
        const QUrlQuery query(seams.openedUrls().first());
        QCOMPARE(query.queryItemValue(QStringLiteral("Body"), QUrl::FullyDecoded),
                 QStringLiteral("hello"));
        QVERIFY(!QFile::exists(m_mailOut));
    }
};

int main(int argc, char** argv)
{
    TestEnvironment environment;
    XServer display;
    if (const QString why = display.start(); !why.isEmpty()) {
        qInfo("SKIP: %s", qPrintable(why));
        return 0;
    }
    qputenv("DISPLAY", display.display().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestSendMail test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_sendmail.moc"
