#pragma once

// Memory the program has freed after a large piece of work (a feed read and shown) stays with
// the allocator, in the arenas of the threads that freed it, until something asks for it back.
namespace FreedMemory {

// Gives what is free back to the system, so the process shrinks again. Safe on any thread;
// costs a few milliseconds, so it is called after large work, not after every change.
void giveBack();

} // namespace FreedMemory
