#include "special/modSpecialNote.h"

#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "special/CaretText.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <cmath>

// The time, memory and drive notes: a header, then the body in black below it.
namespace {
const QColor kBlack(0, 0, 0);
constexpr qreal kTimePointSize = 20;
constexpr double kBytesPerKilobyte = 1024;
const QString kCrLf = QStringLiteral("\r\n");

// Two decimals, halves away from zero, as a number formatted "0.00" reads back.
double roundToHundredths(double value)
{
    constexpr double kHundred = 100;
    return std::round(value * kHundred) / kHundred;
}

void insertBody(QTextEdit* rtb, const QString& body)
{
    CaretText::setInsertionFormat(rtb,
                                  [](QTextCharFormat& format) { format.setForeground(kBlack); });
    modSpecialNote::InsertAtCaret(rtb, kCrLf + body);
}
} // namespace

double modSpecialNote::BytesToMegabytes(double bytes)
{
    return roundToHundredths(bytes / kBytesPerKilobyte / kBytesPerKilobyte);
}

double modSpecialNote::BytesToGigabytes(double bytes)
{
    return roundToHundredths(bytes / kBytesPerKilobyte / kBytesPerKilobyte / kBytesPerKilobyte);
}

void modSpecialNote::DisplayTime(QTextEdit* rtb)
{
    WriteSpecialHeader(rtb, QCoreApplication::translate("modSpecialNote", "Time: "));
    CaretText::setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontPointSize(kTimePointSize);
        format.setForeground(kBlack);
    });
    modSpecialNote::InsertAtCaret(rtb, kCrLf + LocaleFormat::hhmmssAmPm(Clock::now().time()));
}

Result modSpecialNote::DisplayComputerMemory(QTextEdit* rtb)
{
    const Expected<MemoryFigures> figures = ReadMemoryFigures();
    if (figures.failed())
        return figures.error();
    WriteSpecialHeader(rtb, QCoreApplication::translate("modSpecialNote", "Memory:"));
    insertBody(rtb, MemoryText(figures.value()));
    return {};
}

Result modSpecialNote::DisplayDrives(QTextEdit* rtb)
{
    const Expected<QList<DriveVolume>> volumes = MountedVolumes();
    if (volumes.failed())
        return volumes.error();
    WriteDriveList(rtb, volumes.value());
    return {};
}

void modSpecialNote::WriteDriveList(QTextEdit* rtb, const QList<DriveVolume>& volumes)
{
    WriteSpecialHeader(rtb, QCoreApplication::translate("modSpecialNote", "Drive(s):"));
    insertBody(rtb, DriveListText(volumes));
    // A long mount point keeps to its line: the note scrolls sideways rather than break a path.
    QTextCursor list(rtb->document()->firstBlock().next());
    list.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    QTextBlockFormat whole;
    whole.setNonBreakableLines(true);
    list.mergeBlockFormat(whole);
}
