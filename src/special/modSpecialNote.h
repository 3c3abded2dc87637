#pragma once

#include "shell/AppError.h"
#include "store/NoteKinds.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

class QColor;
class QTextEdit;

// The machine's memory in bytes, 64-bit so today's memory sizes never wrap.
struct MemoryFigures {
    quint64 totalPhysical = 0;
    quint64 availablePhysical = 0;
    quint64 totalPageFile = 0; // swap
    quint64 availablePageFile = 0;
};

// One mounted volume as the drive note lists it.
struct DriveVolume {
    enum class Type { Removable, LocalDisk, Network, Optical, RamDisk, Unknown };

    QString mountPoint; // stands where the drive letter stood: "/", "/home", "/media/usb"
    QString label;      // the volume label, or the device name when there is none
    Type type = Type::Unknown;
    bool readable = true; // false: listed on one line, without sizes
    quint64 totalBytes = 0;
    quint64 freeBytes = 0;
};

// The content of the time, memory and drive notes, and the two routines that lay out every
// special note's text. Each builder rewrites the whole text of the area it is given.
namespace modSpecialNote {

// Clears the text and writes the header bold, 10 point, blue; bold is off afterwards.
void WriteSpecialHeader(QTextEdit* rtb, const QString& header);
// An 8 point bold "label: " (when there is a label), then the value in 10 point and CR LF,
// all black, at the insertion point.
void AppendLabelledLine(QTextEdit* rtb, const QString& value, const QString& label);

// The insertion point's formatting and text, as the builders and the clipboard notes use them.
void SetInsertionColor(QTextEdit* rtb, const QColor& color);
// Bold off, 10 point, black: the body text of every special note.
void SetBodyInsertion(QTextEdit* rtb);
// Inserts at the caret in the insertion formatting; CR LF pairs become paragraph breaks.
void InsertAtCaret(QTextEdit* rtb, const QString& text);
void MoveCaretToEnd(QTextEdit* rtb);

// The time note: "Time: " and below it Clock::now() as "hh:mm:ss AMPM" in 20 point.
void DisplayTime(QTextEdit* rtb);
// The memory note from the figures the system gives now; fails when they cannot be read.
Result DisplayComputerMemory(QTextEdit* rtb);
// The drive note from the volumes mounted now.
Result DisplayDrives(QTextEdit* rtb);
// The drive note from the given volumes; each line stays whole, however narrow the note.
void WriteDriveList(QTextEdit* rtb, const QList<DriveVolume>& volumes);

// The parts the builders are made of, open to tests with fixed figures.
Expected<MemoryFigures> ReadMemoryFigures(const QString& path = QStringLiteral("/proc/meminfo"));
// Fails when the text holds no total.
Expected<MemoryFigures> ParseMemInfo(const QByteArray& procMemInfo);
QString MemoryText(const MemoryFigures& figures); // the body below "Memory:"

// One line of the system's mount table.
struct MountEntry {
    QString device;
    QString mountPoint;
    QString fileSystemType;
    bool readOnly = false;

    bool operator==(const MountEntry&) const = default;
};
// The mounts of a mount table in the form of /proc/self/mounts, by mount point; of two at one
// point, the later, which hides the other.
QList<MountEntry> ParseMountTable(const QByteArray& table);
// How the drive note lists a mount, or nothing for the system's own mounts (proc, cgroup,
// snaps, containers' storage, read-only placeholders, ...) that are no drive of the user's.
// removableDevice: the kernel marks the device removable.
std::optional<DriveVolume::Type> VolumeType(const MountEntry& mount, bool removableDevice);
Expected<QList<DriveVolume>> MountedVolumes(); // real volumes only, in mount-point order
QString DriveListText(const QList<DriveVolume>& volumes);

double BytesToMegabytes(double bytes); // rounded to two decimals
double BytesToGigabytes(double bytes); // rounded to two decimals

} // namespace modSpecialNote
