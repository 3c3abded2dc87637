#pragma once

#include <QByteArray>
#include <QImage>

// Pictures for tests, made in the test rather than stored.
namespace TestPictures {
// A picture whose every pixel differs from its neighbours, so a pixel moved or changed shows.
QImage picture(int width, int height);
// The picture in a file format Qt writes ("PNG", "BMP", "JPEG").
QByteArray encoded(const QImage& image, const char* format = "PNG");
// A valid PNG header that states a size its data does not have: only a reader that decodes
// before it checks the size would try to make the picture.
QByteArray pngStating(int width, int height);
} // namespace TestPictures
