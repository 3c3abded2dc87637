#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace RichText {

// The value of one hexadecimal digit, or -1 for any other character.
int hexValue(char c);

// One lexical unit of RTF. Views point into the tokenizer's input and stay valid while it lives.
struct RtfToken {
    enum Type { End, GroupStart, GroupEnd, ControlWord, ControlSymbol, HexByte, Text };

    RtfToken(Type tokenType = End) : type(tokenType) {}

    Type type = End;
    QByteArrayView word; // control word name, or the text run
    int param = 0;       // numeric parameter, clamped to the int range
    bool hasParam = false;
    char symbol = 0; // control symbol character, or the byte of \'hh
};

// Splits RTF into tokens without interpreting them. Line breaks in the input are not
// content in RTF and are dropped here; a backslash before a line break is a paragraph mark.
class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView input) : m_input(input) {}

    RtfToken next();
    // Skips the payload of \binN, which is raw data rather than RTF.
    void skipBytes(qsizetype count);
    // The payload of \binN, as far as the input has it; the reading goes on after it.
    QByteArrayView takeBytes(qsizetype count);
    qsizetype position() const { return m_pos; }

private:
    RtfToken readControl();
    RtfToken readControlSymbol();
    void readParameter(RtfToken& token);
    RtfToken readText();

    QByteArrayView m_input;
    qsizetype m_pos = 0;
};

} // namespace RichText
