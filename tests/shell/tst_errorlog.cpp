#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "shell/AppError.h"
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

    // The user hears once, in plain words, what is wrong with the data folder; the lines the
    // log cannot take go to the error output instead.
    void unwritableLogTellsOnceInPlainWords()
    {
        QVERIFY(QDir().mkpath(AppPaths::logFile())); // a folder where the file should be
        for (const char* line : {"a: b\t1\tx", "a: b\t2\ty"}) {
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("^jottex.log: .*\t") +
                                                    QString::fromLatin1(line) + QLatin1Char('$')));
        }
        modMain::WriteLogEntry(QStringLiteral("a: b"), QStringLiteral("1"), QStringLiteral("x"));
        modMain::WriteLogEntry(QStringLiteral("a: b"), QStringLiteral("2"), QStringLiteral("y"));
        const auto& requests = DialogSeam::requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].title, QStringLiteral("Jottex"));
        QCOMPARE(requests[0].text.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Jottex cannot write to its data folder, %1, because the file "
                                "could not be written.")
                     .arg(AppPaths::appDirectory()));
        QVERIFY(!requests[0].text.contains(QStringLiteral("error log entry")));
    }

    // Stored logs and the command line companion know the numbers: a renumbered name, a row
    // missing from the table or a save-box reason for the wrong number shows here.
    void errorNumberTable_data()
    {
        QTest::addColumn<int>("named");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason"); // empty: the failure's own description
        const QString own = QStringLiteral("Application-defined or object-defined error");
        QTest::newRow("disk full") << ErrorNumber::DiskFull << 61 << "Disk full"
                                   << "the disk is full";
        QTest::newRow("permission") << ErrorNumber::PermissionDenied << 70 << "Permission denied"
                                    << "permission was denied";
        QTest::newRow("access") << ErrorNumber::PathFileAccessError << 75
                                << "Path/File access error"
                                << "the file could not be written";
        QTest::newRow("folder") << ErrorNumber::PathNotFound << 76 << "Path not found"
                                << "the folder does not exist";
        QTest::newRow("file") << ErrorNumber::FileNotFound << 53 << "File not found" << QString();
        QTest::newRow("quote") << ErrorNumber::QuoteNoConnection << 101 << own << QString();
        QTest::newRow("quote data") << ErrorNumber::QuoteRetrieveFailed << 102 << own << QString();
        QTest::newRow("clipboard") << ErrorNumber::ClipboardNotOpen << 1570 << own << QString();
        QTest::newRow("clipboard open")
            << ErrorNumber::ClipboardCannotOpen << 1571 << own << QString();
        QTest::newRow("registry key")
            << ErrorNumber::RegistryKeyAccess << 26001 << own << QString();
        QTest::newRow("registry value")
            << ErrorNumber::RegistryValueWrite << int(0x800469A9) << own << QString();
        QTest::newRow("registry list")
            << ErrorNumber::RegistryEnumerateSections << int(0x800469AA) << own << QString();
        QTest::newRow("association items")
            << ErrorNumber::RegistryAssociationItems << int(0x800469AC) << own << QString();
        QTest::newRow("association class")
            << ErrorNumber::RegistryClassNotDefined << int(0x800469AD) << own << QString();
        QTest::newRow("unknown") << 12345 << 12345 << own << QString();
    }

    void errorNumberTable()
    {
        QFETCH(int, named);
        QFETCH(int, stored);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QCOMPARE(named, stored);
        QCOMPARE(ErrorNumber::description(named), text);
        const AppError error{named, {}, QStringLiteral("its own words")};
        QCOMPARE(error.reason(), reason.isEmpty() ? error.description : reason);
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
