#include "dialogs/WindowBand.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace {
// Where a window goes once the last box has closed.
struct Wish {
    QPointer<QWidget> window;
    bool inBand;
};

struct BandState {
    std::vector<QPointer<QWidget>> boxes; // the boxes showing, the innermost last
    std::vector<Wish> wishes;
};

BandState& state()
{
    static BandState band;
    return band;
}

void apply(QWidget* window, bool inBand)
{
    // The widget keeps the flag without re-creating its window (which would hide it), so a
    // native window made later starts with it. Making that window now would cost a second
    // one at show: the X window is made anew when this flag changes before it is mapped.
    window->overrideWindowFlags(window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, inBand));
    if (QWindow* handle = window->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, inBand);
}

bool isShowingBox(const QWidget* window)
{
    const auto& boxes = state().boxes;
    return std::find(boxes.begin(), boxes.end(), window) != boxes.end();
}

void remember(QWidget* window, bool inBand)
{
    auto& wishes = state().wishes;
    const auto known = std::find_if(wishes.begin(), wishes.end(),
                                    [window](const Wish& wish) { return wish.window == window; });
    if (known != wishes.end())
        known->inBand = inBand;
    else
        wishes.push_back({window, inBand});
}
} // namespace

void WindowBand::place(QWidget* window, bool inBand)
{
    if (!window)
        return;
    if (!state().boxes.empty() && !isShowingBox(window)) {
        remember(window, inBand);
        // Leaving the band takes nothing from the box: at once.
        if (inBand)
            return;
    }
    apply(window, inBand);
}

bool WindowBand::isInBand(const QWidget* window)
{
    return window && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

WindowBand::BoxHold::BoxHold(QWidget* box)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // Hidden ones too: a note shown while the box runs must not come up over it.
        if (window == box || !isInBand(window))
            continue;
        if (!isShowingBox(window))
            remember(window, true);
        apply(window, false);
    }
    state().boxes.emplace_back(box);
    apply(box, true);
}

WindowBand::BoxHold::~BoxHold()
{
    auto& boxes = state().boxes;
    if (!boxes.empty())
        boxes.pop_back();
    // Boxes that went meanwhile hold nothing.
    boxes.erase(std::remove(boxes.begin(), boxes.end(), nullptr), boxes.end());
    if (!boxes.empty()) {
        apply(boxes.back(), true);
        return;
    }
    std::vector<Wish> wishes;
    wishes.swap(state().wishes);
    for (const Wish& wish : wishes) {
        if (wish.window)
            apply(wish.window, wish.inBand);
    }
}
