#pragma once

#include <QString>

// A small file system of its own (tmpfs) mounted over a folder while it lives, to make a full
// or read-only device for real. Mounting needs root: mounted() says whether it worked.
class ScratchDevice {
public:
    explicit ScratchDevice(const QString& folder, const QString& size = QStringLiteral("64k"));
    ScratchDevice(const ScratchDevice&) = delete;
    ScratchDevice& operator=(const ScratchDevice&) = delete;
    ~ScratchDevice();

    bool mounted() const { return m_mounted; }
    // Fills the device until it refuses another byte.
    void fill() const;
    bool makeReadOnly() const;
    // Takes the device away now; the folder shows what lay under it.
    void unmount();

private:
    QString m_folder;
    bool m_mounted = false;
};
