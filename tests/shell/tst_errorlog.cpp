#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "shell/LocaleFormat.h"
#include "shell/Paths.h"

#include <QtTest>

class TestErrorLog : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        Clock::setFixedNow({});
    }

    void entriesAreLinesInCallOrder()
    {
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(9, 21, 58)));
        modMain::WriteLogEntry(QStringLiteral("modNote: SaveNote"), QStringLiteral("61"),
                               QStringLiteral("Disk full"));
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(14, 5, 7)));
        modMain::WriteLogEntry(QStringLiteral("modNote: LoadNote"), QStringLiteral("53"),
                               QStringLiteral("File not found:\r\nline two\tand a tab"));
        const QByteArray raw = TestEnvironment::readFile(AppPaths::logFile());
        QCOMPARE(raw, QByteArray("12/6/2026 9:21:58 AM\tmodNote: SaveNote\t61\tDisk full\r\n"
                                 "12/6/2026 2:05:07 PM\tmodNote: LoadNote\t53\t"
                                 "File not found: line two and a tab\r\n"));
        QVERIFY(DialogSeam::requests().isEmpty());
    }

    void unwritableLogTellsOncePerEntry()
    {
        QVERIFY(QDir().mkpath(AppPaths::logFile())); // a folder where the file should be
        modMain::WriteLogEntry(QStringLiteral("a: b"), QStringLiteral("1"), QStringLiteral("x"));
        modMain::WriteLogEntry(QStringLiteral("a: b"), QStringLiteral("2"), QStringLiteral("y"));
        const auto& requests = DialogSeam::requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[0].title, QStringLiteral("Log Error"));
        QCOMPARE(requests[0].text,
                 QStringLiteral("There was an error in creating an error log entry"));
    }

    void localeTexts()
    {
        const QDateTime moment(QDate(2026, 12, 6), QTime(15, 7, 9));
        QCOMPARE(LocaleFormat::generalDate(moment), QStringLiteral("12/6/2026 3:07:09 PM"));
        QCOMPARE(LocaleFormat::longDate(moment.date()), QStringLiteral("Sunday, December 6, 2026"));
        QCOMPARE(LocaleFormat::shortDate(moment.date()), QStringLiteral("12/6/2026"));
        QCOMPARE(LocaleFormat::hhmmssAmPm(moment.time()), QStringLiteral("03:07:09 PM"));
        QCOMPARE(LocaleFormat::hhmmssAmPm(QTime(0, 0, 1)), QStringLiteral("12:00:01 AM"));
        QCOMPARE(LocaleFormat::generalNumber(1177.38), QStringLiteral("1177.38"));
        QCOMPARE(LocaleFormat::generalNumber(1234567), QStringLiteral("1234567"));
    }
};

JOTTEX_TEST_MAIN(TestErrorLog)
#include "tst_errorlog.moc"
