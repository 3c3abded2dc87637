#pragma once

#include "CodePages.h"

#include <QByteArrayView>
#include <QString>
#include <memory>

namespace RichText::Detail {

extern const char16_t kCp874[128];
extern const char16_t kCp1250[128];
extern const char16_t kCp1251[128];
extern const char16_t kCp1252[128];
extern const char16_t kCp1253[128];
extern const char16_t kCp1254[128];
extern const char16_t kCp1255[128];
extern const char16_t kCp1256[128];
extern const char16_t kCp1257[128];
extern const char16_t kCp1258[128];
extern const char16_t kCp437[128];

constexpr int kDefaultCodePage = 1252;

// The Windows code page that a font's \fcharset selects, or 0 when the charset names none
// (default, symbol and unknown charsets follow the document's code page).
int codePageForCharset(int charset);

// Turns bytes of one Windows code page into UTF-16. Single-byte pages come from our own
// tables; the double-byte East Asian pages go through the C library's iconv, and where that
// lacks the page, each double-byte character becomes U+FFFD so the surrounding text survives.
class ByteDecoder {
public:
    explicit ByteDecoder(int codePage);
    ~ByteDecoder();
    ByteDecoder(const ByteDecoder&) = delete;
    ByteDecoder& operator=(const ByteDecoder&) = delete;

    int codePage() const { return m_codePage; }
    void decode(QByteArrayView bytes, QString& out) const;

private:
    void decodeDoubleByte(QByteArrayView bytes, QString& out) const;

    int m_codePage;
    const char16_t* m_table = nullptr;
    void* m_iconv = nullptr;
};

// Windows-1252 byte for a character, or -1 when the page lacks it.
int cp1252Byte(char16_t c);

} // namespace RichText::Detail
