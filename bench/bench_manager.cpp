// Prints how long the Multi-Note Manager takes to delete one note from large note files, and,
// for comparison, how long saving the first note and appending each further one takes.
#include "BenchNotes.h"
#include "dialogs/DialogSeam.h"
#include "manager/frmNoteManager.h"
#include "store/NoteDocument.h"
#include "store/modNote.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QTemporaryDir>
#include <cstdio>

namespace {
NoteRecordList sampleNotes(int count)
{
    NoteRecordList notes;
    notes.reserve(count);
    for (int i = 0; i < count; ++i)
        notes << sampleNote(i);
    return notes;
}

double msSince(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Lists the file, then deletes its second note, confirming the question.
void deleteOne(const QString& folder, int count)
{
    const QString path = folder + QStringLiteral("/bench-%1.not").arg(count);
    if (modNote::WriteNoteList(sampleNotes(count), path).failed()) {
        std::printf("could not write %s\n", qPrintable(path));
        return;
    }
    frmNoteManager::showFor(nullptr);
    frmNoteManager* manager = frmNoteManager::current();
    QElapsedTimer timer;
    timer.start();
    manager->RefreshDisplay(path);
    const double listMs = msSince(timer);

    DialogSeam::queueMessageBoxAnswer(QMessageBox::Ok);
    timer.restart();
    manager->DeleteNote(1);
    const double deleteMs = msSince(timer);
    std::printf("%6d notes, %6.1f MB: list %8.1f ms, delete one (write and list again) %8.1f ms, "
                "%d listed after\n",
                count, static_cast<double>(QFileInfo(path).size()) / 1e6, listMs, deleteMs,
                manager->lvNotes()->model()->rowCount());
    delete manager;
}

// The rewrite as a first save and one append per further note, each reading the whole file.
void savedThenAppended(const QString& folder, int count)
{
    const QString path = folder + QStringLiteral("/sequence-%1.not").arg(count);
    const NoteRecordList notes = sampleNotes(count);
    QElapsedTimer timer;
    timer.start();
    modNote::SaveNote(notes.first(), path);
    for (qsizetype i = 1; i < notes.size(); ++i)
        modNote::AppendNote(notes.at(i), path);
    std::printf("%6d notes: save and append one by one %10.1f ms\n", count, msSince(timer));
}
} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    // Its own data and settings folders, and no screen needed.
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    DialogSeam::arm();
    for (const int count : {1000, 10000})
        deleteOne(home.path(), count);
    for (const int count : {200, 400, 800})
        savedThenAppended(home.path(), count);
    return 0;
}
