// Prints what becomes of the notes when several copies end their session together, each with
// one big note: how many reach the main data file, how many wait in recovery files for the
// next start, and how long the copies took.
#include "BenchNotes.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {
const char* const kEndSwitch = "--end-session";
constexpr int kCopies = 8;
constexpr qsizetype kMegabyte = qsizetype(1024) * 1024;
constexpr qsizetype kNoteBytes = 8 * kMegabyte;

NoteRecordList& sessionNotes()
{
    static NoteRecordList notes;
    return notes;
}

NoteRecordList currentNotes()
{
    return sessionNotes();
}

// One copy's logout, as the program's session end does it.
int endSession(int number)
{
    NoteRecord note = sampleNote(number);
    note.Data = QStringLiteral("copy %1 ").arg(number) + QString(kNoteBytes, QLatin1Char('x'));
    sessionNotes() = {note};
    NoteRecovery::setRecordSource(&currentNotes);
    if (NoteRecovery::writeNow().failed())
        return 1;
    if (const Result saved = modNote::SaveMainNotes(sessionNotes()); saved.ok())
        NoteRecovery::remove();
    else if (NoteRecovery::keepInstead(sessionNotes(), saved.error()).failed())
        return 1;
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], kEndSwitch) == 0) {
        QCoreApplication app(argc, argv);
        return endSession(QString::fromLatin1(argv[2]).toInt());
    }
    QTemporaryDir folder;
    qputenv("XDG_DATA_HOME", folder.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toUtf8());
    qputenv("TMPDIR", folder.path().toUtf8());
    QCoreApplication app(argc, argv);

    QElapsedTimer timer;
    timer.start();
    QList<QProcess*> copies;
    for (int i = 0; i < kCopies; ++i) {
        auto* copy = new QProcess(&app);
        copy->setProcessChannelMode(QProcess::ForwardedChannels);
        copy->start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kEndSwitch), QString::number(i)});
        copies << copy;
    }
    int failed = 0;
    for (QProcess* copy : copies) {
        if (!copy->waitForFinished(600000) || copy->exitCode() != 0)
            ++failed;
    }
    const qint64 ms = timer.elapsed();
    const qsizetype inMainFile = modNote::LoadNote(true, QString()).size();
    qsizetype inRecovery = 0;
    for (const QString& orphan : NoteRecovery::orphanedFiles())
        inRecovery += modNote::LoadNote(false, orphan).size();
    std::printf("%d copies ending together with an %lld MB note each: %lld ms\n", kCopies,
                static_cast<long long>(kNoteBytes / kMegabyte), static_cast<long long>(ms));
    std::printf("  in jottex.dat              %lld\n", static_cast<long long>(inMainFile));
    std::printf("  in recovery files          %lld\n", static_cast<long long>(inRecovery));
    std::printf("  kept in all                %lld of %d\n",
                static_cast<long long>(inMainFile + inRecovery), kCopies);
    std::printf("  copies that failed         %d\n", failed);
    return 0;
}
