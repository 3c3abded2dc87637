// Renames a file into place and prints the milliseconds from the rename until a window's title
// becomes TITLE: how long a change that a sync tool writes into a notes folder takes to reach
// its open note, whose title is the note's first line.
//
// Usage: titlewait TIMEOUT_MS TITLE FROM TO    Output: "<ms>"; exit 1 on timeout.
//
// Every top-level window (and, under a window manager, every client in a frame) is watched for
// property changes before the rename, so no change of title goes unseen.
#include "XcbWait.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <xcb/xcb.h>

namespace {
std::string title(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t utf8)
{
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, name, utf8, 0, 1024), nullptr);
    std::string text;
    if (r)
        text.assign(static_cast<const char*>(xcb_get_property_value(r)),
                    static_cast<std::size_t>(xcb_get_property_value_length(r)));
    std::free(r);
    return text;
}

// Asks for property changes of window and of its children, two levels down: a window
// manager's frames hold the clients.
void watch(xcb_connection_t* c, xcb_window_t window, int depth)
{
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    if (depth == 0)
        return;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (!tree)
        return;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
        watch(c, children[i], depth - 1);
    std::free(tree);
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: titlewait TIMEOUT_MS TITLE FROM TO\n");
        return 2;
    }
    const int timeoutMs = std::atoi(argv[1]);
    const std::string wanted = argv[2];
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "titlewait: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t netName = XcbWait::atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = XcbWait::atom(c, "UTF8_STRING");
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
            watch(c, children[i], 1);
        std::free(tree);
    }
    // Every watch is in place before the file moves.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    const auto start = XcbWait::Clock::now();
    if (std::rename(argv[3], argv[4]) != 0) {
        std::perror("titlewait: rename");
        return 2;
    }
    for (;;) {
        xcb_generic_event_t* event = XcbWait::nextEvent(c, start, timeoutMs);
        if (!event) {
            std::printf("timeout\n");
            return 1;
        }
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto* e = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (e->atom == netName && title(c, e->window, netName, utf8).rfind(wanted, 0) == 0) {
                std::printf("%.1f\n", XcbWait::elapsedMs(start));
                return 0;
            }
        }
        std::free(event);
    }
}
