#pragma once

#include <QColor>
#include <QtGlobal>

// Colours as 32-bit values: red in the lowest byte, then green, then blue. A value with the top
// bit set names one of the desktop's system colours by the index in its low bits.
namespace SystemColors {
inline constexpr int Count = 25; // system colour indexes run from 0 to 24

// True for a system colour reference: negative, with an index below Count.
bool isReference(qint32 value);
// The current colour of a system colour index, from the application's palette.
QColor colorOf(int index);
QColor toQColor(qint32 value);
qint32 toValue(const QColor& color);
// A reference resolved to the system colour's value now; any other value as given.
qint32 resolve(qint32 value);
} // namespace SystemColors
