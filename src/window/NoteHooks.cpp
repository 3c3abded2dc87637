#include "window/NoteHooks.h"

namespace {
NoteHooks::ShowManager& showManagerHook()
{
    static NoteHooks::ShowManager hook;
    return hook;
}
} // namespace

void NoteHooks::setShowManager(ShowManager hook)
{
    showManagerHook() = std::move(hook);
}

void NoteHooks::showManager(frmMain& owner)
{
    if (const ShowManager& hook = showManagerHook())
        hook(owner);
}
