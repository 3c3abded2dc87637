#include "manager/FolderNotes.h"

#include "manager/FolderWatch.h"
#include "store/NotesFolder.h"
#include "window/OpenNotes.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
QPointer<FolderWatch>& engine()
{
    static QPointer<FolderWatch> current;
    return current;
}

void stop()
{
    delete engine().data();
    OpenNotes::setWindowHook(nullptr);
}

void followWindow(frmMain& window)
{
    if (FolderWatch* watch = engine())
        watch->follow(window);
}

// Starts following folder; the number of notes of it that opened.
int start(const QString& folder)
{
    stop();
    engine() = new FolderWatch(folder, QCoreApplication::instance());
    OpenNotes::setWindowHook(&followWindow);
    return engine()->start();
}
} // namespace

bool FolderNotes::active()
{
    return !engine().isNull();
}

QString FolderNotes::folder()
{
    return engine() ? engine()->folder() : QString();
}

bool FolderNotes::openAtStart()
{
    const QString configured = NotesFolder::configured();
    if (configured.isEmpty())
        return false;
    return start(configured) > 0;
}

Result FolderNotes::use(const QString& folder)
{
    if (Result stored = NotesFolder::configure(folder); stored.failed())
        return stored;
    const QString configured = NotesFolder::configured();
    if (configured.isEmpty()) {
        stop();
        return {};
    }
    if (configured != FolderNotes::folder())
        start(configured);
    return {};
}

bool FolderNotes::shouldOpen(const NoteRecord& record)
{
    return !engine() || !engine()->holds(record);
}

NoteRecordList FolderNotes::keepAtSessionEnd(const NoteRecordList& records)
{
    return engine() ? engine()->keepNow(records) : records;
}
