#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class QTextDocument;
class QWidget;

// Spell checking over Enchant: the dictionary of the user's language (en_US when it has none),
// the main word list that extends it and the personal word list that Add writes (both one word
// a line, UTF-8). Changes are made in place in the document, so untouched text keeps its
// formatting.
class SpellChecker {
public:
    SpellChecker();
    ~SpellChecker();
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;

    void setMainDictionary(const QString& path);
    void setCustomDictionary(const QString& path);

    // Opens the language's dictionary. False when no dictionary is installed.
    bool open();
    QString language() const { return m_language; }

    // Asks about each unknown word of the document between from and to, the dialog owned by
    // owner; the answers are carried out there and then. Cancel keeps what was changed.
    void CheckWindow(QTextDocument* document, int from, int to, QWidget* owner);
    // Words changed by the last check.
    int ResultCount() const { return m_resultCount; }

    bool isCorrect(const QString& word) const;
    QStringList suggestions(const QString& word) const;
    // Adds the word to the personal word list. False when the list could not be written.
    bool add(const QString& word);
    // The unknown words of a text, without asking.
    int countMisspellings(const QString& text) const;

private:
    struct Enchant;
    std::unique_ptr<Enchant> m_enchant;
    QString m_mainPath;
    QString m_customPath;
    QString m_language;
    QSet<QString> m_wordLists;
    int m_resultCount = 0;
};
