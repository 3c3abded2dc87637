#include "window/OpenNotes.h"

#include "store/NoteRecovery.h"
#include "window/frmMain.h"

namespace {
OpenNotes::WindowHook windowHook = nullptr;
} // namespace

NoteRecordList OpenNotes::records()
{
    NoteRecordList records;
    for (const frmMain* window : frmMain::openWindows())
        records.append(window->recordAsKept());
    return records;
}

void OpenNotes::watch(frmMain& window)
{
    NoteRecovery::setRecordSource(&OpenNotes::records);
    QObject::connect(&window, &frmMain::noteChanged, &NoteRecovery::noteChanged);
    QObject::connect(&window, &frmMain::closedByUser, &NoteRecovery::noteClosed);
    if (windowHook)
        windowHook(window);
}

void OpenNotes::setWindowHook(WindowHook hook)
{
    windowHook = hook;
}
