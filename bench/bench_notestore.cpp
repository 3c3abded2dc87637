// Prints how fast the note store reads, appends and writes note files.
#include "BenchNotes.h"
#include "store/NoteDocument.h"
#include "store/modNote.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {
// A file of count notes, built as the program builds it: one whole write, then appends made
// directly on the tree (appending one by one through the file would take the whole bench).
QString makeNoteFile(const QString& path, int count)
{
    auto document = NoteDocument::parse(NoteDocument::wholeDocument(sampleNote(0)));
    for (int i = 1; i < count; ++i)
        NoteDocument::appendNote(document.value(), sampleNote(i));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(NoteDocument::serialize(document.value()));
    return path;
}

void report(const char* what, qint64 nanoseconds, double megabytes = 0)
{
    const double ms = nanoseconds / 1e6;
    if (megabytes > 0)
        std::printf("%-44s %9.1f ms  %7.1f MB/s\n", what, ms, megabytes / (ms / 1000.0));
    else
        std::printf("%-44s %9.1f ms\n", what, ms);
}
} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    qputenv("XDG_DATA_HOME", folder.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toUtf8());
    QCoreApplication app(argc, argv);
    QElapsedTimer timer;

    const QString big = makeNoteFile(folder.filePath(QStringLiteral("big.not")), 10000);
    const double bigMb = QFileInfo(big).size() / 1e6;
    timer.start();
    const NoteRecordList notes = modNote::LoadNote(false, big);
    report(qPrintable(QStringLiteral("load 10,000 notes (%1 MB)").arg(bigMb, 0, 'f', 1)),
           timer.nsecsElapsed(), bigMb);
    if (notes.size() != 10000)
        std::printf("unexpected: %lld notes read\n", static_cast<long long>(notes.size()));

    const QString thousand = makeNoteFile(folder.filePath(QStringLiteral("thousand.not")), 1000);
    timer.restart();
    modNote::AppendNote(sampleNote(1000), thousand);
    report("append one note to a file of 1,000 notes", timer.nsecsElapsed());

    const NoteRecord note = sampleNote(1);
    qint64 bytes = 0;
    timer.restart();
    for (int i = 0; i < 10000; ++i)
        bytes += NoteDocument::wholeDocument(note).size();
    report("build 10,000 whole documents in memory", timer.nsecsElapsed(), bytes / 1e6);

    timer.restart();
    for (int i = 0; i < 10000; ++i)
        modNote::SaveNote(note, folder.filePath(QStringLiteral("w%1.not").arg(i % 100)));
    report("save 10,000 whole documents to disk", timer.nsecsElapsed(), bytes / 1e6);
    return 0;
}
