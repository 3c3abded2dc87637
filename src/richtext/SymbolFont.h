#pragma once

namespace RichText::Detail {

// What a byte in the Symbol font shows, as Unicode: Greek letters, arrows, mathematical signs.
// Bytes the font leaves empty map to the private use area at U+F000 plus the byte, as Windows
// maps every symbol font.
char16_t symbolFontChar(unsigned char byte);

} // namespace RichText::Detail
