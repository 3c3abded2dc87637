#pragma once

#include <QColor>
#include <QtGlobal>

// Colour values as the note files and settings keep them: 0x00BBGGRR, and with the top bit
// set the index of a system colour, which the desktop's palette stands in for here.
namespace SystemColors {
inline constexpr quint32 SystemColorBit = 0x80000000u;

// The RGB value (0x00BBGGRR) of a colour value, a system colour looked up in the palette;
// nothing for a system colour index that has no meaning.
bool translate(quint32 color, quint32& rgb);

// The colour of an 0x00BBGGRR value (the top byte is not looked at), and back.
QColor toQColor(quint32 rgb);
qint32 toValue(const QColor& color);
// A system colour reference (top bit set, index below 25) as the system colour's value now;
// any other value as given.
qint32 resolve(qint32 value);
} // namespace SystemColors
