#include "manager/AllNotes.h"

#include "manager/frmSearch.h"
#include "window/frmMain.h"

#include <QString>

namespace {
// Set by hideAll, cleared by showAll. A note that shows meanwhile (a new one, one the manager
// opened) is what the user looks at, so the notes no longer count as hidden while it shows.
bool hideRequested = false;

// Back from the window manager's minimise and from the note's own strip, shown and on top.
void bringBack(frmMain& window)
{
    if (window.isMinimizedToStrip())
        window.RestoreNote();
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.placeOnReachableScreen();
    window.raise();
}
} // namespace

void AllNotes::newNote()
{
    frmMain::create(NoteOrigin::NewNote)->show();
}

void AllNotes::showAll()
{
    hideRequested = false;
    for (frmMain* window : frmMain::openWindows())
        bringBack(*window);
}

void AllNotes::hideAll()
{
    hideRequested = true;
    for (frmMain* window : frmMain::openWindows())
        window->hide();
}

void AllNotes::toggle()
{
    if (hidden())
        showAll();
    else
        hideAll();
}

bool AllNotes::hidden()
{
    if (!hideRequested)
        return false;
    for (const frmMain* window : frmMain::openWindows()) {
        if (window->isVisible())
            return false;
    }
    return true;
}

void AllNotes::search(const QString& text)
{
    frmSearch::showWith(text);
}
