#include "special/cCustomClipboard.h"

#include "shell/Paths.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QMutex>
#include <QUrl>
#include <QWidget>
#include <array>

// Qt has no lock on the clipboard: "open" is this object's own promise that an owner window
// reads or writes it, and every read takes the clipboard as it is at that moment.
namespace {
struct StandardFormat {
    quint32 id;
    const char* name;
};

constexpr std::array kStandardNames{
    StandardFormat{1, "Text"},
    StandardFormat{2, "Bitmap Picture"},
    StandardFormat{3, "Meta-File Picture"},
    StandardFormat{4, "Microsoft Symbolic Link (SYLK) data."},
    StandardFormat{5, "Software Arts' Data Interchange information."},
    StandardFormat{6, "Tagged Image File Format (TIFF) Picture"},
    StandardFormat{7, "Text (OEM)"},
    StandardFormat{8, "DIB Bitmap Picture"},
    StandardFormat{9, "Colour Palette"},
    StandardFormat{10, "Pen Data"},
    StandardFormat{11, "RIFF Audio data"},
    StandardFormat{12, "Wave File"},
    StandardFormat{13, "Text (Unicode)"},
    StandardFormat{14, "Enhanced Meta-File Picture"},
    StandardFormat{15, "File List"},
    StandardFormat{16, "Text Locale Identifier"},
    StandardFormat{17, ""},
};

struct MimeFormat {
    const char* mimeType;
    quint32 id;
};

// The MIME types that stand for standard formats; the first entry of an id is the type it is
// written as. Images are matched apart, by their kind.
constexpr std::array kMimeFormats{
    MimeFormat{"text/plain", cCustomClipboard::CF_TEXT},
    MimeFormat{"text/plain", cCustomClipboard::CF_OEMTEXT},
    MimeFormat{"text/plain;charset=utf-8", cCustomClipboard::CF_UNICODETEXT},
    MimeFormat{"text/uri-list", cCustomClipboard::CF_HDROP},
};

constexpr quint32 kFirstRegistered = 0xC000;
constexpr quint32 kLastRegistered = 0xFFFF;
constexpr qsizetype kMaxNameLength = 255;

// Registered names, shared by every object of the process: the number of a name is
// kFirstRegistered plus its place here. Names compare without regard to case.
struct FormatRegistry {
    QMutex lock;
    QStringList names;
};

FormatRegistry& registry()
{
    static FormatRegistry instance;
    return instance;
}

QString registeredName(quint32 id)
{
    FormatRegistry& formats = registry();
    const QMutexLocker locker(&formats.lock);
    const qsizetype index = qsizetype(id) - qsizetype(kFirstRegistered);
    return id >= kFirstRegistered && index < formats.names.size() ? formats.names.at(index)
                                                                  : QString();
}

bool isImageType(const QString& mimeType)
{
    return mimeType == QLatin1String("application/x-qt-image") ||
           mimeType.startsWith(QLatin1String("image/"));
}

quint32 idForMimeType(const QString& mimeType)
{
    if (isImageType(mimeType))
        return cCustomClipboard::CF_DIB;
    for (const MimeFormat& format : kMimeFormats) {
        if (mimeType.compare(QLatin1String(format.mimeType), Qt::CaseInsensitive) == 0)
            return format.id;
    }
    return cCustomClipboard::AddFormat(mimeType);
}

// The MIME type a format is read and written as; empty for formats this desktop has no type for.
QString mimeTypeFor(quint32 id)
{
    for (const MimeFormat& format : kMimeFormats) {
        if (format.id == id)
            return QLatin1String(format.mimeType);
    }
    return registeredName(id);
}

bool isTextFormat(quint32 id)
{
    return id == cCustomClipboard::CF_TEXT || id == cCustomClipboard::CF_OEMTEXT ||
           id == cCustomClipboard::CF_UNICODETEXT;
}

const QMimeData* clipboardData()
{
    QClipboard* clipboard = cCustomClipboard::SystemClipboard();
    return clipboard != nullptr ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
}

// The formats of the clipboard in its order; the several types of one picture count once.
QList<quint32> formatIdsNow()
{
    QList<quint32> ids;
    const QMimeData* data = clipboardData();
    if (data == nullptr)
        return ids;
    for (const QString& mimeType : data->formats()) {
        const quint32 id = idForMimeType(mimeType);
        if (id != 0 && !(id == cCustomClipboard::CF_DIB && ids.contains(id)))
            ids.append(id);
    }
    return ids;
}

// The clipboard takes the data over, and frees it when something else is copied.
bool putOnClipboard(QMimeData* data)
{
    cCustomClipboard::SystemClipboard()->setMimeData(data, QClipboard::Clipboard);
    return true;
}

AppError clipboardError(int number, const QString& description)
{
    return AppError{number,
                    QFileInfo(AppPaths::executablePath()).fileName() +
                        QStringLiteral(".cCustomClipboard"),
                    description};
}
} // namespace

cCustomClipboard::~cCustomClipboard()
{
    ClipboardClose();
}

QClipboard* cCustomClipboard::SystemClipboard()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    return QGuiApplication::clipboard();
}

Result cCustomClipboard::ClipboardOpen(QWidget* owner)
{
    if (owner == nullptr || SystemClipboard() == nullptr) {
        ClipboardClose();
        return clipboardError(ErrorNumber::ClipboardCannotOpen,
                              QStringLiteral("Unable to Open Clipboard."));
    }
    m_owner = owner;
    m_open = true;
    return {};
}

void cCustomClipboard::ClipboardClose()
{
    m_open = false;
    m_owner = nullptr;
}

Result cCustomClipboard::checkOpen() const
{
    if (m_open && !m_owner.isNull())
        return {};
    return clipboardError(
        ErrorNumber::ClipboardNotOpen,
        QStringLiteral("Attempt to access the clipboard when clipboard not Open."));
}

// Listing needs no open clipboard of its own: it only reads the type list, and leaves this
// object's open state as it was.
int cCustomClipboard::GetCurrentFormats(QWidget* owner)
{
    m_formatIds.clear();
    m_formatNames.clear();
    if (owner == nullptr)
        return 0;
    m_formatIds = formatIdsNow();
    for (const quint32 id : std::as_const(m_formatIds))
        m_formatNames.append(FormatName(id));
    return int(m_formatIds.size());
}

Expected<quint32> cCustomClipboard::GetCurrentFormatID(int position) const
{
    if (position < 1 || position > m_formatIds.size())
        return clipboardError(ErrorNumber::InvalidProcedureCall,
                              ErrorNumber::description(ErrorNumber::InvalidProcedureCall));
    return m_formatIds.at(position - 1);
}

Expected<QString> cCustomClipboard::GetCurrentFormatName(int position) const
{
    const Expected<quint32> id = GetCurrentFormatID(position);
    if (id.failed())
        return id.error();
    return m_formatNames.at(position - 1);
}

bool cCustomClipboard::HasCurrentFormat(quint32 id) const
{
    return m_formatIds.contains(id);
}

int cCustomClipboard::FormatCount() const
{
    return int(formatIdsNow().size());
}

QString cCustomClipboard::FormatName(quint32 id)
{
    for (const StandardFormat& format : kStandardNames) {
        if (format.id == id)
            return QLatin1String(format.name);
    }
    return registeredName(id);
}

quint32 cCustomClipboard::FormatIDForName(QWidget* owner, const QString& name)
{
    GetCurrentFormats(owner);
    const qsizetype index = m_formatNames.indexOf(name);
    return index < 0 ? 0 : m_formatIds.at(index);
}

bool cCustomClipboard::IsDataAvailableForFormat(quint32 id) const
{
    return id != 0 && formatIdsNow().contains(id);
}

bool cCustomClipboard::IsDataAvailableForFormatName(QWidget* owner, const QString& name)
{
    return IsDataAvailableForFormat(FormatIDForName(owner, name));
}

quint32 cCustomClipboard::AddFormat(const QString& name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength)
        return 0;
    FormatRegistry& formats = registry();
    const QMutexLocker locker(&formats.lock);
    for (qsizetype index = 0; index < formats.names.size(); ++index) {
        if (formats.names.at(index).compare(name, Qt::CaseInsensitive) == 0)
            return kFirstRegistered + quint32(index);
    }
    if (kFirstRegistered + quint32(formats.names.size()) > kLastRegistered)
        return 0;
    formats.names.append(name);
    return kFirstRegistered + quint32(formats.names.size() - 1);
}

Expected<QByteArray> cCustomClipboard::GetBinaryData(quint32 id) const
{
    if (Result failure = checkOpen(); failure.failed())
        return failure.error();
    const QMimeData* data = clipboardData();
    if (data == nullptr)
        return QByteArray();
    if (id == CF_DIB) {
        QByteArray png;
        QBuffer buffer(&png);
        const auto image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull() && buffer.open(QIODevice::WriteOnly))
            image.save(&buffer, "PNG");
        return png;
    }
    const QString mimeType = mimeTypeFor(id);
    return mimeType.isEmpty() ? QByteArray() : data->data(mimeType);
}

// Bytes of other formats are 8-bit text, one character per byte.
Expected<QString> cCustomClipboard::GetTextData(quint32 id)
{
    if (Result failure = checkOpen(); failure.failed())
        return failure.error();
    if (isTextFormat(id))
        return SystemClipboard()->text(QClipboard::Clipboard);
    const Expected<QByteArray> bytes = GetBinaryData(id);
    if (bytes.failed())
        return bytes.error();
    return QString::fromLatin1(bytes.value());
}

Expected<QStringList> cCustomClipboard::GetFileList() const
{
    if (Result failure = checkOpen(); failure.failed())
        return failure.error();
    QStringList files;
    const QMimeData* data = clipboardData();
    if (data == nullptr)
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

Expected<bool> cCustomClipboard::SetBinaryData(quint32 id, const QByteArray& bytes)
{
    if (Result failure = checkOpen(); failure.failed())
        return failure.error();
    auto* data = new QMimeData;
    if (id == CF_DIB) {
        const QImage image = QImage::fromData(bytes);
        if (!image.isNull())
            data->setImageData(image);
    } else if (const QString mimeType = mimeTypeFor(id); !mimeType.isEmpty()) {
        data->setData(mimeType, bytes);
    }
    if (data->formats().isEmpty()) {
        delete data;
        return false;
    }
    return putOnClipboard(data);
}

// Text formats are written as the desktop reads them (UTF-8), so any text survives the trip;
// other formats take one byte per character.
Expected<bool> cCustomClipboard::SetTextData(quint32 id, const QString& text)
{
    if (Result failure = checkOpen(); failure.failed())
        return failure.error();
    if (text.isEmpty())
        return false;
    if (!isTextFormat(id))
        return SetBinaryData(id, text.toLatin1());
    auto* data = new QMimeData;
    data->setData(mimeTypeFor(id), text.toUtf8());
    return putOnClipboard(data);
}

Expected<bool> cCustomClipboard::SetFileList(const QStringList& files)
{
    if (Result failure = checkOpen(); failure.failed())
        return failure.error();
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.append(QUrl::fromLocalFile(file));
    auto* data = new QMimeData;
    data->setUrls(urls);
    return putOnClipboard(data);
}

Result cCustomClipboard::ClearClipboard()
{
    if (Result failure = checkOpen(); failure.failed())
        return failure;
    SystemClipboard()->clear(QClipboard::Clipboard);
    return {};
}
