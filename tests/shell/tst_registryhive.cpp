#include "common/TestEnvironment.h"
#include "shell/Clock.h"
#include "shell/Paths.h"
#include "shell/RegistryHive.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QtTest>
#include <sys/stat.h>

using Status = RegistryHive::Status;

namespace {
constexpr qint64 kHugeBytes = qint64(17) * 1024 * 1024; // beyond what a hive may be
const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Ulmar\\Jottex");

Status writeOne(const QString& name, quint32 type, const QByteArray& data)
{
    return RegistryHive::update(AppPaths::hiveFile(), [&](RegistryHive& hive) {
        return hive.setValue(kKey, name, type, data);
    });
}
} // namespace

class TestRegistryHive : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void everyTypeSurvivesTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("line"); // expected start of the line in the file

        const QByteArray long300(300, '\xAB');
        QTest::newRow("plain text")
            << "Color" << 1u << QByteArray("yellow\0", 7) << QByteArray("\"Color\"=\"yellow\"");
        QTest::newRow("quote and backslash") << "a\"b\\c" << 1u << QByteArray("C:\\x \"y\"\0", 9)
                                             << QByteArray("\"a\\\"b\\\\c\"=\"C:\\\\x \\\"y\\\"\"");
        QTest::newRow("default value") << "" << 1u << QByteArray("d\0", 2) << QByteArray("@=\"d\"");
        QTest::newRow("utf-8 text")
            << "Grüße" << 1u << QByteArray("Zoë €\0", 9) << QByteArray("\"Grüße\"=\"Zoë €\"");
        QTest::newRow("embedded NUL")
            << "n" << 1u << QByteArray("a\0b\0", 4) << QByteArray("\"n\"=hex(1):61,00,62,00");
        QTest::newRow("line break")
            << "n" << 1u << QByteArray("a\r\nb\0", 5) << QByteArray("\"n\"=hex(1):");
        QTest::newRow("no terminator")
            << "n" << 1u << QByteArray("ab") << QByteArray("\"n\"=hex(1):61,62");
        QTest::newRow("invalid utf-8")
            << "n" << 1u << QByteArray("\xFF\0", 2) << QByteArray("\"n\"=hex(1):ff,00");
        QTest::newRow("expand") << "e" << 2u << QByteArray("%HOME%\0", 7)
                                << QByteArray("\"e\"=hex(2):25,");
        QTest::newRow("binary wraps") << "b" << 3u << long300 << QByteArray("\"b\"=hex:ab,ab");
        QTest::newRow("dword") << "d" << 4u << QByteArray("\x1f\0\0\0", 4)
                               << QByteArray("\"d\"=dword:0000001f");
        QTest::newRow("short dword")
            << "d" << 4u << QByteArray("\1\2", 2) << QByteArray("\"d\"=hex(4):01,02");
        QTest::newRow("multi") << "m" << 7u << QByteArray("a\0b\0\0", 5)
                               << QByteArray("\"m\"=hex(7):61,00,62");
        QTest::newRow("qword") << "q" << 11u << QByteArray(8, '\7')
                               << QByteArray("\"q\"=hex(b):07");
        QTest::newRow("name with line break")
            << "two\nlines" << 1u << QByteArray("v\0", 2) << QByteArray("\"two\nlines\"=\"v\"");
    }

    void everyTypeSurvivesTheFile()
    {
        QFETCH(QString, name);
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, line);
        QCOMPARE(writeOne(QStringLiteral("before"), 1, QByteArray("1\0", 2)), Status::Ok);
        QCOMPARE(writeOne(name, type, data), Status::Ok);
        QCOMPARE(writeOne(QStringLiteral("after"), 1, QByteArray("2\0", 2)), Status::Ok);

        const QByteArray file = TestEnvironment::readFile(AppPaths::hiveFile());
        QVERIFY(file.startsWith("REGEDIT4\n"));
        QVERIFY2(file.contains("\n" + line), file.constData());
        for (const QByteArray& physical : file.split('\n'))
            QVERIFY(physical.size() <= 80 || physical.contains('"'));

        const RegistryHive hive = RegistryHive::read(AppPaths::hiveFile());
        const RegistryValue* value = hive.value(kKey, name);
        QVERIFY(value);
        QCOMPARE(value->name, name);
        QCOMPARE(value->type, type);
        QCOMPARE(value->data, data);
        QCOMPARE(hive.valueNames(kKey),
                 QStringList({QStringLiteral("before"), name, QStringLiteral("after")}));
    }

    void readsVersion5Files()
    {
        const QString text =
            QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                           "; exported\r\n"
                           "[HKEY_CURRENT_USER\\SOFTWARE\\Ulmar\\Jottex]\r\n"
                           "\"Color\"=\"grün\"\r\n"
                           "\"Path\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,\\\r\n"
                           "  00,00\r\n"
                           "\"Multi\"=hex(7):61,00,00,00,e9,00,00,00,00,00\r\n"
                           "\"Bin\"=hex:01,02\r\n"
                           "\"Gone\"=-\r\n"
                           "[-HKEY_CURRENT_USER\\Old]\r\n"
                           "\"Ignored\"=\"x\"\r\n");
        const QByteArray bytes =
            QByteArray("\xFF\xFE") + QStringEncoder(QStringEncoder::Utf16LE)(text);
        QString error;
        const auto hive = RegistryHive::parse(bytes, &error);
        QVERIFY2(hive, qPrintable(error));
        QCOMPARE(hive->value(kKey, QStringLiteral("Color"))->data, QByteArray("grün\0", 6));
        QCOMPARE(hive->value(kKey, QStringLiteral("Path"))->data, QByteArray("%HOME%\0", 7));
        QCOMPARE(hive->value(kKey, QStringLiteral("Multi"))->data, QByteArray("a\0é\0\0", 6));
        QCOMPARE(hive->value(kKey, QStringLiteral("Bin"))->data, QByteArray("\1\2", 2));
        QCOMPARE(hive->valueNames(kKey).size(), 4);
        QVERIFY(!hive->keyExists(QStringLiteral("HKEY_CURRENT_USER\\Old")));
        QVERIFY(hive->keyExists(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE")));
    }

    void brokenFileIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("kept"); // values of key A that survive
        QTest::newRow("no header")
            << QByteArray("[HKEY_CURRENT_USER\\A]\n\"a\"=\"b\"\n") << QStringList{"a"};
        QTest::newRow("unterminated string")
            << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=\"b\n\"c\"=\"d\"\n")
            << QStringList{"c"};
        QTest::newRow("bad hex") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex:0g\n"
                                               "\"b\"=hex:01\n")
                                 << QStringList{"b"};
        QTest::newRow("bad continued hex")
            << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex:01,\\\n  zz\n\"b\"=\"c\"\n")
            << QStringList{"b"};
        QTest::newRow("bad dword")
            << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=dword:123456789\n")
            << QStringList{};
        QTest::newRow("value outside key")
            << QByteArray("REGEDIT4\n\"a\"=\"b\"\n[HKEY_CURRENT_USER\\A]\n\"c\"=\"d\"\n")
            << QStringList{"c"};
        QTest::newRow("unknown type")
            << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=qword:1\n\"b\"=dword:1\n")
            << QStringList{"b"};
        QTest::newRow("values of a broken key are dropped")
            << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=\"1\"\n[HKEY_CURRENT_USER\\B\n"
                          "\"b\"=\"2\"\n")
            << QStringList{"a"};
        QTest::newRow("odd utf-16") << QByteArray("Windows Registry Editor Version 5.00\n"
                                                  "[HKEY_CURRENT_USER\\A]\n\"a\"=hex(1):61\n")
                                    << QStringList{};
        QTest::newRow("binary junk") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11) << QStringList{};
    }

    void brokenFileIsSetAside()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, kept);
        const QString file = AppPaths::hiveFile();
        const QString key = QStringLiteral("HKEY_CURRENT_USER\\A");
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(9, 21, 58)));
        const QString aside = file + QStringLiteral(".bad-20261206-092158");
        QVERIFY(TestEnvironment::writeFile(file + QStringLiteral(".bad"), "older"));
        QVERIFY(TestEnvironment::writeFile(aside, "same second"));
        QVERIFY(TestEnvironment::writeFile(file, content));

        QCOMPARE(RegistryHive::read(file).valueNames(key), kept);
        QCOMPARE(RegistryHive::read(file).valueNames(key), kept); // now from the repaired file
        QVERIFY(kept.isEmpty() || QFile::exists(file));
        QCOMPARE(TestEnvironment::readFile(aside + QStringLiteral("-2")), content);
        QCOMPARE(TestEnvironment::readFile(aside), QByteArray("same second"));
        QCOMPARE(TestEnvironment::readFile(file + QStringLiteral(".bad")), QByteArray("older"));
        Clock::setFixedNow({});
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].contains(QStringLiteral("\tRegistryHive: read\t321\tInvalid file format")));

        QCOMPARE(writeOne(QStringLiteral("x"), 1, "y"), Status::Ok);
        QVERIFY(RegistryHive::read(file).value(kKey, QStringLiteral("x")));
        QCOMPARE(RegistryHive::read(file).valueNames(key), kept);
    }

    // Only a plain file of sensible size is read: the reader must neither block on a FIFO nor
    // read a device or a huge file, and a writer must not replace what it could not read.
    void unreadableFilesAreLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("huge") << "huge";
        QTest::newRow("folder") << "folder";
    }

    void unreadableFilesAreLeftAlone()
    {
        QFETCH(QString, kind);
        const QString file = AppPaths::hiveFile();
        const QByteArray name = QFile::encodeName(file);
        if (kind == QStringLiteral("fifo")) {
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        } else if (kind == QStringLiteral("huge")) {
            QFile huge(file);
            QVERIFY(huge.open(QIODevice::WriteOnly));
            QVERIFY(huge.write("REGEDIT4\n") > 0);
            QVERIFY(huge.resize(kHugeBytes));
        } else {
            QVERIFY(QDir().mkpath(file));
        }
        QVERIFY(RegistryHive::read(file).isEmpty());
        QCOMPARE(writeOne(QStringLiteral("x"), 1, "y"), Status::IoError);
        const QFileInfo after(file);
        QCOMPARE(after.isDir(), kind == QStringLiteral("folder"));
        if (kind == QStringLiteral("huge"))
            QCOMPARE(after.size(), kHugeBytes);
        QVERIFY(TestEnvironment::logLines().isEmpty());
        QFile::remove(file);
        QDir(file).removeRecursively();
    }

    // A lock file left empty or garbled by a crash names no process to find gone.
    void abandonedLockDoesNotBlock_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbled") << QByteArray("\x01\x02 not a lock\n");
    }

    void abandonedLockDoesNotBlock()
    {
        QFETCH(QByteArray, content);
        const QString lockName = AppPaths::hiveFile() + QStringLiteral(".lock");
        QVERIFY(TestEnvironment::writeFile(lockName, content));
        QFile lock(lockName);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-10),
                                 QFileDevice::FileModificationTime));
        lock.close();
        QCOMPARE(writeOne(QStringLiteral("x"), 1, "y"), Status::Ok);
        QVERIFY(RegistryHive::read(AppPaths::hiveFile()).value(kKey, QStringLiteral("x")));
    }

    // The parsed hive is kept between reads; any change of the file must still be seen, also
    // one that keeps its size and modification time.
    void changedFileIsReadAgain_data()
    {
        QTest::addColumn<bool>("sameInode");
        QTest::addColumn<bool>("oldTimes"); // the file looks long unchanged
        QTest::newRow("replaced") << false << false;
        QTest::newRow("rewritten in place") << true << false;
        QTest::newRow("rewritten in place, time put back") << true << true;
        QTest::newRow("replaced, time put back") << false << true;
    }

    void changedFileIsReadAgain()
    {
        QFETCH(bool, sameInode);
        QFETCH(bool, oldTimes);
        const QString file = AppPaths::hiveFile();
        const QDateTime past = QDateTime::currentDateTime().addSecs(-3600);
        QCOMPARE(writeOne(QStringLiteral("v"), 1, QByteArray("aaaa\0", 5)), Status::Ok);
        if (oldTimes) {
            QFile old(file);
            QVERIFY(old.open(QIODevice::ReadWrite));
            QVERIFY(old.setFileTime(past, QFileDevice::FileModificationTime));
        }
        QCOMPARE(RegistryHive::read(file).value(kKey, QStringLiteral("v"))->data,
                 QByteArray("aaaa\0", 5));
        QByteArray changed = TestEnvironment::readFile(file);
        changed.replace("aaaa", "bbbb");
        if (sameInode) {
            QFile in(file);
            QVERIFY(in.open(QIODevice::ReadWrite));
            QCOMPARE(in.write(changed), changed.size());
            if (oldTimes)
                QVERIFY(in.setFileTime(past, QFileDevice::FileModificationTime));
        } else {
            QVERIFY(TestEnvironment::writeFile(file + QStringLiteral(".new"), changed));
            if (oldTimes) {
                QFile next(file + QStringLiteral(".new"));
                QVERIFY(next.open(QIODevice::ReadWrite));
                QVERIFY(next.setFileTime(past, QFileDevice::FileModificationTime));
            }
            QVERIFY(::rename(QFile::encodeName(file + QStringLiteral(".new")).constData(),
                             QFile::encodeName(file).constData()) == 0);
        }
        QCOMPARE(RegistryHive::read(file).value(kKey, QStringLiteral("v"))->data,
                 QByteArray("bbbb\0", 5));
    }

    // Damaged files must never crash the reader, and whatever it accepts must write out to a
    // file that reads back the same.
    void damagedTextNeverCrashes()
    {
        RegistryHive sample;
        sample.setValue(kKey, QStringLiteral("t"), 1, QByteArray("a\"b\\c\0", 7));
        sample.setValue(kKey, QStringLiteral("m"), 7, QByteArray("x\0y\0\0", 5));
        sample.setValue(kKey, {}, 3, QByteArray(90, '\x5A'));
        sample.setValue(kKey + QStringLiteral("\\Sub"), QStringLiteral("d"), 4, "\1\2\3\4");
        const QByteArray text = sample.toRegedit4();
        QRandomGenerator random(20260);
        for (int round = 0; round < 3000; ++round) {
            QByteArray damaged = text;
            for (int edits = random.bounded(1, 4); edits > 0 && !damaged.isEmpty(); --edits) {
                const qsizetype at = random.bounded(damaged.size());
                switch (random.bounded(3)) {
                case 0:
                    damaged[at] = char(random.bounded(256));
                    break;
                case 1:
                    damaged.remove(at, random.bounded(1, 8));
                    break;
                default:
                    damaged.truncate(at);
                }
            }
            const QByteArray salvaged = RegistryHive::salvage(damaged).toRegedit4();
            QCOMPARE(RegistryHive::parse(salvaged)->toRegedit4(), salvaged);
            const auto hive = RegistryHive::parse(damaged);
            if (!hive)
                continue;
            const QByteArray written = hive->toRegedit4();
            const auto again = RegistryHive::parse(written);
            QVERIFY(again);
            QCOMPARE(again->toRegedit4(), written);
        }
    }
};

JOTTEX_TEST_MAIN(TestRegistryHive)
#include "tst_registryhive.moc"
