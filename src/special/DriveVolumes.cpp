#include "shell/LocaleFormat.h"
#include "special/modSpecialNote.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStorageInfo>
#include <algorithm>

// The drive note's volumes: the user's disks, removable media, network shares, optical discs
// and RAM disks among the mounts of the system's mount table.
namespace {
using Type = DriveVolume::Type;

const QString kSource = QStringLiteral("modSpecialNote: MountedVolumes");
const QString kMountTable = QStringLiteral("/proc/self/mounts");

// Pseudo file systems: kernel interfaces and the plumbing of containers, never a drive wherever
// they are mounted.
const QStringList kSystemTypes = {
    QStringLiteral("proc"),          QStringLiteral("sysfs"),
    QStringLiteral("cgroup"),        QStringLiteral("cgroup2"),
    QStringLiteral("devtmpfs"),      QStringLiteral("devpts"),
    QStringLiteral("securityfs"),    QStringLiteral("pstore"),
    QStringLiteral("bpf"),           QStringLiteral("tracefs"),
    QStringLiteral("debugfs"),       QStringLiteral("mqueue"),
    QStringLiteral("hugetlbfs"),     QStringLiteral("configfs"),
    QStringLiteral("fusectl"),       QStringLiteral("autofs"),
    QStringLiteral("binfmt_misc"),   QStringLiteral("overlay"),
    QStringLiteral("efivarfs"),      QStringLiteral("nsfs"),
    QStringLiteral("rpc_pipefs"),    QStringLiteral("rootfs"),
    QStringLiteral("selinuxfs"),     QStringLiteral("nfsd"),
    QStringLiteral("fuse.lxcfs"),    QStringLiteral("fuse.portal"),
    QStringLiteral("fuse.snapfuse"), QStringLiteral("fuse.gvfsd-fuse"),
};
// The kernel's own trees: whatever is mounted inside them (cgroup's tmpfs, a container's masks
// over kernel files) is part of the kernel's view, not storage.
const QStringList kKernelFolders = {QStringLiteral("/proc"), QStringLiteral("/sys")};
// Where system services keep mounts of their own: package images (snaps are squashfs images
// under /snap), containers' storage and shared memory.
const QStringList kServiceFolders = {
    QStringLiteral("/snap"),
    QStringLiteral("/var/lib/snapd"),
    QStringLiteral("/run/snapd"),
    QStringLiteral("/var/lib/docker"),
    QStringLiteral("/var/lib/kubelet"),
};
// Where desktops mount what the user plugs in.
const QStringList kMediaFolders = {QStringLiteral("/media"), QStringLiteral("/run/media")};

const QStringList kNetworkTypes = {
    QStringLiteral("nfs"),         QStringLiteral("nfs4"),       QStringLiteral("cifs"),
    QStringLiteral("smb3"),        QStringLiteral("smbfs"),      QStringLiteral("9p"),
    QStringLiteral("afs"),         QStringLiteral("ceph"),       QStringLiteral("glusterfs"),
    QStringLiteral("sshfs"),       QStringLiteral("fuse.sshfs"), QStringLiteral("fuse.glusterfs"),
    QStringLiteral("fuse.rclone"),
};
const QStringList kOpticalTypes = {QStringLiteral("iso9660"), QStringLiteral("udf")};
const QStringList kRamTypes = {QStringLiteral("tmpfs"), QStringLiteral("ramfs")};

struct TypeText {
    Type type;
    const char* text;
};
// Unknown has no text: such a volume keeps the text of the one listed before it.
constexpr TypeText kTypeTexts[] = {
    {Type::Removable, QT_TRANSLATE_NOOP("DriveVolumes", "Removable Drive")},
    {Type::LocalDisk, QT_TRANSLATE_NOOP("DriveVolumes", "Local Hard Drive")},
    {Type::Network, QT_TRANSLATE_NOOP("DriveVolumes", "Network")},
    {Type::Optical, QT_TRANSLATE_NOOP("DriveVolumes", "CD-ROM")},
    {Type::RamDisk, QT_TRANSLATE_NOOP("DriveVolumes", "RAM Disk")},
};

bool isUnder(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

bool isUnderAny(const QString& path, const QStringList& folders)
{
    return std::any_of(folders.begin(), folders.end(),
                       [&](const QString& folder) { return isUnder(path, folder); });
}

// The mount table writes blanks, tabs, line breaks and backslashes as octal escapes ("\040").
QString unescapeField(const QByteArray& field)
{
    constexpr int kEscapeLength = 4;
    constexpr int kOctal = 8;
    QByteArray text;
    for (qsizetype i = 0; i < field.size(); ++i) {
        bool ok = false;
        const int code = field[i] == '\\' && i + kEscapeLength <= field.size()
                             ? field.mid(i + 1, kEscapeLength - 1).toInt(&ok, kOctal)
                             : 0;
        if (ok) {
            text += char(code);
            i += kEscapeLength - 1;
        } else {
            text += field[i];
        }
    }
    return QString::fromUtf8(text);
}

// The kernel's "removable" mark of the disk a device node belongs to.
bool isRemovableDevice(const QString& device)
{
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
    const QString node = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    QDir block(QFileInfo(QStringLiteral("/sys/class/block/") + node).canonicalFilePath());
    if (node.isEmpty() || !block.exists())
        return false;
    if (block.exists(QStringLiteral("partition")))
        block.cdUp();
    QFile removable(block.filePath(QStringLiteral("removable")));
    return removable.open(QIODevice::ReadOnly) && removable.readAll().trimmed() == "1";
}

DriveVolume volumeAt(const modSpecialNote::MountEntry& mount, Type type)
{
    const QStorageInfo storage(mount.mountPoint);
    DriveVolume volume;
    volume.mountPoint = mount.mountPoint;
    volume.label = storage.name().trimmed();
    if (volume.label.isEmpty())
        volume.label = mount.device;
    volume.type = type;
    volume.readable = storage.isValid() && storage.isReady();
    volume.totalBytes = quint64(std::max<qint64>(0, storage.bytesTotal()));
    volume.freeBytes = quint64(std::max<qint64>(0, storage.bytesAvailable()));
    return volume;
}

QString gigabytes(quint64 bytes)
{
    return LocaleFormat::generalNumber(modSpecialNote::BytesToGigabytes(double(bytes)));
}

// One size, indented under its volume's line.
QString sizeLine(const char* text, quint64 bytes)
{
    return QStringLiteral("      ") +
           QCoreApplication::translate("DriveVolumes", text).arg(gigabytes(bytes));
}
} // namespace

// One rule for pseudo and RAM file systems, whatever the folder: a pseudo file system is never
// a drive, and every tmpfs or ramfs that can hold files is a RAM Disk (/dev/shm, /run/user/1000,
// /tmp, /mnt/scratch alike), listed with the sizes its mount reports, unless the kernel or a
// system service keeps it for itself. A read-only one holds nothing: it masks a kernel file or
// stands in for something absent, as services' credentials and tools' placeholders do.
std::optional<DriveVolume::Type> modSpecialNote::VolumeType(const MountEntry& mount,
                                                            bool removableDevice)
{
    const QString& type = mount.fileSystemType;
    if (kSystemTypes.contains(type) || isUnderAny(mount.mountPoint, kKernelFolders) ||
        isUnderAny(mount.mountPoint, kServiceFolders))
        return std::nullopt;
    if (kRamTypes.contains(type))
        return mount.readOnly ? std::nullopt : std::optional(Type::RamDisk);
    if (kNetworkTypes.contains(type))
        return Type::Network;
    if (kOpticalTypes.contains(type) || mount.device.startsWith(QLatin1String("/dev/sr")))
        return Type::Optical;
    if (removableDevice || isUnderAny(mount.mountPoint, kMediaFolders))
        return Type::Removable;
    return Type::LocalDisk;
}

QList<modSpecialNote::MountEntry> modSpecialNote::ParseMountTable(const QByteArray& table)
{
    // By mount point, so the list comes sorted and a mount hidden under a later one drops out.
    QMap<QString, MountEntry> mounts;
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        constexpr int kTypeField = 2;
        constexpr int kOptionsField = 3;
        if (fields.size() <= kTypeField)
            continue;
        MountEntry entry{unescapeField(fields[0]), unescapeField(fields[1]),
                         QString::fromUtf8(fields[kTypeField]),
                         fields.value(kOptionsField).split(',').contains("ro")};
        mounts.insert(entry.mountPoint, entry);
    }
    return mounts.values();
}

Expected<QList<DriveVolume>> modSpecialNote::MountedVolumes()
{
    QFile table(kMountTable);
    if (!table.open(QIODevice::ReadOnly))
        return AppError::fromNumber(
            table.exists() ? ErrorNumber::PathFileAccessError : ErrorNumber::FileNotFound, kSource);
    QList<DriveVolume> volumes;
    for (const MountEntry& mount : ParseMountTable(table.readAll())) {
        // Files bound over files (a container's /etc/hosts) are no volume.
        if (!QFileInfo(mount.mountPoint).isDir())
            continue;
        if (const auto type = VolumeType(mount, isRemovableDevice(mount.device)))
            volumes.append(volumeAt(mount, *type));
    }
    return volumes;
}

QString modSpecialNote::DriveListText(const QList<DriveVolume>& volumes)
{
    const QString crLf = QStringLiteral("\r\n");
    QString text;
    QString typeText;
    for (const DriveVolume& volume : volumes) {
        for (const TypeText& entry : kTypeTexts) {
            if (entry.type == volume.type)
                typeText = QCoreApplication::translate("DriveVolumes", entry.text);
        }
        text += volume.mountPoint + QStringLiteral("  ") + volume.label.trimmed() +
                QStringLiteral(" (") + typeText + QStringLiteral(")  ") + crLf;
        if (!volume.readable)
            continue;
        text +=
            sizeLine(QT_TRANSLATE_NOOP("DriveVolumes", "Total Space: %1GB"), volume.totalBytes) +
            QStringLiteral("  ") + crLf +
            sizeLine(QT_TRANSLATE_NOOP("DriveVolumes", "Free Space: %1GB"), volume.freeBytes) +
            crLf;
    }
    return text;
}
