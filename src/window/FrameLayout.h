#pragma once

#include "shell/Twips.h"

#include <QWidget>

// The note window's frame in twips: where each control sits at the design size, and the
// distances the resize layout keeps from the window's right and bottom edges.
namespace FrameLayout {

using Place = Twips::Rect;

// Puts a control at its place in twips.
inline void placeTwips(QWidget* control, const Place& place)
{
    control->setGeometry(place.pixels());
}

// Design places.
inline constexpr Place HelpPicture{3360, 10, 255, 255};
inline constexpr Place ClosePicture{3600, 10, 255, 255};
inline constexpr Place TextArea{45, 360, 5220, 3255};
inline constexpr Place NoteIcon{0, 15, 480, 480};
inline constexpr Place ResizeGrip{3600, 3840, 180, 180};
inline constexpr Place SubCaption{40, 3840, 4815, 255};
inline constexpr Place Caption{480, 10, 2655, 250};
// The separator above the subcaption: from (120, 3720) to (5280, 3720).
inline constexpr Place SeparatorLine{120, 3720, 5160, 0};

// The grey caption strip across the top; the icon is clipped to it.
inline constexpr int StripHeight = 345;

// Resize layout for a window W wide and H tall.
inline constexpr int TextAreaWidthMargin = 220;  // text area W - 220 wide
inline constexpr int TextAreaHeightMargin = 700; // and H - 700 tall; below 700 no layout runs
inline constexpr int SubCaptionFromBottom = 320; // subcaption top at H - 320
inline constexpr int SeparatorFromBottom = 350;  // separator at H - 350
inline constexpr int SeparatorLeft = 50;         // from x 50 to W - 220
inline constexpr int GripInset = 50;             // grip 50 in from the bottom-right corner
inline constexpr int CaptionWidthMargin = 1100;  // caption W - 1100 wide
inline constexpr int CloseRightGap = 30;         // close picture ends 30 before the right edge
inline constexpr int HelpRightGap = 50;          // help picture: W - 2 x 255 - 50

} // namespace FrameLayout
