#pragma once

#include "store/NoteRecord.h"

#include <optional>

// A note window's model: the note's record and what the window knows of the note beyond it.
// The menus' check marks, the caption and the subcaption are drawn from it.
struct NoteModel : NoteRecord {
    // FileName is the file the note is tied to, where Save writes. ShownFile is the file the
    // "File: " subcaption names: the tied file, or the file a restored note came from, which
    // it names without being tied to it; Reset clears it.
    QString ShownFile;
    // Changes to the text count as unsaved ones even without "Save New Note on Close": the
    // text came from a file or a stored note.
    bool TracksChanges = false;
    // The note has changes that are not saved; the caption's "*" shows it.
    bool Changed = false;
    // The stored text of a note too long for the text area, kept as it came: the area shows
    // only its start and cannot change it, and whatever keeps the note keeps this.
    std::optional<QString> HeldData;

    const NoteRecord& record() const { return *this; }
};
