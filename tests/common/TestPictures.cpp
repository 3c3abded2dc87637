#include "TestPictures.h"

#include <QBuffer>
#include <QtEndian>

namespace TestPictures {

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 60 % 256, y * 80 % 256, (x + y) * 30 % 256));
    return image;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray pngStating(int width, int height)
{
    QByteArray png = encoded(picture(2, 2), "PNG");
    // The IHDR chunk follows the 8-byte signature: length, type, width, height, ..., its CRC.
    constexpr int kType = 8 + 4;
    constexpr int kCovered = 4 + 13; // the type and the chunk's data
    qToBigEndian<quint32>(quint32(width), png.data() + kType + 4);
    qToBigEndian<quint32>(quint32(height), png.data() + kType + 8);
    quint32 crc = 0xFFFFFFFFu;
    for (int i = kType; i < kType + kCovered; ++i) {
        crc ^= uchar(png[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    qToBigEndian<quint32>(~crc, png.data() + kType + kCovered);
    return png;
}

} // namespace TestPictures
