#pragma once

#include <QString>

struct AppError;

namespace modMain {
// Appends one line to jottex.log: date and time, context, number, description, tab-separated.
// Never fails towards its caller; when the log cannot be written the user is told once.
void WriteLogEntry(const QString& context, const QString& number, const QString& description);
void WriteLogEntry(const QString& context, const AppError& error);
} // namespace modMain
