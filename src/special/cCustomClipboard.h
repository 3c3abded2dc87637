#pragma once

#include "shell/AppError.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QClipboard;
class QWidget;

// The clipboard seen as numbered formats. MIME types map onto the standard numbers (text/plain
// 1, text/plain;charset=utf-8 13, text/uri-list 15, images 8); every other MIME type gets a
// registered number from 0xC000 up, named by the type. Failures carry the class's numbers.
class cCustomClipboard {
public:
    // The standard format numbers the note window reads.
    static constexpr quint32 CF_TEXT = 1;
    static constexpr quint32 CF_OEMTEXT = 7;
    static constexpr quint32 CF_DIB = 8;
    static constexpr quint32 CF_UNICODETEXT = 13;
    static constexpr quint32 CF_HDROP = 15;

    cCustomClipboard() = default;
    ~cCustomClipboard();
    cCustomClipboard(const cCustomClipboard&) = delete;
    cCustomClipboard& operator=(const cCustomClipboard&) = delete;

    Result ClipboardOpen(QWidget* owner);
    void ClipboardClose();
    bool isOpen() const { return m_open; }

    // The formats on the clipboard now, in its own order; their numbers and names stay
    // readable by 1-based position until the next call.
    int GetCurrentFormats(QWidget* owner);
    Expected<quint32> GetCurrentFormatID(int position) const;
    Expected<QString> GetCurrentFormatName(int position) const;
    bool HasCurrentFormat(quint32 id) const;
    int FormatCount() const;
    static QString FormatName(quint32 id);
    quint32 FormatIDForName(QWidget* owner, const QString& name);
    bool IsDataAvailableForFormat(quint32 id) const;
    bool IsDataAvailableForFormatName(QWidget* owner, const QString& name);
    static quint32 AddFormat(const QString& name);

    // Data; each needs the clipboard open through this object.
    Expected<QByteArray> GetBinaryData(quint32 id) const;
    Expected<QString> GetTextData(quint32 id);
    Expected<QStringList> GetFileList() const;
    Expected<bool> SetBinaryData(quint32 id, const QByteArray& bytes);
    Expected<bool> SetTextData(quint32 id, const QString& text);
    Expected<bool> SetFileList(const QStringList& files);
    Result ClearClipboard();

    // The desktop clipboard, or null where the program runs without a GUI application.
    static QClipboard* SystemClipboard();

private:
    Result checkOpen() const;

    bool m_open = false;
    QPointer<QWidget> m_owner;
    QList<quint32> m_formatIds;
    QStringList m_formatNames;
};
