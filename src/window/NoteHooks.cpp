#include "window/NoteHooks.h"

namespace {
// One installed hook of a kind: Tag keeps the kinds apart.
template <typename Hook, typename Tag> Hook& installed()
{
    static Hook hook;
    return hook;
}
struct ShowManagerTag;
struct ChooseNotesFolderTag;
} // namespace

void NoteHooks::setShowManager(ShowManager hook)
{
    installed<ShowManager, ShowManagerTag>() = std::move(hook);
}

void NoteHooks::showManager(frmMain& owner)
{
    if (const ShowManager& hook = installed<ShowManager, ShowManagerTag>())
        hook(owner);
}

void NoteHooks::setChooseNotesFolder(ChooseNotesFolder hook)
{
    installed<ChooseNotesFolder, ChooseNotesFolderTag>() = std::move(hook);
}

void NoteHooks::chooseNotesFolder(frmMain& owner)
{
    if (const ChooseNotesFolder& hook = installed<ChooseNotesFolder, ChooseNotesFolderTag>())
        hook(owner);
}
