#include "RtfTokenizer.h"

#include <limits>

namespace RichText {
namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

RtfToken RtfTokenizer::next()
{
    while (m_pos < m_input.size()) {
        const char c = m_input[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            return {RtfToken::GroupStart};
        case '}':
            ++m_pos;
            return {RtfToken::GroupEnd};
        case '\\':
            return readControl();
        case '\r':
        case '\n':
        case '\0':
            ++m_pos;
            continue;
        default:
            return readText();
        }
    }
    return {};
}

void RtfTokenizer::skipBytes(qsizetype count)
{
    m_pos += qBound<qsizetype>(0, count, m_input.size() - m_pos);
}

QByteArrayView RtfTokenizer::takeBytes(qsizetype count)
{
    const qsizetype start = m_pos;
    skipBytes(count);
    return m_input.sliced(start, m_pos - start);
}

RtfToken RtfTokenizer::readText()
{
    const qsizetype start = m_pos;
    while (m_pos < m_input.size()) {
        const char c = m_input[m_pos];
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n' || c == '\0')
            break;
        ++m_pos;
    }
    RtfToken token{RtfToken::Text};
    token.word = m_input.sliced(start, m_pos - start);
    return token;
}

RtfToken RtfTokenizer::readControl()
{
    ++m_pos; // the backslash
    if (m_pos >= m_input.size())
        return {};
    if (!isLetter(m_input[m_pos]))
        return readControlSymbol();

    const qsizetype start = m_pos;
    // Over-long words are no known word either, so they are read whole and later ignored.
    while (m_pos < m_input.size() && isLetter(m_input[m_pos]))
        ++m_pos;
    RtfToken token{RtfToken::ControlWord};
    token.word = m_input.sliced(start, m_pos - start);
    readParameter(token);
    // A single space delimits the control word and belongs to it.
    if (m_pos < m_input.size() && m_input[m_pos] == ' ')
        ++m_pos;
    return token;
}

RtfToken RtfTokenizer::readControlSymbol()
{
    const char first = m_input[m_pos++];
    if (first == '\'') {
        const int high = m_pos < m_input.size() ? hexValue(m_input[m_pos]) : -1;
        if (high >= 0 && m_pos + 1 == m_input.size()) {
            m_pos = m_input.size(); // the input ends inside the escape: half a byte is no text
            return {};
        }
        const int low = m_pos + 1 < m_input.size() ? hexValue(m_input[m_pos + 1]) : -1;
        if (high < 0 || low < 0)
            return {RtfToken::ControlSymbol}; // a broken escape carries no byte
        m_pos += 2;
        RtfToken token{RtfToken::HexByte};
        token.symbol = char(high * 16 + low);
        return token;
    }
    RtfToken token{RtfToken::ControlSymbol};
    token.symbol = (first == '\r' || first == '\n') ? '\n' : first;
    return token;
}

// The optional signed number after a control word, clamped to int.
void RtfTokenizer::readParameter(RtfToken& token)
{
    bool negative = false;
    if (m_pos + 1 < m_input.size() && m_input[m_pos] == '-' && isDigit(m_input[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos >= m_input.size() || !isDigit(m_input[m_pos]))
        return;
    qint64 value = 0;
    while (m_pos < m_input.size() && isDigit(m_input[m_pos])) {
        value = qMin<qint64>(value * 10 + (m_input[m_pos] - '0'),
                             qint64(std::numeric_limits<int>::max()) + 1);
        ++m_pos;
    }
    value = negative ? -value : value;
    token.param = int(qBound(qint64(std::numeric_limits<int>::min()), value,
                             qint64(std::numeric_limits<int>::max())));
    token.hasParam = true;
}

} // namespace RichText
