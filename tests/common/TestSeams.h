#pragma once

#include "shell/Seams.h"

#include <QList>
#include <QUrl>
#include <cerrno>
#include <optional>

// Stands in for the system while it lives: file writes can fail as on a full disk, and
// addresses are recorded instead of opened.
class TestSeams : public Seams {
public:
    TestSeams() { Seams::install(this); }
    ~TestSeams() override { Seams::install(nullptr); }

    // No file grows beyond this many bytes: a write that reaches the limit is cut short, the
    // next one fails with errnoValue, as a full device does.
    void failWritesAfter(qint64 bytes, int errnoValue = ENOSPC)
    {
        m_writeLimit = bytes;
        m_writeErrno = errnoValue;
    }
    // Once a file holds this many bytes its next write never returns, as in a process stopped
    // half-way through a save, waiting to be killed.
    void stallWritesAfter(qint64 bytes) { m_stallAfter = bytes; }
    // Every write is taken, but forcing it onto the device fails with errnoValue: the failure
    // shows only when the file is flushed.
    void failSyncWith(int errnoValue = ENOSPC) { m_syncErrno = errnoValue; }
    const QList<QUrl>& openedUrls() const { return m_openedUrls; }
    // Web requests give up after this long instead of the program's own limit.
    void setRequestTimeoutMs(int ms) { m_requestTimeoutMs = ms; }
    // A lock holder that shows no sign of work is given up on after this long.
    void setLockPatienceMs(int ms) { m_lockPatienceMs = ms; }

    qint64 writeFile(int fd, QByteArrayView bytes) override;
    int syncFile(int fd) override;
    bool openUrl(const QUrl& url) override;
    // The desktop shows window opacity, or does not, whatever the display.
    void setWindowOpacityShown(bool shown) { m_opacityShown = shown; }
    bool windowOpacityShown() override
    {
        return m_opacityShown.value_or(Seams::windowOpacityShown());
    }

    int requestTimeoutMs() override
    {
        return m_requestTimeoutMs ? *m_requestTimeoutMs : Seams::requestTimeoutMs();
    }

    int lockPatienceMs() override
    {
        return m_lockPatienceMs ? *m_lockPatienceMs : Seams::lockPatienceMs();
    }

private:
    std::optional<int> m_lockPatienceMs;
    std::optional<qint64> m_writeLimit;
    std::optional<qint64> m_stallAfter;
    int m_writeErrno = ENOSPC;
    std::optional<int> m_syncErrno;
    QList<QUrl> m_openedUrls;
    std::optional<bool> m_opacityShown;
    std::optional<int> m_requestTimeoutMs;
};
