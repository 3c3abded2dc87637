#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

// Texts that follow the user's locale (QLocale(), the system locale unless a test fixed one).
namespace LocaleFormat {
// Short date with a four-digit year, a blank, the time with seconds: "12/6/2026 9:21:58 AM".
QString generalDate(const QDateTime& moment);
// "Sunday, December 6, 2026".
QString longDate(const QDate& date);
// "12/6/2026".
QString shortDate(const QDate& date);
// "03:07:09 PM".
QString hhmmssAmPm(const QTime& time);
// The time an "hh:mm:ss AMPM" text names, in the locale's AM/PM texts; nothing otherwise.
std::optional<QTime> parseHhmmssAmPm(const QString& text);
// Shortest general form: up to 15 significant digits, no group separators ("1177.38").
QString generalNumber(double value);
} // namespace LocaleFormat
