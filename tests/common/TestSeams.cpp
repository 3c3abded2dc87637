#include "TestSeams.h"

qint64 TestSeams::writeFile(QFileDevice& file, QByteArrayView bytes)
{
    if (m_writeLimit && bytes.size() > *m_writeLimit)
        return Seams::writeFile(file, bytes.first(*m_writeLimit));
    return Seams::writeFile(file, bytes);
}

bool TestSeams::openUrl(const QUrl& url)
{
    m_openedUrls.append(url);
    return true;
}
