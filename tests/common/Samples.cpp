#include "Samples.h"

QString Samples::rtf(const QString& text)
{
    return QStringLiteral("{\\rtf1\\ansi ") + text + QStringLiteral("\\par\r\n}");
}

NoteRecord Samples::note(const QString& text, int left, int top)
{
    NoteRecord record;
    record.Color = QStringLiteral("blue");
    record.Data = rtf(text);
    record.TimeDate = QStringLiteral("1/2/2020 3:04:05 AM");
    record.Height = 2865;
    record.Width = 3345;
    record.Left = left;
    record.Top = top;
    return record;
}
