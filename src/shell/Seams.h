#pragma once

#include <QByteArrayView>

class QFileDevice;
class QUrl;

// The two places where the program hands its work to the system: the bytes of a file being
// written, and an address for the desktop to open. The base class does the real thing; a test
// installs its own to cut writes short or to catch addresses. Nothing else replaces them.
class Seams {
public:
    Seams() = default;
    Seams(const Seams&) = delete;
    Seams& operator=(const Seams&) = delete;
    virtual ~Seams() = default;

    // Writes bytes to the open file: how many went out, or -1, as QIODevice::write.
    virtual qint64 writeFile(QFileDevice& file, QByteArrayView bytes);
    // Hands the address to the desktop; true when a handler took it.
    virtual bool openUrl(const QUrl& url);

    // The seams in use: the installed ones, otherwise the system's.
    static Seams& current();
    // Makes seams the ones in use, or the system's again with nullptr. The caller keeps them
    // alive until it installs another.
    static void install(Seams* seams);
};
