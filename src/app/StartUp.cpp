#include "app/StartUp.h"

#include "shell/Paths.h"
#include "shell/modFileFunctions.h"
#include "store/modNote.h"
#include "window/frmMain.h"

#include <QFile>

namespace {
// One pair of surrounding quotes goes; nothing else is parsed.
QString withoutSurroundingQuotes(QString text)
{
    if (text.startsWith(QLatin1Char('"')))
        text.remove(0, 1);
    if (text.endsWith(QLatin1Char('"')))
        text.chop(1);
    return text;
}

bool namesNoteFile(const QString& path)
{
    return path.right(3).compare(QLatin1String("not"), Qt::CaseInsensitive) == 0;
}

void openBlankNote()
{
    frmMain::create(NoteOrigin::NewNote)->show();
}

// The first note of a note file, tied to that file. False when the file gave no note.
bool openNoteFile(const QString& path)
{
    const NoteRecordList list = modNote::LoadNote(false, path);
    if (list.isEmpty())
        return false;
    NoteRecord record = list.first();
    record.FileName = path;
    frmMain::create(NoteOrigin::NoteFile, record)->show();
    return true;
}

// Every note that waited in the main data file, in file order; the file goes only after
// all of them are on the desktop.
bool restoreWaitingNotes()
{
    const NoteRecordList list = modNote::LoadNote(true, QString());
    if (list.isEmpty())
        return false;
    for (NoteRecord record : list) {
        // The main data file is not the note's file: a restored note is tied to none.
        record.FileName.clear();
        frmMain::create(NoteOrigin::StoredRecord, record)->show();
    }
    QFile::remove(AppPaths::mainDataFile());
    return true;
}
} // namespace

QString modMain::commandLineText(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments.join(QLatin1Char(' '));
}

void modMain::Main(const QString& commandLine)
{
    bool opened = false;
    if (!commandLine.isEmpty()) {
        const QString path = withoutSurroundingQuotes(commandLine);
        opened = namesNoteFile(path) && openNoteFile(path);
    } else if (modFileFunctions::FileExists(AppPaths::mainDataFile())) {
        opened = restoreWaitingNotes();
    }
    if (!opened)
        openBlankNote();
}
