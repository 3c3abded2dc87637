#pragma once

#include "store/NoteKinds.h"

#include <QList>
#include <QString>

// One note's data and its window's settings, in the order the note window keeps them.
// Only Color, Data, TimeDate, Height, Width, Left and Top travel in note files; the main data
// file and the recovery file also keep OnAllWorkspaces, the note's place on this desktop, and
// FolderId.
struct NoteRecord {
    qint32 Alpha = 0;
    bool AutoSave = false;
    CaptionKind CaptionType = CaptionKind::TimeDate;
    QString Color;
    qint32 ForeColor = 0;
    qint32 FontSize = 0;
    QString Data;
    QString FileName;
    SpecialNoteKind SpecialType = SpecialNoteKind::None;
    bool IsOnTop = false;
    qint32 Height = 0;
    qint32 Width = 0;
    qint32 Left = 0;
    qint32 Top = 0;
    QString FeedURL;
    QString Reminder;
    bool SaveNewNoteOnClose = false;
    QString StockSymbol;
    QString TimeDate;
    // Shown on every workspace of the desktop rather than on one.
    bool OnAllWorkspaces = false;
    // The note's name in the notes folder ("<FolderId>.not"); empty for a note that has no file
    // there yet. The main data file and the recovery file keep it; a note file never does,
    // since the folder's file is named by it.
    QString FolderId;

    bool operator==(const NoteRecord&) const = default;
};

using NoteRecordList = QList<NoteRecord>;
