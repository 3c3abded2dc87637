#pragma once

#include <QString>

class QWidget;

namespace modMain {
// The two moves of a window between the stay-on-top band and the normal windows.
enum class TopMostMode { IntoBand = 0, OutOfBand = 1 };

// Puts the window into the stay-on-top band or takes it out; place, size and activation
// stay. Any other mode does nothing. True when the change was made. While a modal box shows, a
// window put into the band goes there once the box has closed (WindowBand).
bool SetTopMost(QWidget* window, TopMostMode mode);

// Takes the opacity hint off the window, so the compositor draws it as an ordinary opaque
// window again. Nothing where there is no X11 window.
void DropOpacityHint(QWidget* window);

// Puts the window on every workspace of the desktop, or (all false) on the one the desktop
// shows now. A window not yet mapped carries the wish for the window manager to find; a mapped
// one asks the window manager. Nothing where there is no X11 window.
void SetOnAllWorkspaces(QWidget* window, bool all);

// Marks the window for a drop shadow; the window manager or compositor draws it where it
// draws shadows at all. Calling it again changes nothing.
void SetDropShadow(QWidget* window);
bool HasDropShadow(const QWidget* window);

// Carries out the verb ("open") on a link text through the desktop seam, when the link
// policy (LinkPolicy::openableUrl) lets it be opened; anything else is refused.
[[nodiscard]] bool ShellOpen(const QString& verb, const QString& target,
                             const QString& parameters = {}, const QString& directory = {},
                             int showCommand = 1);

// The whole file as text: UTF-8, or Windows-1252 when the bytes are not valid UTF-8.
QString ReadTextFile(const QString& path);
} // namespace modMain
