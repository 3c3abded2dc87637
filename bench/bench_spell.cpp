// Spell-checks a note of 10,000 words without the dialog (the unknown words are only counted)
// and prints the time.
// Usage: bench_spell [words]   (10000 by default)
#include "window/SpellChecker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int words = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 10000;
    // Mostly correct English, one word in twenty misspelt.
    const QStringList correct{"the",     "quick", "brown", "fox",   "jumps",    "over",
                              "lazy",    "dog",   "while", "notes", "remember", "every",
                              "meeting", "color", "paper", "print", "window",   "desktop"};
    const QStringList wrong{"teh", "quikc", "nootes", "rememebr", "windwo"};
    QStringList text;
    for (int i = 0; i < words; ++i)
        text << (i % 20 == 19 ? wrong.at(i % wrong.size()) : correct.at(i % correct.size()));
    const QString note = text.join(QLatin1Char(' '));

    QElapsedTimer timer;
    timer.start();
    SpellChecker checker;
    if (!checker.open()) {
        std::printf("spell: no dictionary installed\n");
        return 1;
    }
    const qint64 opened = timer.elapsed();
    const int unknown = checker.countMisspellings(note);
    const qint64 elapsed = timer.elapsed() - opened;
    std::printf("spell: %d words (%s), %d unknown, checked in %lld ms after %lld ms opening the "
                "dictionary\n",
                words, qPrintable(checker.language()), unknown, static_cast<long long>(elapsed),
                static_cast<long long>(opened));
    return 0;
}
