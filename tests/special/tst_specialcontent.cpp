#include "TestEnvironment.h"
#include "richtext/RichText.h"
#include "shell/Clock.h"
#include "special/modSpecialNote.h"

#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QtTest>

using Type = DriveVolume::Type;
using modSpecialNote::MountEntry;
Q_DECLARE_METATYPE(MemoryFigures)
Q_DECLARE_METATYPE(std::optional<DriveVolume::Type>)
Q_DECLARE_METATYPE(modSpecialNote::MountEntry)

namespace {
constexpr quint64 kGB = 1024ULL * 1024 * 1024;

// One line per run of equal formatting: "text|bold|points|colour".
QStringList runs(const QTextEdit& rtb)
{
    QStringList lines;
    for (QTextBlock block = rtb.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            lines << QStringLiteral("%1|%2|%3|%4")
                         .arg(it.fragment().text())
                         .arg(format.fontWeight() >= QFont::Bold ? "bold" : "normal")
                         .arg(format.fontPointSize())
                         .arg(format.foreground().color().name());
        }
    }
    return lines;
}

QString text(const QTextEdit& rtb)
{
    return RichText::plainText(rtb.document());
}
} // namespace

class TestSpecialContent : public QObject {
    Q_OBJECT

private slots:
    void headerAndLabelledLines()
    {
        QTextEdit rtb;
        rtb.setPlainText(QStringLiteral("old text"));
        modSpecialNote::WriteSpecialHeader(&rtb, QStringLiteral("Clipboard Log:\r\n"));
        modSpecialNote::AppendLabelledLine(&rtb, QStringLiteral("copied"),
                                           QStringLiteral("12/6/2026 9:21:58 AM"));
        modSpecialNote::AppendLabelledLine(&rtb, QStringLiteral("no label"), QString());
        QCOMPARE(text(rtb), QStringLiteral("Clipboard Log:\r\n12/6/2026 9:21:58 AM: copied\r\n"
                                           "no label\r\n"));
        QCOMPARE(runs(rtb), (QStringList{
                                QStringLiteral("Clipboard Log:|bold|10|#0000ff"),
                                QStringLiteral("12/6/2026 9:21:58 AM: |bold|8|#000000"),
                                QStringLiteral("copied|normal|10|#000000"),
                                QStringLiteral("no label|normal|10|#000000"),
                            }));
    }

    void timeNote()
    {
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(15, 7, 9)));
        QTextEdit rtb;
        modSpecialNote::DisplayTime(&rtb);
        Clock::setFixedNow({});
        QCOMPARE(text(rtb), QStringLiteral("Time: \r\n03:07:09 PM"));
        QCOMPARE(runs(rtb), (QStringList{QStringLiteral("Time: |bold|10|#0000ff"),
                                         QStringLiteral("03:07:09 PM|normal|20|#000000")}));
    }

    void memoryText_data()
    {
        QTest::addColumn<MemoryFigures>("figures");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half free") << MemoryFigures{kGB, kGB, kGB, 0}
                                   << "Total Physical: 1024M\r\nAvailable Physical: 1024M\r\n"
                                      "Total Memory: 2048M\r\nAvailable Memory: 1024M\r\n\r\n"
                                      "Percent Free: 50%";
        QTest::newRow("rounded") << MemoryFigures{1234567890, 536870912, 0, 0}
                                 << "Total Physical: 1177.38M\r\nAvailable Physical: 512M\r\n"
                                    "Total Memory: 1177.38M\r\nAvailable Memory: 512M\r\n\r\n"
                                    "Percent Free: 43%";
        QTest::newRow("past 32 bits") << MemoryFigures{16 * kGB, 3000000000, 0, 0}
                                      << "Total Physical: 16384M\r\nAvailable Physical: "
                                         "2861.02M\r\nTotal Memory: 16384M\r\nAvailable Memory: "
                                         "2861.02M\r\n\r\nPercent Free: 17%";
    }

    void memoryText()
    {
        QFETCH(MemoryFigures, figures);
        QFETCH(QString, expected);
        QCOMPARE(modSpecialNote::MemoryText(figures), expected);
    }

    void memoryNoteOfThisMachine()
    {
        QTextEdit rtb;
        QVERIFY(modSpecialNote::DisplayComputerMemory(&rtb).ok());
        QVERIFY2(text(rtb).startsWith(QStringLiteral("Memory:\r\nTotal Physical: ")),
                 qPrintable(text(rtb)));
        QCOMPARE(runs(rtb).first(), QStringLiteral("Memory:|bold|10|#0000ff"));
        QVERIFY(runs(rtb).at(1).endsWith(QStringLiteral("|normal|10|#000000")));
    }

    void parseMemInfo()
    {
        const QByteArray sample = "MemTotal:       16318508 kB\nMemFree:         1000 kB\n"
                                  "MemAvailable:   12000000 kB\nBuffers:  7 kB\n"
                                  "SwapTotal:       2097148 kB\nSwapFree:        2000000 kB\n";
        const Expected<MemoryFigures> figures = modSpecialNote::ParseMemInfo(sample);
        QVERIFY(figures.ok());
        QCOMPARE(figures.value().totalPhysical, 16318508ULL * 1024);
        QCOMPARE(figures.value().availablePhysical, 12000000ULL * 1024);
        QCOMPARE(figures.value().totalPageFile, 2097148ULL * 1024);
        QCOMPARE(figures.value().availablePageFile, 2000000ULL * 1024);

        QByteArray oldKernel = sample;
        oldKernel.replace("MemAvailable", "Other");
        QCOMPARE(modSpecialNote::ParseMemInfo(oldKernel).value().availablePhysical, 1000ULL * 1024);

        QCOMPARE(modSpecialNote::ParseMemInfo("garbage\n").error().number,
                 ErrorNumber::InvalidFileFormat);
        QCOMPARE(modSpecialNote::ReadMemoryFigures(QStringLiteral("/nonexistent/meminfo"))
                     .error()
                     .number,
                 ErrorNumber::FileNotFound);
    }

    void driveListText()
    {
        const QList<DriveVolume> volumes = {
            {QStringLiteral("/mnt/a"), QStringLiteral("odd"), Type::Unknown, false, 0, 0},
            {QStringLiteral("/"), QStringLiteral(" SYSTEM "), Type::LocalDisk, true,
             quint64(74.5 * kGB), quint64(10.26 * kGB) + 1},
            {QStringLiteral("/media/cd"), QStringLiteral("/dev/sr0"), Type::Optical, false, 0, 0},
            {QStringLiteral("/mnt/b"), QStringLiteral("b"), Type::Unknown, true, 0, 0},
        };
        QCOMPARE(modSpecialNote::DriveListText(volumes),
                 QStringLiteral("/mnt/a  odd ()  \r\n"
                                "/  SYSTEM (Local Hard Drive)  \r\n"
                                "      Total Space: 74.5GB  \r\n"
                                "      Free Space: 10.26GB\r\n"
                                "/media/cd  /dev/sr0 (CD-ROM)  \r\n"
                                "/mnt/b  b (CD-ROM)  \r\n"
                                "      Total Space: 0GB  \r\n"
                                "      Free Space: 0GB\r\n"));
    }

    // A German reader's notes: every label and kind comes translated, each in its place.
    void notesInGerman()
    {
        const GermanTexts german;
        QCOMPARE(german.language(), QStringLiteral("de"));
        QCOMPARE(modSpecialNote::MemoryText(MemoryFigures{kGB, kGB, kGB, 0}),
                 QStringLiteral("RAM gesamt: 1024M\r\nRAM verfügbar: 1024M\r\n"
                                "Speicher gesamt: 2048M\r\nSpeicher verfügbar: 1024M\r\n\r\n"
                                "Frei: 50 %"));
        const QList<DriveVolume> volumes = {
            {QStringLiteral("/"), QStringLiteral("SYSTEM"), Type::LocalDisk, true, 2 * kGB, kGB},
            {QStringLiteral("/media/stick"), QStringLiteral("STICK"), Type::Removable, false, 0, 0},
        };
        QTextEdit rtb;
        modSpecialNote::WriteDriveList(&rtb, volumes);
        QCOMPARE(text(rtb), QStringLiteral("Laufwerk(e):\r\n"
                                           "/  SYSTEM (Lokale Festplatte)  \r\n"
                                           "      Gesamt: 2 GB  \r\n"
                                           "      Frei: 1 GB\r\n"
                                           "/media/stick  STICK (Wechseldatenträger)  \r\n"));
        modSpecialNote::DisplayTime(&rtb);
        QVERIFY2(text(rtb).startsWith(QStringLiteral("Uhrzeit: \r\n")), qPrintable(text(rtb)));
    }

    // A RAM disk lists its own sizes, and a long mount point stays on one line in a narrow note.
    void driveListKeepsEachLineWhole()
    {
        const QString longPath = QStringLiteral("/media/me/Holiday photos from the long summer "
                                                "of twenty twenty six/backup disk");
        const QList<DriveVolume> volumes = {
            {QStringLiteral("/dev/shm"), QStringLiteral("tmpfs"), Type::RamDisk, true,
             quint64(7.8 * kGB), quint64(7.8 * kGB)},
            {longPath, QStringLiteral("BACKUP"), Type::Removable, true, 2 * kGB, kGB},
        };
        QTextEdit rtb;
        rtb.resize(160, 300);
        rtb.show();
        modSpecialNote::WriteDriveList(&rtb, volumes);
        QCOMPARE(text(rtb),
                 QStringLiteral("Drive(s):\r\n") + modSpecialNote::DriveListText(volumes));
        QVERIFY(text(rtb).contains(QStringLiteral("/dev/shm  tmpfs (RAM Disk)  \r\n"
                                                  "      Total Space: 7.8GB  ")));
        const QTextBlock pathLine = rtb.document()->findBlockByNumber(4);
        QVERIFY(pathLine.text().startsWith(longPath));
        QVERIFY(pathLine.layout()->lineCount() > 0);
        QCOMPARE(pathLine.layout()->lineCount(), 1);
        // The header still wraps as any text does.
        QVERIFY(!rtb.document()->firstBlock().blockFormat().nonBreakableLines());
    }

    void volumeType_data()
    {
        QTest::addColumn<MountEntry>("mount");
        QTest::addColumn<bool>("removable");
        QTest::addColumn<std::optional<Type>>("expected");
        const std::optional<Type> none;
        const std::optional<Type> ram(Type::RamDisk);
        const auto row = [](const char* name, const char* device, const char* mountPoint,
                            const char* fileSystem, std::optional<Type> expected,
                            bool removable = false, bool readOnly = false) {
            QTest::newRow(name) << MountEntry{device, mountPoint, fileSystem, readOnly} << removable
                                << expected;
        };
        row("root", "/dev/sda2", "/", "ext4", Type::LocalDisk);
        row("proc", "proc", "/proc", "proc", none);
        row("cgroup", "cgroup2", "/sys/fs/cgroup", "cgroup2", none);
        row("snap", "/dev/loop3", "/snap/core/17", "squashfs", none);
        row("container", "overlay", "/", "overlay", none);
        row("stick", "/dev/sdb1", "/media/me/STICK", "vfat", Type::Removable);
        row("marked", "/dev/sdc1", "/mnt/usb", "exfat", Type::Removable, true);
        row("disc", "/dev/sr0", "/run/media/me/DISC", "iso9660", Type::Optical, true);
        row("nfs", "server:/export", "/net/home", "nfs4", Type::Network);
        row("sshfs", "me@host:", "/home/me/remote", "fuse.sshfs", Type::Network);
        // Every RAM file system that can hold files is a RAM Disk, wherever it is mounted...
        row("tmp", "tmpfs", "/tmp", "tmpfs", ram);
        row("user's runtime tmpfs", "tmpfs", "/run/user/1000", "tmpfs", ram);
        row("shm", "tmpfs", "/dev/shm", "tmpfs", ram);
        row("tmpfs under /mnt", "scratch", "/mnt/scratch", "tmpfs", ram);
        row("ramfs", "ramfs", "/mnt/ram", "ramfs", ram);
        row("container's /dev", "tmpfs", "/dev", "tmpfs", ram);
        // ...but a read-only one is a placeholder, and the kernel's and services' are theirs.
        row("read-only placeholder", "unavailable", "/mnt/tools/python", "tmpfs", none, false,
            true);
        row("service credentials", "ramfs", "/run/credentials/systemd-sysusers.service", "ramfs",
            none, false, true);
        row("cgroup tmpfs", "tmpfs", "/sys/fs/cgroup", "tmpfs", none);
        row("container's mask", "tmpfs", "/proc/acpi", "tmpfs", none);
        row("container's shm", "shm", "/var/lib/docker/containers/1f/mounts/shm", "tmpfs", none);
        // Pseudo file systems are never drives, wherever they are mounted.
        row("devpts", "devpts", "/dev/pts", "devpts", none);
        row("mqueue", "mqueue", "/dev/mqueue", "mqueue", none);
        row("binfmt outside /proc", "binfmt_misc", "/mnt/binfmt", "binfmt_misc", none);
        row("gvfs", "gvfsd-fuse", "/run/user/1000/gvfs", "fuse.gvfsd-fuse", none);
    }

    void volumeType()
    {
        QFETCH(MountEntry, mount);
        QFETCH(bool, removable);
        QFETCH(std::optional<Type>, expected);
        QCOMPARE(modSpecialNote::VolumeType(mount, removable), expected);
    }

    void mountTable()
    {
        const QByteArray table = "/dev/sda2 / ext4 rw,relatime 0 0\n"
                                 "tmpfs /dev/shm tmpfs rw,nosuid,nodev,size=8g 0 0\n"
                                 "none /mnt/tools tmpfs ro,nosuid,size=4k 0 0\n"
                                 "/dev/sdb1 /media/me/My\\040Stick vfat rw 0 0\n"
                                 "/dev/sdc1 /mnt/tools ext4 rw 0 0\n"
                                 "truncated line\n";
        const QList<MountEntry> expected = {
            {"/dev/sda2", "/", "ext4", false},
            {"tmpfs", "/dev/shm", "tmpfs", false},
            {"/dev/sdb1", "/media/me/My Stick", "vfat", false},
            {"/dev/sdc1", "/mnt/tools", "ext4", false},
        };
        QCOMPARE(modSpecialNote::ParseMountTable(table), expected);
        QVERIFY(modSpecialNote::ParseMountTable("none /mnt/tools tmpfs ro,size=4k 0 0")
                    .first()
                    .readOnly);
    }

    void drivesOfThisMachine()
    {
        const Expected<QList<DriveVolume>> volumes = modSpecialNote::MountedVolumes();
        QVERIFY(volumes.ok());
        QStringList mountPoints;
        for (const DriveVolume& volume : volumes.value())
            mountPoints << volume.mountPoint;
        QVERIFY2(mountPoints.contains(QStringLiteral("/")), qPrintable(mountPoints.join(' ')));
        QStringList sorted = mountPoints;
        sorted.sort();
        QCOMPARE(mountPoints, sorted);
        for (const QString& mountPoint : mountPoints)
            QVERIFY(!mountPoint.startsWith(QStringLiteral("/proc")));

        QTextEdit rtb;
        QVERIFY(modSpecialNote::DisplayDrives(&rtb).ok());
        QVERIFY(text(rtb).startsWith(QStringLiteral("Drive(s):\r\n/  ")));
    }
};

JOTTEX_GUI_TEST_MAIN(TestSpecialContent)
#include "tst_specialcontent.moc"
