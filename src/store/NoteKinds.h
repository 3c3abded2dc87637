#pragma once

#include <QtGlobal>

// What a note's subcaption shows; the number is what the settings and the record keep. A number
// read from elsewhere may name no kind: then the subcaption keeps what it shows.
enum class CaptionKind : qint32 { TimeDate = 0, WordCount = 1, CharacterCount = 2, FileName = 3 };

// What a special note shows; the number is what the note record keeps.
enum class SpecialNoteKind : qint32 {
    None = 0,
    Time = 1,
    ComputerMemory = 2,
    Drives = 3,
    RSSFeed = 4,
    ClipboardViewer = 5,
    ClipboardLog = 6,
    StockQuote = 7,
    Reminder = 8,
};
