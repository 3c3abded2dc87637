#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;

// Lengths in twips: 1440 per inch of the screen's logical resolution (15 per pixel at 96 dpi).
namespace Twips {
inline constexpr int PerInch = 1440;

double perPixel(const QScreen* screen = nullptr);
int toPixels(int twips, const QScreen* screen = nullptr);
// Whole twips of a pixel length.
int fromPixels(int pixels, const QScreen* screen = nullptr);
QRect rectToPixels(int left, int top, int width, int height, const QScreen* screen = nullptr);

// A control's design place in twips: left, top, width, height.
struct Rect {
    int left;
    int top;
    int width;
    int height;
    QRect pixels() const { return rectToPixels(left, top, width, height); }
};
} // namespace Twips
