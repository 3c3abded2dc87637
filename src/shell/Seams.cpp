#include "shell/Seams.h"

#include <QDesktopServices>
#include <QUrl>
#include <unistd.h>

namespace {
Seams*& installed()
{
    static Seams* seams = nullptr;
    return seams;
}
} // namespace

qint64 Seams::writeFile(int fd, QByteArrayView bytes)
{
    return ::write(fd, bytes.data(), static_cast<size_t>(bytes.size()));
}

int Seams::syncFile(int fd)
{
    return ::fsync(fd);
}

bool Seams::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

int Seams::requestTimeoutMs()
{
    constexpr int kTwentySeconds = 20000;
    return kTwentySeconds;
}

Seams& Seams::current()
{
    static Seams system;
    return installed() ? *installed() : system;
}

void Seams::install(Seams* seams)
{
    installed() = seams;
}
