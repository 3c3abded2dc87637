#include "shell/Seams.h"

#include <QDesktopServices>
#include <QFileDevice>
#include <QUrl>

namespace {
Seams*& installed()
{
    static Seams* seams = nullptr;
    return seams;
}
} // namespace

qint64 Seams::writeFile(QFileDevice& file, QByteArrayView bytes)
{
    return file.write(bytes.data(), bytes.size());
}

bool Seams::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
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
