#include "shell/LocaleFormat.h"
#include "special/modSpecialNote.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cmath>

// The memory note's figures, from the kernel's /proc/meminfo ("MemTotal:  16318508 kB").
namespace {
const QString kSource = QStringLiteral("modSpecialNote: ReadMemoryFigures");
constexpr quint64 kBytesPerKilobyte = 1024;

struct Field {
    QByteArrayView name;
    quint64 MemoryFigures::*figure;
};

const Field kFields[] = {
    {"MemTotal", &MemoryFigures::totalPhysical},
    {"MemAvailable", &MemoryFigures::availablePhysical},
    {"SwapTotal", &MemoryFigures::totalPageFile},
    {"SwapFree", &MemoryFigures::availablePageFile},
};

// "Name:   1234 kB" -> name and bytes; false for any other line.
bool parseLine(QByteArrayView line, QByteArrayView& name, quint64& bytes)
{
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return false;
    name = line.first(colon);
    QByteArray value = line.sliced(colon + 1).trimmed().toByteArray();
    const bool inKilobytes = value.endsWith(" kB");
    if (inKilobytes)
        value.chop(3);
    bool ok = false;
    bytes = value.trimmed().toULongLong(&ok) * (inKilobytes ? kBytesPerKilobyte : 1);
    return ok;
}

QString megabytes(quint64 bytes)
{
    return LocaleFormat::generalNumber(modSpecialNote::BytesToMegabytes(double(bytes))) +
           QStringLiteral("M");
}

// Available of total, as a whole number.
double percentFree(quint64 available, quint64 total)
{
    constexpr double kPercent = 100;
    return total == 0 ? 0 : std::round(double(available) / double(total) * kPercent);
}
} // namespace

Expected<MemoryFigures> modSpecialNote::ReadMemoryFigures(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return AppError::fromNumber(
            file.exists() ? ErrorNumber::PathFileAccessError : ErrorNumber::FileNotFound, kSource);
    return ParseMemInfo(file.readAll());
}

Expected<MemoryFigures> modSpecialNote::ParseMemInfo(const QByteArray& procMemInfo)
{
    MemoryFigures figures;
    bool haveTotal = false;
    bool haveAvailable = false;
    quint64 memFree = 0;
    for (const QByteArray& line : procMemInfo.split('\n')) {
        QByteArrayView name;
        quint64 bytes = 0;
        if (!parseLine(line, name, bytes))
            continue;
        if (name == "MemFree")
            memFree = bytes;
        for (const Field& field : kFields) {
            if (name == field.name)
                figures.*field.figure = bytes;
        }
        haveTotal = haveTotal || name == "MemTotal";
        haveAvailable = haveAvailable || name == "MemAvailable";
    }
    if (!haveTotal || figures.totalPhysical == 0)
        return AppError::fromNumber(ErrorNumber::InvalidFileFormat, kSource);
    // Kernels before 3.14 do not estimate what is available; free memory comes closest.
    if (!haveAvailable)
        figures.availablePhysical = memFree;
    return figures;
}

QString modSpecialNote::MemoryText(const MemoryFigures& figures)
{
    const quint64 total = figures.totalPhysical + figures.totalPageFile;
    const quint64 available = figures.availablePhysical + figures.availablePageFile;
    const auto line = [](const char* text, const QString& figure) {
        return QCoreApplication::translate("MemoryFigures", text).arg(figure);
    };
    const QStringList lines{
        line(QT_TRANSLATE_NOOP("MemoryFigures", "Total Physical: %1"),
             megabytes(figures.totalPhysical)),
        line(QT_TRANSLATE_NOOP("MemoryFigures", "Available Physical: %1"),
             megabytes(figures.availablePhysical)),
        line(QT_TRANSLATE_NOOP("MemoryFigures", "Total Memory: %1"), megabytes(total)),
        line(QT_TRANSLATE_NOOP("MemoryFigures", "Available Memory: %1"), megabytes(available)),
        QString(),
        line(QT_TRANSLATE_NOOP("MemoryFigures", "Percent Free: %1%"),
             LocaleFormat::generalNumber(percentFree(available, total))),
    };
    return lines.join(QStringLiteral("\r\n"));
}
