#include "manager/AllNotes.h"

#include "manager/frmSearch.h"
#include "window/frmMain.h"

#include <QString>

namespace {
bool notesHidden = false;
} // namespace

void AllNotes::newNote()
{
    frmMain::create(NoteOrigin::NewNote)->show();
}

void AllNotes::showAll()
{
    notesHidden = false;
    for (frmMain* window : frmMain::openWindows()) {
        window->show();
        window->raise();
    }
}

void AllNotes::hideAll()
{
    notesHidden = true;
    for (frmMain* window : frmMain::openWindows())
        window->hide();
}

void AllNotes::toggle()
{
    if (notesHidden)
        showAll();
    else
        hideAll();
}

bool AllNotes::hidden()
{
    return notesHidden;
}

void AllNotes::search(const QString& text)
{
    frmSearch::showWith(text);
}
