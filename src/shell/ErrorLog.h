#pragma once

#include <QString>

struct AppError;

namespace modMain {
// Appends one line to jottex.log: date and time, context, number, description, tab-separated.
// Never fails towards its caller: a line the log cannot take goes to the error output, and the
// user is told once that the data folder cannot be written.
void WriteLogEntry(const QString& context, const QString& number, const QString& description);
void WriteLogEntry(const QString& context, const AppError& error);

// The data folder refused a write, for a reason in plain words ("the disk is full"; see
// AppError::reason). The user is told once per run, and where the notes are kept instead
// (keptIn; empty when nowhere).
void ReportUnwritableDataFolder(const QString& why, const QString& keptIn = {});
} // namespace modMain
