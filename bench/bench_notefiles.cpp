// Prints what each hostile note file shape, and the real shapes beside them, costs to read:
// the verdict, the time and the peak memory of the load (records, no tree) and of the tree
// that appends and logouts build. Each read runs in a child process of its own, so its peak
// memory is its own.
#include "HostileNotes.h"
#include "store/NoteDocument.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
struct Shape {
    const char* name;
    QByteArray (*make)();
};

const Shape kShapes[] = {
    {"100,000 attributes on one note", [] { return HostileNotes::manyAttributes(100000); }},
    {"default attribute on 100,000 notes", [] { return HostileNotes::defaultAttribute(100000); }},
    {"60,000,000 empty elements", [] { return HostileNotes::emptyElements(60000000); }},
    {"30,000,000 comments", [] { return HostileNotes::comments(30000000); }},
    {"NUL in an instruction's name",
     [] { return HostileNotes::instructionNamedWith(QByteArray(1, '\0')); }},
    {"no-break space in an instruction's name",
     [] { return HostileNotes::instructionNamedWith("\xC2\xA0"); }},
    {"5,000 notes", [] { return HostileNotes::notes(5000); }},
    {"20,000 notes (the most)", [] { return HostileNotes::notes(NoteDocument::kMaxNotes); }},
    {"one note of 10 MB", [] { return HostileNotes::notes(1, qint64(10) << 20); }},
    {"200 notes of 1 MB", [] { return HostileNotes::notes(200, qint64(1) << 20); }},
};

enum class Reader { Records, Tree };

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// In a child: reads path once and prints the verdict, the time and the growth of the peak.
void measure(const QString& path, Reader reader)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child != 0) {
        int status = 0;
        waitpid(child, &status, 0);
        return;
    }
    const long before = peakKilobytes();
    QElapsedTimer timer;
    timer.start();
    QString verdict;
    if (reader == Reader::Records) {
        const auto records = NoteDocument::readRecordsFile(path);
        verdict = records.ok() ? QStringLiteral("%1 notes").arg(records.value().size())
                               : QStringLiteral("refused");
    } else {
        const auto tree = NoteDocument::parseFile(path);
        verdict = tree.ok() ? QStringLiteral("%1 notes").arg(NoteDocument::noteCount(tree.value()))
                            : QStringLiteral("refused");
    }
    const qint64 ms = timer.elapsed();
    std::printf("  %-8s %-14s %7lld ms %8.1f MB\n", reader == Reader::Records ? "load" : "tree",
                qPrintable(verdict), static_cast<long long>(ms),
                double(peakKilobytes() - before) / 1024.0);
    std::fflush(stdout);
    _exit(0);
}
} // namespace

int main()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("shape.not"));
    std::printf("%-44s %10s\n", "shape", "file");
    for (const Shape& shape : kShapes) {
        qint64 size = 0;
        {
            const QByteArray bytes = shape.make();
            size = bytes.size();
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != size) {
                std::printf("%s: could not write the file\n", shape.name);
                return 1;
            }
        } // freed before the children start, so they do not inherit it
        std::printf("%-44s %7.1f MB\n", shape.name, double(size) / (1 << 20));
        measure(path, Reader::Records);
        measure(path, Reader::Tree);
    }
    return 0;
}
