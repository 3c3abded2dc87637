#include "TestSeams.h"

#include <unistd.h>

qint64 TestSeams::writeFile(int fd, QByteArrayView bytes)
{
    if (m_stallAfter) {
        const qint64 room = *m_stallAfter - qint64(::lseek(fd, 0, SEEK_CUR));
        if (room <= 0) {
            for (;;)
                ::pause();
        }
        return Seams::writeFile(fd, bytes.first(qMin(room, qint64(bytes.size()))));
    }
    if (!m_writeLimit)
        return Seams::writeFile(fd, bytes);
    // The file's offset is what it holds so far, since files are written from the start.
    const qint64 room = *m_writeLimit - qint64(::lseek(fd, 0, SEEK_CUR));
    if (room <= 0) {
        errno = m_writeErrno;
        return -1;
    }
    return Seams::writeFile(fd, bytes.first(qMin(room, qint64(bytes.size()))));
}

int TestSeams::syncFile(int fd)
{
    if (!m_syncErrno)
        return Seams::syncFile(fd);
    errno = *m_syncErrno;
    return -1;
}

bool TestSeams::openUrl(const QUrl& url)
{
    m_openedUrls.append(url);
    return true;
}
