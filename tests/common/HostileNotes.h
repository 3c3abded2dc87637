#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Note files made to hurt the reader, in the shapes that once took it minutes or gigabytes,
// and the real shapes beside them that must still read. Made at any scale, so tests build
// small ones and benchmarks the full-sized ones; nothing large is stored. Header-only, for
// the benchmarks too.
namespace HostileNotes {

inline QByteArray root(const QByteArray& content, const QByteArray& prolog = {})
{
    return "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n" + prolog +
           "<NOTES version=\"4.4.0.9\">\r\n" + content + "</NOTES>\r\n";
}

// One element with count attributes: the reader compares each with all before it.
inline QByteArray manyAttributes(qint64 count)
{
    QByteArray note = "<NOTE";
    note.reserve(count * 10 + 16);
    for (qint64 i = 0; i < count; ++i)
        note += " a" + QByteArray::number(i) + "=\"\"";
    return root(note + "/>\r\n");
}

// A default attribute declared once and given to each of count notes: no entity at all, and a
// tree thousands of times the file's size.
inline QByteArray defaultAttribute(qint64 count, qint64 valueBytes = 1000)
{
    const QByteArray prolog =
        "<!DOCTYPE NOTES [<!ATTLIST NOTE x CDATA \"" + QByteArray(valueBytes, 'x') + "\">]>\r\n";
    return root(QByteArray("<NOTE/>").repeated(count), prolog);
}

// count empty elements under one note: four bytes each, some 300 bytes each in a tree.
inline QByteArray emptyElements(qint64 count)
{
    return root("<NOTE>" + QByteArray("<a/>").repeated(count) + "</NOTE>\r\n");
}

inline QByteArray comments(qint64 count)
{
    return root("<NOTE>" + QByteArray("<!---->").repeated(count) + "</NOTE>\r\n");
}

// A processing instruction whose name holds character (UTF-8).
inline QByteArray instructionNamedWith(const QByteArray& character)
{
    return root("<NOTE><?a" + character + "b?><COLOR>red</COLOR></NOTE>\r\n");
}

// One note as the program writes it, with every field, its text dataBytes long.
inline QByteArray note(qint64 number, qint64 dataBytes = 16)
{
    QByteArray data = "{\\rtf1\\ansi note " + QByteArray::number(number) + "\\par\r\n";
    if (dataBytes > data.size())
        data += QByteArray(dataBytes - data.size(), 'x');
    data += "}";
    return "<NOTE>\r\n<COLOR>8454143</COLOR>\r\n<DATA>" + data +
           "</DATA>\r\n<TIMEDATE>12/6/2026 9:21:58 AM</TIMEDATE>\r\n<HEIGHT>2865</HEIGHT>\r\n"
           "<WIDTH>3345</WIDTH>\r\n<LEFT>" +
           QByteArray::number(600 + number % 5000) + "</LEFT>\r\n<TOP>4215</TOP>\r\n</NOTE>\r\n";
}

// A main data file of count notes, as logouts write it.
inline QByteArray notes(qint64 count, qint64 dataBytes = 16)
{
    QByteArray content;
    content.reserve(count * (dataBytes + 220));
    for (qint64 i = 0; i < count; ++i)
        content += note(i, dataBytes);
    return root(content);
}

} // namespace HostileNotes
