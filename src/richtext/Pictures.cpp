#include "Pictures.h"

#include "Pictures_p.h"

#include <QBuffer>
#include <QCache>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QHash>
#include <QImageReader>
#include <QMimeData>
#include <QMutex>
#include <QTextBlock>
#include <QTextDocument>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace RichText {
namespace {

constexpr int kBytesPerPixel = 4;
constexpr qint64 kMegabyte = qint64(1024) * 1024;
// Qt's own guard against decoders that allocate more than the header said, in whole MB.
constexpr int kAllocationLimitMb = int(kMaxPictureBytes / kMegabyte) + 1;
const char kPictureScheme[] = "jottex-picture";
const char kRefusedProperty[] = "jottexRefusedPictures";
// The encodings kept, in KB: a few notes' worth of large pictures.
constexpr int kMaxKeptEncodingsKb = 128 * 1024;

// Encodings by picture name. Names are made from the pixels, so an encoding never goes stale.
struct EncodingStore {
    QMutex lock;
    QCache<QString, Detail::EncodedPicture> kept{kMaxKeptEncodingsKb};
};

EncodingStore& encodings()
{
    static EncodingStore store;
    return store;
}

bool isOurName(const QString& name)
{
    return name.startsWith(QLatin1String(kPictureScheme) + QLatin1Char(':'));
}

// Each run of pictures of the document's text, with how many times it shows the picture.
template <typename Visit> void forEachPicture(const QTextDocument* document, Visit visit)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.text().startsWith(QChar::ObjectReplacementCharacter))
                continue;
            const QTextImageFormat format = fragment.charFormat().toImageFormat();
            if (format.isValid())
                visit(format, fragment.length());
        }
    }
}

QString nameOf(const QImage& image)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const int header[] = {image.width(), image.height(), int(image.format())};
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(header), sizeof header));
    const qsizetype lineBytes = (qsizetype(image.width()) * image.depth() + 7) / 8;
    for (int y = 0; y < image.height(); ++y)
        hash.addData(
            QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)), lineBytes));
    return QLatin1String(kPictureScheme) + QLatin1Char(':') +
           QString::fromLatin1(hash.result().toHex());
}

QImage imageOfResource(const QVariant& resource)
{
    switch (resource.userType()) {
    case QMetaType::QImage:
        return qvariant_cast<QImage>(resource);
    case QMetaType::QPixmap:
        return qvariant_cast<QPixmap>(resource).toImage();
    case QMetaType::QByteArray: {
        PictureResult ignored = PictureResult::Taken;
        return decodePicture(resource.toByteArray(), &ignored);
    }
    default:
        return {};
    }
}

void setResult(PictureResult* result, PictureResult value)
{
    if (result)
        *result = value;
}

// The bitmap formats taken for pictures. Vector pictures (SVG) are left out: what drawing
// one costs has nothing to do with its size.
bool isCommonFormat(const QByteArray& format)
{
    static const QList<QByteArray> kCommon{"png", "jpeg", "jpg", "gif", "bmp", "webp", "tiff"};
    return kCommon.contains(format.toLower());
}

// The picture types of the data, PNG first: it loses nothing.
QStringList pictureTypes(const QMimeData* data)
{
    QStringList types;
    for (const QString& type : data->formats()) {
        const QList<QByteArray> formats = QImageReader::imageFormatsForMimeType(type.toLatin1());
        if (std::any_of(formats.begin(), formats.end(), isCommonFormat))
            types.append(type);
    }
    const qsizetype png = types.indexOf(QLatin1String("image/png"));
    if (png > 0)
        types.move(png, 0);
    return types;
}

quint32 le32(QByteArrayView bytes, qsizetype at)
{
    return at + 4 <= bytes.size() ? qFromLittleEndian<quint32>(bytes.data() + at) : 0;
}

quint16 le16(QByteArrayView bytes, qsizetype at)
{
    return at + 2 <= bytes.size() ? qFromLittleEndian<quint16>(bytes.data() + at) : 0;
}

} // namespace

QString pictureLimitText()
{
    return QCoreApplication::translate("Pictures", "%1 MB a picture and %2 MB a note")
        .arg(kMaxPictureBytes / kMegabyte)
        .arg(kMaxNotePictureBytes / kMegabyte);
}

qint64 pictureBytes(QSize size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return -1;
    return qint64(size.width()) * size.height() * kBytesPerPixel;
}

QImage decodePicture(QByteArrayView bytes, PictureResult* result, const char* format)
{
    return Detail::decodePicture(bytes, result, format, kMaxPictureBytes);
}

bool isPictureData(QByteArrayView bytes)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    return isCommonFormat(QImageReader::imageFormat(&buffer));
}

bool hasPicture(const QMimeData* data)
{
    return data && (data->hasImage() || !pictureTypes(data).isEmpty());
}

QImage pictureOf(const QMimeData* data, PictureResult* result)
{
    setResult(result, PictureResult::Unreadable);
    if (!data)
        return {};
    for (const QString& type : pictureTypes(data)) {
        PictureResult decoded = PictureResult::Unreadable;
        QImage image = decodePicture(data->data(type), &decoded);
        if (decoded != PictureResult::Unreadable) {
            setResult(result, decoded);
            return image;
        }
    }
    if (!data->hasImage())
        return {};
    // Decoded by the platform already: only its size can still be refused.
    QImage image = qvariant_cast<QImage>(data->imageData());
    const qint64 bytes = pictureBytes(image.size());
    if (bytes < 0)
        return {};
    if (bytes > kMaxPictureBytes) {
        setResult(result, PictureResult::TooLarge);
        return {};
    }
    setResult(result, PictureResult::Taken);
    return image;
}

qint64 picturesBytes(const QTextDocument* document)
{
    qint64 total = 0;
    if (!document)
        return total;
    QHash<QString, qint64> bytesOf;
    forEachPicture(document, [&](const QTextImageFormat& format, int times) {
        auto known = bytesOf.constFind(format.name());
        if (known == bytesOf.constEnd())
            known = bytesOf.insert(
                format.name(), qMax<qint64>(0, pictureBytes(pictureOf(document, format).size())));
        total += *known * times;
    });
    return total;
}

QTextImageFormat addPicture(QTextDocument* document, const QImage& image, PictureResult* result)
{
    const qint64 bytes = pictureBytes(image.size());
    if (!document || bytes < 0) {
        setResult(result, PictureResult::Unreadable);
        return {};
    }
    if (bytes > kMaxPictureBytes) {
        setResult(result, PictureResult::TooLarge);
        return {};
    }
    if (picturesBytes(document) + bytes > kMaxNotePictureBytes) {
        setResult(result, PictureResult::NoteFull);
        return {};
    }
    QTextImageFormat format;
    format.setName(Detail::registerPicture(document, image));
    setResult(result, PictureResult::Taken);
    return format;
}

QImage pictureOf(const QTextDocument* document, const QTextImageFormat& format)
{
    if (!document || !format.isValid() || format.name().isEmpty())
        return {};
    return imageOfResource(document->resource(QTextDocument::ImageResource, QUrl(format.name())));
}

QSizeF shownSize(const QTextImageFormat& format, QSize pictureSize)
{
    const bool hasWidth = format.hasProperty(QTextFormat::ImageWidth) && format.width() > 0;
    const bool hasHeight = format.hasProperty(QTextFormat::ImageHeight) && format.height() > 0;
    if (hasWidth && hasHeight)
        return {format.width(), format.height()};
    // One side given: the other keeps the picture's proportions, as the layout shows it.
    if (hasWidth && pictureSize.width() > 0)
        return {format.width(), format.width() * pictureSize.height() / pictureSize.width()};
    if (hasHeight && pictureSize.height() > 0)
        return {format.height() * pictureSize.width() / pictureSize.height(), format.height()};
    return QSizeF(pictureSize);
}

QHash<QString, QImage> picturesIn(const QTextDocument* document)
{
    QHash<QString, QImage> pictures;
    if (!document)
        return pictures;
    forEachPicture(document, [&](const QTextImageFormat& format, int) {
        if (pictures.contains(format.name()))
            return;
        if (QImage picture = pictureOf(document, format); !picture.isNull())
            pictures.insert(format.name(), picture);
    });
    return pictures;
}

void addPictures(QTextDocument* document, const QHash<QString, QImage>& pictures)
{
    if (!document)
        return;
    for (auto it = pictures.constBegin(); it != pictures.constEnd(); ++it) {
        const QUrl name(it.key());
        if (document->resource(QTextDocument::ImageResource, name).isNull())
            document->addResource(QTextDocument::ImageResource, name, it.value());
    }
}

void copyPictures(const QTextDocument& from, QTextDocument* to)
{
    addPictures(to, picturesIn(&from));
}

int refusedPictures(const QTextDocument* document)
{
    return document ? document->property(kRefusedProperty).toInt() : 0;
}

namespace Detail {

QImage decodePicture(QByteArrayView bytes, PictureResult* result, const char* format, qint64 budget)
{
    setResult(result, PictureResult::Unreadable);
    if (bytes.size() > kMaxEncodedPictureBytes) {
        setResult(result, PictureResult::TooLarge);
        return {};
    }
    QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer, format ? QByteArray(format) : QByteArray());
    reader.setAllocationLimit(kAllocationLimitMb);
    // The size the header states decides before any pixel is decoded; a decoder that makes
    // a larger picture all the same is caught after.
    const auto refusal = [budget](QSize size) {
        const qint64 needed = pictureBytes(size);
        if (needed > kMaxPictureBytes)
            return PictureResult::TooLarge;
        return needed > budget ? PictureResult::NoteFull : PictureResult::Taken;
    };
    const QSize stated = reader.size();
    if (!stated.isValid())
        return {};
    if (const PictureResult early = refusal(stated); early != PictureResult::Taken) {
        setResult(result, early);
        return {};
    }
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    const PictureResult late = refusal(image.size());
    setResult(result, late);
    return late == PictureResult::Taken ? image : QImage();
}

QByteArray bmpOfDib(QByteArrayView dib)
{
    constexpr int kFileHeaderBytes = 14;
    constexpr quint32 kCoreHeaderBytes = 12;
    constexpr quint32 kInfoHeaderBytes = 40;
    constexpr quint32 kBitFields = 3;
    constexpr quint32 kAlphaBitFields = 6;
    const quint32 headerBytes = le32(dib, 0);
    qint64 colourBytes = 0;
    if (headerBytes == kCoreHeaderBytes) {
        const int bits = le16(dib, 10);
        colourBytes = bits <= 8 ? qint64(3) << bits : 0;
    } else if (headerBytes >= kInfoHeaderBytes) {
        const int bits = le16(dib, 14);
        const quint32 compression = le32(dib, 16);
        const quint32 used = le32(dib, 32);
        colourBytes = 4 * (used != 0 ? qint64(used) : bits <= 8 ? qint64(1) << bits : 0);
        if (headerBytes == kInfoHeaderBytes && compression == kBitFields)
            colourBytes += 12;
        else if (headerBytes == kInfoHeaderBytes && compression == kAlphaBitFields)
            colourBytes += 16;
    } else {
        return {};
    }
    const qint64 offset = kFileHeaderBytes + qint64(headerBytes) + colourBytes;
    if (offset > kFileHeaderBytes + dib.size())
        return {};
    QByteArray bmp(kFileHeaderBytes, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(quint32(kFileHeaderBytes + dib.size()), bmp.data() + 2);
    qToLittleEndian<quint32>(quint32(offset), bmp.data() + 10);
    bmp.append(dib.data(), dib.size());
    return bmp;
}

QImage deviceBitmap(QByteArrayView bits, QSize size, int bitsPerPixel, int widthBytes,
                    PictureResult* result)
{
    setResult(result, PictureResult::Unreadable);
    const qint64 bytes = pictureBytes(size);
    if (bytes < 0)
        return {};
    if (bytes > kMaxPictureBytes) {
        setResult(result, PictureResult::TooLarge);
        return {};
    }
    QImage::Format format = QImage::Format_Invalid;
    if (bitsPerPixel == 1)
        format = QImage::Format_Mono;
    else if (bitsPerPixel == 24)
        format = QImage::Format_BGR888;
    else if (bitsPerPixel == 32)
        format = QImage::Format_RGB32;
    const qint64 rowBytes = (qint64(size.width()) * bitsPerPixel + 7) / 8;
    // Rows are padded to whole 16-bit words when the stream does not say their length.
    const qint64 stride = widthBytes > 0 ? widthBytes : (rowBytes + 1) / 2 * 2;
    if (format == QImage::Format_Invalid || stride < rowBytes ||
        stride * size.height() > bits.size())
        return {};
    QImage image(size, format);
    if (image.isNull())
        return {};
    if (format == QImage::Format_Mono)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < size.height(); ++y) {
        uchar* line = image.scanLine(y);
        std::memcpy(line, bits.data() + stride * y, size_t(rowBytes));
        if (format == QImage::Format_RGB32) { // the fourth byte is no alpha in a bitmap
            auto* pixels = reinterpret_cast<QRgb*>(line);
            for (int x = 0; x < size.width(); ++x)
                pixels[x] |= 0xFF000000u;
        }
    }
    setResult(result, PictureResult::Taken);
    return image;
}

QString registerPicture(QTextDocument* document, const QImage& image)
{
    QString name = nameOf(image);
    if (document->resource(QTextDocument::ImageResource, QUrl(name)).isNull())
        document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    return name;
}

void setRefusedPictures(QTextDocument* document, int count)
{
    document->setProperty(kRefusedProperty, count);
}

void rememberEncoding(const QString& name, const EncodedPicture& encoded)
{
    if (!isOurName(name))
        return;
    EncodingStore& store = encodings();
    const QMutexLocker locker(&store.lock);
    if (!store.kept.contains(name))
        store.kept.insert(name, new EncodedPicture(encoded),
                          int(qMax<qint64>(1, encoded.bytes.size() / 1024)));
}

EncodedPicture encodedPicture(const QString& name, const QImage& image)
{
    {
        EncodingStore& store = encodings();
        const QMutexLocker locker(&store.lock);
        if (const EncodedPicture* kept = isOurName(name) ? store.kept.object(name) : nullptr)
            return *kept;
    }
    EncodedPicture encoded;
    QBuffer buffer(&encoded.bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    rememberEncoding(name, encoded);
    return encoded;
}

} // namespace Detail
} // namespace RichText
