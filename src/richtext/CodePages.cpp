#include "CodePages_p.h"

#include <QStringDecoder>
#include <array>
#include <cerrno>
#include <iconv.h>

namespace RichText::Detail {
namespace {

struct CharsetEntry {
    int charset;
    int codePage;
};

// The \fcharset values RTF defines and the Windows code pages they imply.
constexpr CharsetEntry kCharsets[] = {
    {0, 1252},   {128, 932},  {129, 949},  {134, 936},  {136, 950},
    {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
    {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 437},
};

struct TableEntry {
    int codePage;
    const char16_t* table;
};

constexpr TableEntry kTables[] = {
    {874, kCp874},   {1250, kCp1250}, {1251, kCp1251}, {1252, kCp1252},
    {1253, kCp1253}, {1254, kCp1254}, {1255, kCp1255}, {1256, kCp1256},
    {1257, kCp1257}, {1258, kCp1258}, {437, kCp437},
};

struct IconvEntry {
    int codePage;
    const char* name;
};

constexpr IconvEntry kDoubleBytePages[] = {
    {932, "CP932"},
    {936, "GBK"},
    {949, "CP949"},
    {950, "BIG5"},
};

const char16_t* tableFor(int codePage)
{
    for (const TableEntry& entry : kTables) {
        if (entry.codePage == codePage)
            return entry.table;
    }
    return nullptr;
}

const char* iconvNameFor(int codePage)
{
    for (const IconvEntry& entry : kDoubleBytePages) {
        if (entry.codePage == codePage)
            return entry.name;
    }
    return nullptr;
}

} // namespace

int codePageForCharset(int charset)
{
    // Charset 0 is "ANSI", which means the document's own code page rather than 1252.
    if (charset == 0)
        return 0;
    for (const CharsetEntry& entry : kCharsets) {
        if (entry.charset == charset)
            return entry.codePage;
    }
    return 0;
}

ByteDecoder::ByteDecoder(int codePage) : m_codePage(codePage)
{
    m_table = tableFor(codePage);
    if (m_table)
        return;
    if (const char* name = iconvNameFor(codePage)) {
        iconv_t handle = iconv_open("UTF-16LE", name);
        // iconv_open reports failure as (iconv_t)-1.
        if (handle != iconv_t(-1)) // NOLINT(performance-no-int-to-ptr)
            m_iconv = handle;
        return;
    }
    m_codePage = kDefaultCodePage; // an unknown page reads best as the common Western one
    m_table = kCp1252;
}

ByteDecoder::~ByteDecoder()
{
    if (m_iconv)
        iconv_close(iconv_t(m_iconv));
}

void ByteDecoder::decode(QByteArrayView bytes, QString& out) const
{
    if (!m_table) {
        decodeDoubleByte(bytes, out);
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    char16_t* dest = reinterpret_cast<char16_t*>(out.data()) + start;
    for (const char byte : bytes) {
        const auto b = uchar(byte);
        *dest++ = b < 0x80 ? char16_t(b) : m_table[b - 0x80];
    }
}

void ByteDecoder::decodeDoubleByte(QByteArrayView bytes, QString& out) const
{
    if (!m_iconv) {
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto b = uchar(bytes[i]);
            if (b < 0x80) {
                out += QChar(char16_t(b));
            } else {
                out += QChar::ReplacementCharacter;
                ++i; // the trail byte of the same character
            }
        }
        return;
    }
    iconv(iconv_t(m_iconv), nullptr, nullptr, nullptr, nullptr);
    std::array<char16_t, 512> buffer;
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer.data());
        size_t outLeft = sizeof(buffer);
        const size_t result = iconv(iconv_t(m_iconv), &in, &inLeft, &outPtr, &outLeft);
        const int error = result == size_t(-1) ? errno : 0;
        out.append(reinterpret_cast<const QChar*>(buffer.data()),
                   qsizetype(sizeof(buffer) - outLeft) / 2);
        if (error == EILSEQ || error == EINVAL) {
            // An invalid or truncated sequence: mark it and go on with the next byte.
            out += QChar::ReplacementCharacter;
            ++in;
            --inLeft;
            iconv(iconv_t(m_iconv), nullptr, nullptr, nullptr, nullptr);
        } else if (error != 0 && error != E2BIG) {
            break;
        }
    }
}

int cp1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 0x20; ++i) {
        // The C1 controls stand for themselves only where 1252 leaves a hole; keep them as \u.
        if (kCp1252[i] == c && c > 0xFF)
            return 0x80 + i;
    }
    return -1;
}

} // namespace RichText::Detail

QString RichText::decodeUtf8OrWindows1252(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

QString RichText::decodeWindows1252(QByteArrayView bytes)
{
    QString text;
    Detail::ByteDecoder(Detail::kDefaultCodePage).decode(bytes, text);
    return text;
}
