#pragma once

#include <QByteArrayView>

class QUrl;

// The places where the program hands its work to the system: the bytes of a file being
// written, an address for the desktop to open, and how long it waits for a web server or for a
// lock whose holder does nothing. The base class does the real thing; a test installs its own to
// fail writes as a full disk does or to catch addresses. Nothing else replaces them.
class Seams {
public:
    Seams() = default;
    Seams(const Seams&) = delete;
    Seams& operator=(const Seams&) = delete;
    virtual ~Seams() = default;

    // Writes bytes to the open file descriptor, as ::write: how many went out (possibly fewer
    // than given), or -1 with errno set.
    [[nodiscard]] virtual qint64 writeFile(int fd, QByteArrayView bytes);
    // Forces what was written onto the device, as ::fsync: 0, or -1 with errno set. Some
    // devices report a full disk only here.
    [[nodiscard]] virtual int syncFile(int fd);
    // Hands the address to the desktop; true when a handler took it.
    [[nodiscard]] virtual bool openUrl(const QUrl& url);
    // Whether the desktop draws a window's opacity: on X11 only while a compositing manager
    // holds its selection; never without a real window system.
    virtual bool windowOpacityShown();
    // How long one HTTP request may take in all, in milliseconds.
    virtual int requestTimeoutMs();
    // How long a program waits for a file lock whose holder shows no sign of work, in
    // milliseconds.
    virtual int lockPatienceMs();

    // The seams in use: the installed ones, otherwise the system's.
    static Seams& current();
    // Makes seams the ones in use, or the system's again with nullptr. The caller keeps them
    // alive until it installs another.
    static void install(Seams* seams);
};
