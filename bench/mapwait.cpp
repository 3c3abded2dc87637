// Starts a program and prints the milliseconds from just before its exec until COUNT of its
// top-level windows are viewable, then leaves it running and prints its pid.
//
// Usage: mapwait COUNT TIMEOUT_MS PROGRAM [ARGS...]    Output: "<ms> <pid>"; exit 1 on timeout.
//
// Watching X events rather than polling gives the time to within the event latency; the root
// is watched before the fork, so no window can be created or mapped unseen.
#include "XcbWait.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {
// The pid a window declares, or -1 when it declares none (yet).
long windowPid(xcb_connection_t* c, xcb_window_t w, xcb_atom_t pidAtom)
{
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    long pid = -1;
    if (r && xcb_get_property_value_length(r) == 4)
        pid = *static_cast<uint32_t*>(xcb_get_property_value(r));
    std::free(r);
    return pid;
}

bool viewable(xcb_connection_t* c, xcb_window_t w)
{
    xcb_get_window_attributes_reply_t* r =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool yes = r && !r->override_redirect && r->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(r);
    return yes;
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: mapwait COUNT TIMEOUT_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    const std::size_t count = std::strtoul(argv[1], nullptr, 10);
    const int timeoutMs = std::atoi(argv[2]);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "mapwait: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootMask);
    const xcb_atom_t pidAtom = XcbWait::atom(c, "_NET_WM_PID");
    xcb_flush(c);

    const auto start = XcbWait::Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(xcb_get_file_descriptor(c));
        // The program outlives this waiter: it must not hold the waiter's output open, or
        // whoever reads that output waits for the program to end.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    std::set<xcb_window_t> candidates; // the program's top-level windows, whatever parent
    std::set<xcb_window_t> shown;
    const uint32_t windowMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    while (shown.size() < count) {
        xcb_generic_event_t* event = XcbWait::nextEvent(c, start, timeoutMs);
        if (!event) {
            std::printf("timeout %d\n", child);
            return 1;
        }
        const int type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            // A window of the program: watched on its own, so its maps are seen after the
            // window manager reparents it.
            const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (!e->override_redirect) {
                candidates.insert(e->window);
                xcb_change_window_attributes(c, e->window, XCB_CW_EVENT_MASK, &windowMask);
            }
        }
        if (type == XCB_MAP_NOTIFY) {
            // Any map may make a waiting window viewable (its own, or its frame's).
            for (const xcb_window_t w : candidates) {
                if (!shown.count(w) && viewable(c, w) && windowPid(c, w, pidAtom) == child)
                    shown.insert(w);
            }
        }
        std::free(event);
    }
    std::printf("%.1f %d\n", XcbWait::elapsedMs(start), child);
    return 0;
}
