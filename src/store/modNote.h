#pragma once

#include "store/NoteRecord.h"

#include <QDomDocument>
#include <QString>

class QWidget;

// Saving, appending and loading notes. Each operation traps its own failures, logs them
// with its context, and returns its defined result. One that must ask for a file opens the
// dialog over owner, the note window, when one is given.
namespace modNote {

// The result of SaveNote when nothing was written.
inline const QString NoneSentinel = QStringLiteral("none");

// Writes record as a new note file at fileName (asks when empty). The path written, or "none".
QString SaveNote(const NoteRecord& record, const QString& fileName, QWidget* owner = nullptr);
// Adds record to an existing note file (asks when fileName is empty). Always empty text.
QString AppendNote(const NoteRecord& record, const QString& fileName, QWidget* owner = nullptr);
// Adds record to the main data file, creating it when missing.
void SaveMainNote(const NoteRecord& record);
// All notes of the main data file (isMain) or of a note file (asks when fileName is empty).
NoteRecordList LoadNote(bool isMain, const QString& fileName, QWidget* owner = nullptr);
// The records of a parsed note document; an empty list (and one log line) on failure.
NoteRecordList ProcessXMLData(const QDomDocument& document, const QString& path);

} // namespace modNote
