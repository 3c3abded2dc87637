#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QImage>
#include <QString>
#include <QTextImageFormat>

class QTextDocument;
class QMimeData;

// Pictures in a note's text. A picture lives in its document as an image resource named after
// its pixels, so the same picture pasted twice is kept once and a name always means the same
// pixels in every document; the text holds an image format that names it. The limits count a
// picture each time the text shows it, as each is written and read again on its own.
namespace RichText {

// Decoded sizes at four bytes a pixel: the most one picture may take, and the most the
// pictures of one note take together. Larger ones are refused, never decoded.
inline constexpr qint64 kMaxPictureBytes = qint64(16) * 1024 * 1024;
inline constexpr qint64 kMaxNotePictureBytes = qint64(64) * 1024 * 1024;
// The most bytes a picture within kMaxPictureBytes has encoded, whatever its format.
inline constexpr qint64 kMaxEncodedPictureBytes = kMaxPictureBytes + kMaxPictureBytes / 16;
// A picture's length in the document is in pixels at 96 per inch; RTF gives it in twips.
inline constexpr int kTwipsPerPicturePixel = 15;

// "16 MB a picture and 64 MB a note", for messages.
QString pictureLimitText();

// What became of a picture offered to a document.
enum class PictureResult { Taken, Unreadable, TooLarge, NoteFull };

// The decoded size of a picture of that many pixels, or -1 when the size is empty or invalid.
qint64 pictureBytes(QSize size);

// Reads an encoded picture in any format Qt reads (or the one named), once its stated size
// is known to be within kMaxPictureBytes. A null image when it is not; why goes to result.
QImage decodePicture(QByteArrayView bytes, PictureResult* result, const char* format = nullptr);
// Whether the bytes start as a picture in one of the common bitmap formats (PNG, JPEG, GIF,
// BMP, ...), the ones taken from files and the clipboard. The start of other formats Qt reads
// is too easily plain text.
bool isPictureData(QByteArrayView bytes);
// Whether the data offers a picture, without decoding it.
bool hasPicture(const QMimeData* data);
// The picture on the clipboard or in dragged data: the bytes of an image type, checked
// before decoding, or else the image the platform decoded. A null image when there is none.
QImage pictureOf(const QMimeData* data, PictureResult* result);

// The decoded size of the pictures the document's text shows, each as often as it shows.
qint64 picturesBytes(const QTextDocument* document);
// Adds the picture to the document's resources when its size and the note's leave room, and
// gives the format that shows it (at its own size) in the text; an invalid format when refused.
QTextImageFormat addPicture(QTextDocument* document, const QImage& image, PictureResult* result);
// The picture an image format of the document names; null when it names none.
QImage pictureOf(const QTextDocument* document, const QTextImageFormat& format);
// The size in pixels the picture is shown at: the format's width and height where it has them.
QSizeF shownSize(const QTextImageFormat& format, QSize pictureSize);
// The pictures the document's text shows, by name.
QHash<QString, QImage> picturesIn(const QTextDocument* document);
// Adds pictures to the document's resources under their names, for text that names them.
void addPictures(QTextDocument* document, const QHash<QString, QImage>& pictures);
// Copies the pictures that from's text shows into to, which a fragment of from inserted into
// to would otherwise leave behind.
void copyPictures(const QTextDocument& from, QTextDocument* to);

// How many pictures the last RTF read into the document left out for their size.
int refusedPictures(const QTextDocument* document);

} // namespace RichText
