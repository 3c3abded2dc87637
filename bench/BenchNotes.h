#pragma once

#include "store/NoteRecord.h"

// A note of about 1 KB, as a rich-edit control writes it, numbered so each one differs.
inline NoteRecord sampleNote(int number)
{
    NoteRecord note;
    note.Color = QStringLiteral("yellow");
    QString rtf =
        QStringLiteral(
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
            "Comic Sans MS;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 Note %1\\par\r\n")
            .arg(number);
    while (rtf.size() < 950)
        rtf += QStringLiteral("Buy milk & eggs, call <Ann> about the \"plan\"\\par\r\n");
    note.Data = rtf + QLatin1Char('}');
    note.TimeDate = QStringLiteral("12/6/2026 9:21:58 AM");
    note.Height = 2865;
    note.Width = 3345;
    note.Left = 6120;
    note.Top = 4215;
    return note;
}
