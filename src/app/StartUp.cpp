#include "app/StartUp.h"

#include "shell/Paths.h"
#include "shell/modFileFunctions.h"
#include "store/modNote.h"
#include "window/frmMain.h"

#include <QFile>
#include <QLabel>

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

void fillFromRecord(frmMain* window, const NoteRecord& record)
{
    window->setTextRTF(record.Data);
    window->SetNoteColor(record.Color, false);
}

void placeFromRecord(frmMain* window, const NoteRecord& record)
{
    window->setHeightTwips(record.Height);
    window->setWidthTwips(record.Width);
    window->setTopTwips(record.Top);
    window->setLeftTwips(record.Left);
}

void openBlankNote()
{
    auto* window = new frmMain;
    window->show();
}

// The first note of a note file, tied to that file. False when the file gave no note.
bool openNoteFile(const QString& path)
{
    const NoteRecordList list = modNote::LoadNote(false, path);
    if (list.isEmpty())
        return false;
    const NoteRecord& record = list.first();
    auto* window = new frmMain;
    window->setNoteFileName(path);
    fillFromRecord(window, record);
    window->lblSubCaption()->setText(record.TimeDate);
    placeFromRecord(window, record);
    window->setTagText(record.FileName);
    window->setIsDirty(true);
    window->show();
    return true;
}

// Every note that waited in the main data file, in file order; the file goes only after
// all of them are on the desktop.
bool restoreWaitingNotes()
{
    const NoteRecordList list = modNote::LoadNote(true, QString());
    if (list.isEmpty())
        return false;
    for (const NoteRecord& record : list) {
        auto* window = new frmMain;
        fillFromRecord(window, record);
        placeFromRecord(window, record);
        window->setIsDirty(true);
        window->show();
    }
    QFile::remove(AppPaths::mainDataFile());
    return true;
}
} // namespace

QString modMain::commandLineText(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
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
