#include "shell/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
constexpr double kDefaultDpi = 96.0;
} // namespace

double Twips::perPixel(const QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : kDefaultDpi;
    return Twips::PerInch / (dpi > 0 ? dpi : kDefaultDpi);
}

int Twips::toPixels(int twips, const QScreen* screen)
{
    return static_cast<int>(std::lround(twips / perPixel(screen)));
}

int Twips::fromPixels(int pixels, const QScreen* screen)
{
    return static_cast<int>(std::lround(pixels * perPixel(screen)));
}

QRect Twips::rectToPixels(int left, int top, int width, int height, const QScreen* screen)
{
    return QRect(toPixels(left, screen), toPixels(top, screen), toPixels(width, screen),
                 toPixels(height, screen));
}
