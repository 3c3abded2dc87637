#include "store/RecentFiles.h"

#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "shell/Settings.h"

#include <QFileInfo>
#include <QUrl>

namespace {
using RecentFiles::Entry;

// The setting is one line: entries joined by '|', each its UTC time and its path, apart by
// the first blank. A path's '%' and '|' are percent-encoded so that any path reads back.
constexpr QChar kEntrySeparator = u'|';
constexpr QChar kFieldSeparator = u' ';

QString encodedPath(const QString& path)
{
    QString text = path;
    text.replace(u'%', QLatin1String("%25"));
    text.replace(kEntrySeparator, QLatin1String("%7C"));
    return text;
}

QString decodedPath(const QString& text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

QList<Entry> parsed(const QString& setting)
{
    QList<Entry> entries;
    for (const QString& item : setting.split(kEntrySeparator, Qt::SkipEmptyParts)) {
        const qsizetype blank = item.indexOf(kFieldSeparator);
        if (blank <= 0)
            continue;
        const QDateTime opened = QDateTime::fromString(item.first(blank), Qt::ISODate);
        const QString path = decodedPath(item.sliced(blank + 1));
        if (opened.isValid() && !path.isEmpty())
            entries << Entry{path, opened};
    }
    return entries;
}

QString formatted(const QList<Entry>& entries)
{
    QStringList items;
    for (const Entry& entry : entries)
        items << entry.opened.toUTC().toString(Qt::ISODate) + kFieldSeparator +
                     encodedPath(entry.path);
    return items.join(kEntrySeparator);
}

// Without entries too old to keep, and at most kMaxEntries of them.
QList<Entry> current(QList<Entry> entries)
{
    const QDateTime oldest = Clock::now().addDays(-RecentFiles::kKeptDays);
    entries.removeIf([&oldest](const Entry& entry) { return entry.opened < oldest; });
    if (entries.size() > RecentFiles::kMaxEntries)
        entries.resize(RecentFiles::kMaxEntries);
    return entries;
}
} // namespace

QList<Entry> RecentFiles::read()
{
    return current(parsed(modMain::ReadSetting(modMain::Setting::RecentFiles)));
}

void RecentFiles::record(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QList<Entry> entries = read();
    entries.removeIf([&absolute](const Entry& entry) { return entry.path == absolute; });
    entries.prepend(Entry{absolute, Clock::now()});
    // The file opens all the same; the log tells why it was not remembered.
    const Result written =
        modMain::WriteSetting(modMain::Setting::RecentFiles, formatted(current(entries)));
    if (written.failed())
        modMain::WriteLogEntry(QStringLiteral("RecentFiles.record"), written.error());
}
