// Prints what searching the notes costs: making 10,000 notes of about 1 KB searchable (done once
// per note text), then matching queries against all of them: one that no note holds, one that a
// single note holds, and one, accented, that every note holds, so each gives its context.
// Usage: bench_search [notes, default 10000]
#include "store/NoteSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kRuns = 9;
constexpr double kNanosecondsPerMillisecond = 1e6;

// About 1 KB of everyday text, numbered so each note differs, with a few accented words.
QString noteText(int number)
{
    QString text = QStringLiteral("Note %1\r\n").arg(number);
    static const QString lines[] = {
        QStringLiteral("Buy milk & eggs, call Ann about the plan for Friday.\r\n"),
        QStringLiteral("Crème brûlée at the café on Main Street, table for six.\r\n"),
        QStringLiteral("Dentist moved to Tuesday; bring the insurance card and forms.\r\n"),
        QStringLiteral("Die Straße ist gesperrt, Umleitung über den Marktplatz.\r\n"),
    };
    for (int i = number; text.size() < 1000; ++i)
        text += lines[i % std::size(lines)];
    return text;
}

double medianMs(std::vector<qint64> nanoseconds)
{
    std::sort(nanoseconds.begin(), nanoseconds.end());
    return double(nanoseconds[nanoseconds.size() / 2]) / kNanosecondsPerMillisecond;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;

    QList<QString> texts;
    for (int i = 0; i < count; ++i)
        texts << noteText(i);
    QElapsedTimer clock;
    clock.start();
    QList<SearchableNote> notes;
    notes.reserve(count);
    for (const QString& text : texts)
        notes << SearchableNote{SearchableText(text), QStringLiteral("yellow"), {}};
    std::printf("made searchable: %d notes in %.1f ms\n", count,
                double(clock.nsecsElapsed()) / kNanosecondsPerMillisecond);

    const QString queries[] = {QStringLiteral("zebra"), QStringLiteral("Note %1").arg(count / 2),
                               QStringLiteral("CREME BRULEE")};
    for (const QString& query : queries) {
        std::vector<qint64> times;
        qsizetype found = 0;
        for (int run = 0; run < kRuns; ++run) {
            clock.restart();
            found = NoteSearch::search(notes, query).size();
            times.push_back(clock.nsecsElapsed());
        }
        std::printf("search %-16s %6lld matches, median of %d: %.1f ms\n",
                    qPrintable(QLatin1Char('"') + query.trimmed() + QLatin1Char('"')),
                    static_cast<long long>(found), kRuns, medianMs(times));
    }
    return 0;
}
