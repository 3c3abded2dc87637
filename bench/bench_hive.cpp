// Prints how long the settings hive takes to parse, to read one value and to save a note's
// settings, with a large hive: many values under one key, and many keys.
#include "shell/RegistryHive.h"
#include "shell/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {
constexpr int kValues = 100000; // about 11 MB of text

QByteArray largeHive(bool oneKey)
{
    QByteArray text = "REGEDIT4\n\n";
    const QByteArray filler(100, 'x');
    for (int i = 0; i < kValues; ++i) {
        if (!oneKey || i == 0)
            text += "[HKEY_CURRENT_USER\\SOFTWARE\\Filler\\K" + QByteArray::number(oneKey ? 0 : i) +
                    "]\n";
        text += "\"value" + QByteArray::number(i) + "\"=\"" + filler + "\"\n";
    }
    return text + "\n[HKEY_CURRENT_USER\\SOFTWARE\\Ulmar\\Jottex]\n\"SaveSetting\"=\"True\"\n";
}

void run(const char* label, const QByteArray& bytes)
{
    QElapsedTimer timer;
    timer.start();
    const auto hive = RegistryHive::parse(bytes);
    const qint64 parseMs = timer.elapsed();
    timer.restart();
    const QString saved = modMain::ReadSetting(modMain::Setting::SaveSetting);
    const qint64 firstReadMs = timer.elapsed();
    timer.restart();
    for (int i = 0; i < 14; ++i)
        (void)modMain::ReadSetting(modMain::Setting::Color);
    const qint64 laterReadsMs = timer.elapsed();
    timer.restart();
    (void)modMain::WriteSettings({{modMain::Setting::Color, QStringLiteral("blue")},
                                  {modMain::Setting::Width, QStringLiteral("3000")}});
    const qint64 writeMs = timer.elapsed();
    std::printf("%-22s %6.1f MB  parse %6lld ms  first read %6lld ms  14 reads %4lld ms  "
                "one settings save %6lld ms  (%s)\n",
                label, bytes.size() / 1e6, static_cast<long long>(parseMs),
                static_cast<long long>(firstReadMs), static_cast<long long>(laterReadsMs),
                static_cast<long long>(writeMs), hive ? "ok" : "unreadable");
    (void)saved;
}
} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    QCoreApplication app(argc, argv);
    for (const bool oneKey : {true, false}) {
        const QByteArray bytes = largeHive(oneKey);
        const QString path = home.filePath(QStringLiteral("config/Jottex/user.reg"));
        QDir().mkpath(home.filePath(QStringLiteral("config/Jottex")));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
        file.close();
        run(oneKey ? "one key, many values" : "many keys", bytes);
    }
    return 0;
}
