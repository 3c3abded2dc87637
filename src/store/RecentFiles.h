#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The note files opened lately, newest first, kept in the settings so that searching can reach
// the notes of files that are not open. Entries older than a month are dropped whenever the
// list is read or written.
namespace RecentFiles {
struct Entry {
    QString path; // absolute
    QDateTime opened;

    bool operator==(const Entry&) const = default;
};

inline constexpr int kMaxEntries = 50;
inline constexpr int kKeptDays = 30;

// The remembered files, newest first, none older than kKeptDays.
QList<Entry> read();
// Puts path first, opened now; an earlier entry of the same file goes.
void record(const QString& path);
} // namespace RecentFiles
