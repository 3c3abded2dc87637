#pragma once

#include "shell/Seams.h"

#include <QList>
#include <QUrl>
#include <optional>

// Stands in for the system while it lives: file writes can be made to stop short, as on a full
// disk, and addresses are recorded instead of opened.
class TestSeams : public Seams {
public:
    TestSeams() { Seams::install(this); }
    ~TestSeams() override { Seams::install(nullptr); }

    // Every later write stops after this many bytes.
    void failWritesAfter(qint64 bytes) { m_writeLimit = bytes; }
    const QList<QUrl>& openedUrls() const { return m_openedUrls; }

    qint64 writeFile(QFileDevice& file, QByteArrayView bytes) override;
    bool openUrl(const QUrl& url) override;

private:
    std::optional<qint64> m_writeLimit;
    QList<QUrl> m_openedUrls;
};
