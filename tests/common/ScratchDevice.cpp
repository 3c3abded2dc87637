#include "ScratchDevice.h"

#include <QFile>
#include <QProcess>

ScratchDevice::ScratchDevice(const QString& folder, const QString& size) : m_folder(folder)
{
    m_mounted =
        QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=") + size, QStringLiteral("tmpfs"), folder}) == 0;
}

ScratchDevice::~ScratchDevice()
{
    unmount();
}

void ScratchDevice::fill() const
{
    QFile filler(m_folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'f');
    while (filler.write(block) > 0) {
    }
    while (filler.write("f", 1) > 0) {
    }
}

bool ScratchDevice::makeReadOnly() const
{
    return QProcess::execute(QStringLiteral("mount"),
                             {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_folder}) == 0;
}

void ScratchDevice::unmount()
{
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {m_folder});
    m_mounted = false;
}
