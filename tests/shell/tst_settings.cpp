#include "common/TestEnvironment.h"
#include "common/TestSeams.h"
#include "shell/Paths.h"
#include "shell/RegistryHive.h"
#include "shell/Settings.h"
#include "shell/cRegistry.h"

#include <QDir>
#include <QProcess>
#include <QtTest>
#include <sys/stat.h>

using modMain::Setting;

namespace {
const QString kKey = QString::fromLatin1(modMain::kSettingsKey);
constexpr int kWritesPerWriter = 200;

// Helper modes of this program, started by the tests as child processes.
int writeSettings(const QString& prefix)
{
    for (int i = 0; i < kWritesPerWriter; ++i) {
        const QString name = prefix + QString::number(i);
        if (modMain::WriteSetting(kKey, name, name).failed())
            return 1;
    }
    return 0;
}

QStringList settingsNames()
{
    QStringList names;
    cRegistry registry;
    registry.setClassKey(cRegistry::HKEY_CURRENT_USER);
    registry.setSectionKey(kKey);
    int count = 0;
    if (registry.EnumerateValues(names, count).failed())
        return {};
    return names;
}

// A value of the autostart entry with the key file's escapes undone, as a desktop environment
// reads it.
QString entryValue(const QString& key)
{
    const QString text = QString::fromUtf8(TestEnvironment::readFile(AppPaths::autostartFile()));
    const QString prefix = key + u'=';
    for (const QString& line : text.split(u'\n')) {
        if (!line.startsWith(prefix))
            continue;
        QString value;
        for (qsizetype i = prefix.size(); i < line.size(); ++i) {
            if (line[i] != u'\\' || i + 1 == line.size()) {
                value += line[i];
                continue;
            }
            const QChar c = line[++i];
            value += c == u'n'   ? QChar(u'\n')
                     : c == u't' ? QChar(u'\t')
                     : c == u's' ? QChar(u' ')
                                 : c;
        }
        return value;
    }
    return {};
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void firstStartReadsDefaults()
    {
        QCOMPARE(modMain::ReadSetting(Setting::SaveSetting), QStringLiteral("False"));
        QCOMPARE(modMain::ReadSetting(Setting::AutoSave), QStringLiteral("True"));
        QCOMPARE(modMain::ReadSetting(Setting::SaveNewNoteOnClose), QStringLiteral("True"));
        QCOMPARE(modMain::ReadSetting(Setting::Top, QStringLiteral("1200")),
                 QStringLiteral("1200"));
        QVERIFY(!QFile::exists(AppPaths::hiveFile()));
    }

    void writtenTextsReadBackAsPlainStrings()
    {
        QVERIFY(modMain::WriteSetting(Setting::Height, QStringLiteral("3000")).ok());
        QVERIFY(modMain::WriteSetting(Setting::Color, QStringLiteral("blue")).ok());
        QVERIFY(modMain::WriteSetting(Setting::Color, QStringLiteral("peach")).ok());
        QCOMPARE(modMain::ReadSetting(Setting::Height), QStringLiteral("3000"));
        QCOMPARE(modMain::ReadSetting(Setting::Color), QStringLiteral("peach"));
        QCOMPARE(settingsNames(), QStringList({"Height", "Color"}));
        const RegistryHive hive = RegistryHive::read(AppPaths::hiveFile());
        const RegistryValue* color =
            hive.value(QStringLiteral("HKEY_CURRENT_USER\\") + kKey, QStringLiteral("color"));
        QCOMPARE(color->type, 1u);
        QCOMPARE(color->data, QByteArray("peach\0", 6));
    }

    void storedNumberReadsAsDecimalText()
    {
        cRegistry registry;
        registry.setClassKey(cRegistry::HKEY_CURRENT_USER);
        registry.setSectionKey(kKey);
        registry.setValueKey(QStringLiteral("Alpha"));
        registry.setValueType(cRegistry::REG_DWORD);
        QVERIFY(registry.setValue(-7).ok());
        QCOMPARE(modMain::ReadSetting(Setting::Alpha), QStringLiteral("-7"));
    }

    void writeFailureReachesTheCaller()
    {
        QVERIFY(QDir().mkpath(AppPaths::hiveFile())); // a folder where the hive file belongs
        const Result failure = modMain::WriteSetting(Setting::Color, QStringLiteral("red"));
        QVERIFY(failure.failed());
        QCOMPARE(failure.error().number, 26001);
        QCOMPARE(failure.error().description,
                 QStringLiteral("Failed to create registry Key: 'SOFTWARE\\Ulmar\\Jottex"));
        QCOMPARE(modMain::ReadSetting(Setting::Color), QStringLiteral("yellow"));
    }

    void brokenHiveGivesDefaults()
    {
        QVERIFY(TestEnvironment::writeFile(AppPaths::hiveFile(), "REGEDIT4\n[HKEY_CURRENT_USER\n"));
        QCOMPARE(modMain::ReadSetting(Setting::AutoSave), QStringLiteral("True"));
        const QFileInfo hive(AppPaths::hiveFile());
        QCOMPARE(hive.dir().entryList({hive.fileName() + QStringLiteral(".bad-*")}).size(), 1);
        QCOMPARE(TestEnvironment::logLines().size(), 1);
        QVERIFY(modMain::WriteSetting(Setting::AutoSave, QStringLiteral("False")).ok());
        QCOMPARE(modMain::ReadSetting(Setting::AutoSave), QStringLiteral("False"));
    }

    void batchWritesAllOrNothing()
    {
        QVERIFY(modMain::WriteSetting(Setting::Color, QStringLiteral("blue")).ok());
        const std::vector<std::pair<Setting, QString>> values{
            {Setting::Color, QStringLiteral("red")},
            {Setting::Height, QStringLiteral("3000")},
            {Setting::FontName, QStringLiteral("100% %HOME% Sans")},
            {Setting::SaveSetting, QStringLiteral("True")}};
        {
            TestSeams seams;
            seams.failSyncWith(ENOSPC);
            const Result failure = modMain::WriteSettings(values);
            QVERIFY(failure.failed());
            QCOMPARE(failure.error().number, int(0x800469A9));
        }
        QCOMPARE(settingsNames(), QStringList{QStringLiteral("Color")});
        QCOMPARE(modMain::ReadSetting(Setting::Color), QStringLiteral("blue"));

        QVERIFY(modMain::WriteSettings(values).ok());
        QCOMPARE(settingsNames(), QStringList({"Color", "Height", "FontName", "SaveSetting"}));
        for (const auto& [id, text] : values) {
            // Each value as WriteSetting stores it, expandable text included.
            QVERIFY(modMain::WriteSetting(kKey, QStringLiteral("single"), text).ok());
            const RegistryHive hive = RegistryHive::read(AppPaths::hiveFile());
            const QString path = QStringLiteral("HKEY_CURRENT_USER\\") + kKey;
            QCOMPARE(hive.value(path, modMain::settingName(id))->type,
                     hive.value(path, QStringLiteral("single"))->type);
            QCOMPARE(modMain::ReadSetting(id),
                     modMain::ReadSetting(kKey, QStringLiteral("single"), {}));
        }
    }

    void twoWritersLoseNothing()
    {
        QList<QProcess*> writers;
        for (const char* prefix : {"first", "second"}) {
            auto* writer = new QProcess(this);
            writer->setProcessChannelMode(QProcess::ForwardedChannels);
            writer->start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--write-settings"), QString::fromLatin1(prefix)});
            writers.append(writer);
        }
        for (QProcess* writer : writers) {
            QVERIFY(writer->waitForFinished(240000));
            QCOMPARE(writer->exitCode(), 0);
        }
        const QStringList names = settingsNames();
        QCOMPARE(names.size(), 2 * kWritesPerWriter);
        for (int i = 0; i < kWritesPerWriter; ++i) {
            for (const QString& prefix : {QStringLiteral("first"), QStringLiteral("second")}) {
                const QString name = prefix + QString::number(i);
                QCOMPARE(modMain::ReadSetting(kKey, name, {}), name);
            }
        }
        QVERIFY(!QFile::exists(AppPaths::hiveFile() + QStringLiteral(".bad")));
    }

    void autostartEntryNamesTheExecutable_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "bin";
        QTest::newRow("reserved characters") << "my notes $HOME `x` \"q\" 100% back\\slash";
    }

    void autostartEntryNamesTheExecutable()
    {
        QFETCH(QString, folder);
        const QString dir = qEnvironmentVariable("XDG_DATA_HOME") + u'/' + folder;
        const QString program = dir + QStringLiteral("/jottex");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        QCOMPARE(QProcess::execute(program, {QStringLiteral("--run-at-startup")}), 0);

        const QString text =
            QString::fromUtf8(TestEnvironment::readFile(AppPaths::autostartFile()));
        QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(text.contains(QStringLiteral("\nType=Application\n")));
        QVERIFY(text.contains(QStringLiteral("\nName=Jottex\n")));
        QVERIFY(text.contains(QStringLiteral("\nX-GNOME-Autostart-enabled=true\n")));
        QCOMPARE(entryValue(QStringLiteral("TryExec")), program);
        QString exec = entryValue(QStringLiteral("Exec"));
        if (folder == QStringLiteral("bin")) {
            QCOMPARE(exec, program);
        } else {
            // After the key file's escapes: field codes doubled, the argument quoted.
            exec.replace(QStringLiteral("%%"), QStringLiteral("%"));
            QVERIFY(exec.startsWith(u'"') && exec.endsWith(u'"'));
            QString unquoted;
            for (qsizetype i = 1; i + 1 < exec.size(); ++i)
                unquoted += exec[i] == u'\\' ? exec[++i] : exec[i];
            QCOMPARE(unquoted, program);
        }

        modMain::RemoveRunAtStartUp();
        QVERIFY(!QFile::exists(AppPaths::autostartFile()));
        modMain::RemoveRunAtStartUp();
    }

    // An entry the user turned off in their desktop's settings is theirs: a logout leaves it as
    // it is, and so does closing the last note, so the logout after that cannot write it on
    // again. An entry that is on is the program's to rewrite and remove.
    void turnedOffAutostartStaysOff_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("turnedOff");
        const QByteArray head =
            "[Desktop Entry]\nType=Application\nName=Jottex\nExec=/old/jottex\n";
        QTest::newRow("hidden") << head + "Hidden=true\n" << true;
        QTest::newRow("hidden, spaced and capitalised") << head + "Hidden = True\n" << true;
        QTest::newRow("GNOME switch off") << head + "X-GNOME-Autostart-enabled=false\n" << true;
        QTest::newRow("switched on") << head + "Hidden=false\nX-GNOME-Autostart-enabled=true\n"
                                     << false;
        QTest::newRow("an action's key") << head + "[Desktop Action x]\nHidden=true\n" << false;
        QTest::newRow("commented out") << head + "#Hidden=true\n" << false;
    }

    void turnedOffAutostartStaysOff()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, turnedOff);
        QVERIFY(TestEnvironment::writeFile(AppPaths::autostartFile(), before));
        modMain::RunAtStartUp();
        if (turnedOff) {
            QCOMPARE(TestEnvironment::readFile(AppPaths::autostartFile()), before);
        } else {
            QCOMPARE(entryValue(QStringLiteral("TryExec")),
                     QCoreApplication::applicationFilePath());
            QCOMPARE(entryValue(QStringLiteral("X-GNOME-Autostart-enabled")),
                     QStringLiteral("true"));
            QCOMPARE(entryValue(QStringLiteral("Hidden")), QString());
        }
        modMain::RemoveRunAtStartUp();
        QCOMPARE(QFile::exists(AppPaths::autostartFile()), turnedOff);
        if (turnedOff)
            QCOMPARE(TestEnvironment::readFile(AppPaths::autostartFile()), before);
    }

    // The data folder holds the notes: made for its owner alone under any umask, with the
    // folders above it that are missing. One that exists keeps the mode its owner gave it.
    void dataFolderIsPrivate()
    {
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        const QString fresh = dataHome + QStringLiteral("/fresh/share");
        auto modeOf = [](const QString& path) {
            struct stat info {};
            return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777
                                                                           : mode_t(0);
        };
        const mode_t oldMask = ::umask(022);
        qputenv("XDG_DATA_HOME", fresh.toUtf8());
        const QString folder = AppPaths::appDirectory();
        const QString shared = dataHome + QStringLiteral("/shared");
        QVERIFY(QDir().mkpath(shared + QStringLiteral("/Jottex")));
        QVERIFY(::chmod(QFile::encodeName(shared + QStringLiteral("/Jottex")).constData(), 0750) ==
                0);
        qputenv("XDG_DATA_HOME", shared.toUtf8());
        const QString existing = AppPaths::appDirectory();
        qputenv("XDG_DATA_HOME", dataHome);
        ::umask(oldMask);

        QCOMPARE(folder, fresh + QStringLiteral("/Jottex"));
        QCOMPARE(modeOf(folder), mode_t(0700));
        QCOMPARE(modeOf(fresh), mode_t(0700));
        QCOMPARE(modeOf(existing), mode_t(0750));
    }

    void autostartFailureIsLogged_data()
    {
        QTest::addColumn<bool>("atFlush");
        QTest::addColumn<QByteArray>("before"); // the entry already there; empty for none
        QTest::newRow("write") << false << QByteArray();
        QTest::newRow("flush") << true << QByteArray();
        QTest::newRow("flush over an entry") << true << QByteArray("[Desktop Entry]\nold\n");
    }

    void autostartFailureIsLogged()
    {
        QFETCH(bool, atFlush);
        QFETCH(QByteArray, before);
        if (!before.isEmpty())
            QVERIFY(TestEnvironment::writeFile(AppPaths::autostartFile(), before));
        {
            TestSeams seams;
            if (atFlush)
                seams.failSyncWith(ENOSPC);
            else
                seams.failWritesAfter(0);
            modMain::RunAtStartUp();
        }
        QCOMPARE(QFile::exists(AppPaths::autostartFile()), !before.isEmpty());
        if (!before.isEmpty())
            QCOMPARE(TestEnvironment::readFile(AppPaths::autostartFile()), before);
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].contains(QStringLiteral("\tmodMain: RunAtStartUp\t61\tDisk full")));
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--write-settings") == 0) {
        QCoreApplication app(argc, argv); // keeps the parent's folders
        return writeSettings(QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 2 && qstrcmp(argv[1], "--run-at-startup") == 0) {
        QCoreApplication app(argc, argv);
        modMain::RunAtStartUp();
        return 0;
    }
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    TestSettings test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings.moc"
