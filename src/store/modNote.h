#pragma once

#include "shell/AppError.h"
#include "store/NoteRecord.h"

#include <QDomDocument>
#include <QString>
#include <optional>

class QWidget;

// Saving, appending and loading notes. Each operation traps its own failures, logs them
// with its context, and returns its defined result. One that must ask for a file opens the
// dialog over owner, the note window, when one is given.
namespace modNote {

// The result of SaveNote when nothing was written.
inline const QString NoneSentinel = QStringLiteral("none");

// Why a save or append wrote nothing: the file it meant and the error (already logged, except
// for an append to a file that does not exist). Not filled when the user cancelled.
struct WriteFailure {
    QString path;
    AppError error;
};

// Writes record at fileName (asks when empty). A named file that holds several notes keeps
// all but its first, which record replaces; otherwise the file becomes a whole one-note
// document. The path written, or "none".
QString SaveNote(const NoteRecord& record, const QString& fileName, QWidget* owner = nullptr,
                 WriteFailure* failure = nullptr);
// Adds record to an existing note file (asks when fileName is empty). Always empty text.
QString AppendNote(const NoteRecord& record, const QString& fileName, QWidget* owner = nullptr,
                   WriteFailure* failure = nullptr);
// Adds record to the main data file, creating it when missing.
void SaveMainNote(const NoteRecord& record);
// Adds records, in order, to the main data file in one write under the main data file's lock,
// so programs ending at the same time lose none. A main data file that cannot be read is
// moved aside (and logged) and a fresh one written. The failure, logged, when none was kept.
Result SaveMainNotes(const NoteRecordList& records);
// Takes the notes read from the main data file at index from on out of it, under its lock,
// when the file still holds them there as they were read: notes another program added since
// stay. The failure, logged, leaves the file as it was.
Result TakeMainNotes(qsizetype from, const NoteRecordList& taken);
// Writes records as one note document at path, replacing the file whole. Not logged: the
// caller decides what a failure means.
Result WriteNoteList(const NoteRecordList& records, const QString& path);
// Writes a note document's bytes at path once they read back, replacing the file whole. Not
// logged.
Result WriteNoteDocument(const QByteArray& bytes, const QString& path);
// All notes of the main data file (isMain) or of a note file (asks when fileName is empty).
// A main data file that cannot be read is moved aside, so later logouts start a fresh one.
NoteRecordList LoadNote(bool isMain, const QString& fileName, QWidget* owner = nullptr);
// LoadNote of a note file in two steps, for a caller that reads the file away from the
// interface thread (NoteDocument::readRecordsFile): the file named, or when there is no name
// the one the user picks (nothing when the user cancels); then the records read, or an empty
// list and one log line when the read failed.
std::optional<QString> ChooseFileToOpen(const QString& fileName, QWidget* owner = nullptr);
NoteRecordList ReadOutcome(const Expected<NoteRecordList>& records);
// The records of a parsed note document; an empty list (and one log line) on failure.
NoteRecordList ProcessXMLData(const QDomDocument& document, const QString& path);

} // namespace modNote
