#pragma once
// What the bench's X waiters (mapwait, titlewait) share: an atom by name, the time since a start,
// and the next X event before a deadline. Header-only, since each waiter is one small program.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <xcb/xcb.h>

namespace XcbWait {
using Clock = std::chrono::steady_clock;

inline xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    xcb_atom_t a = XCB_ATOM_NONE;
    if (r)
        a = r->atom;
    std::free(r);
    return a;
}

inline double elapsedMs(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The next event (the caller frees it), waiting for one until timeoutMs after start; null once
// that time has passed.
inline xcb_generic_event_t* nextEvent(xcb_connection_t* c, Clock::time_point start, int timeoutMs)
{
    for (;;) {
        const double left = timeoutMs - elapsedMs(start);
        if (left <= 0)
            return nullptr;
        if (xcb_generic_event_t* event = xcb_poll_for_event(c))
            return event;
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left) + 1);
    }
}
} // namespace XcbWait
