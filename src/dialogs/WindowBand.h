#pragma once

class QWidget;

// The stay-on-top band of the window manager, which notes sit in by default. While a modal
// box of the program shows, the box is the only window of the program in the band: every other
// one leaves it and comes back once the box has closed, so no note covers the box, even one the
// user clicks. A window asked into or out of the band meanwhile goes there only then.
namespace WindowBand {
// Puts a top-level window into the band or takes it out, without re-creating it: place, size
// and activation stay.
void place(QWidget* window, bool inBand);
bool isInBand(const QWidget* window);

// The band kept for one showing box, from construction to destruction. A box over a box takes
// the outer one out of the band too, and gives it back when it closes.
class BoxHold {
public:
    explicit BoxHold(QWidget* box);
    ~BoxHold();
    BoxHold(const BoxHold&) = delete;
    BoxHold& operator=(const BoxHold&) = delete;
    BoxHold(BoxHold&&) = delete;
    BoxHold& operator=(BoxHold&&) = delete;
};
} // namespace WindowBand
