#pragma once

#include "Pictures.h"

// What the RTF reader needs of the picture code beyond what the program uses.
namespace RichText::Detail {

// The longest side a picture is shown at, however large its stated size.
inline constexpr int kMaxShownPixels = 16384;

// decodePicture with a budget below kMaxPictureBytes: a picture above it is refused as
// NoteFull, before it is decoded.
QImage decodePicture(QByteArrayView bytes, PictureResult* result, const char* format,
                     qint64 budget);

// The bytes of a BMP file for a device-independent bitmap as RTF holds it (\dibitmap: the
// bitmap's header, colours and bits without the file header).
QByteArray bmpOfDib(QByteArrayView dib);

// A device-dependent bitmap (\wbitmap): rows of widthBytes from the top, 1, 24 or 32 bits a
// pixel. A null image for any other depth, a size over the limit or too few bytes.
QImage deviceBitmap(QByteArrayView bits, QSize size, int bitsPerPixel, int widthBytes,
                    PictureResult* result);

// Adds the picture to the document's resources, unless a picture of that name is there
// already, and gives its name. No limit is checked here.
QString registerPicture(QTextDocument* document, const QImage& image);

void setRefusedPictures(QTextDocument* document, int count);

// A picture's bytes as a note's RTF holds them.
struct EncodedPicture {
    QByteArray bytes;
    bool jpeg = false; // else PNG
};
// The bytes the picture of that name was read from, or else PNG made once and kept: a note's
// RTF is written again at every change, and encoding a large picture takes long.
EncodedPicture encodedPicture(const QString& name, const QImage& image);
// What a picture of ours was read from, to be written again as it came.
void rememberEncoding(const QString& name, const EncodedPicture& encoded);

} // namespace RichText::Detail
