#include "window/SpellChecker.h"

#include "dialogs/frmSpellCheck.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <enchant.h>

namespace {
const char kFallbackLanguage[] = "en_US";

// A word: letters, with apostrophes inside ("don't").
const QRegularExpression& wordPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("[\\p{L}\\p{M}]+(?:['\\x{2019}][\\p{L}\\p{M}]+)*"));
    return pattern;
}

QStringList readWordList(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.exists() || !file.open(QIODevice::ReadOnly))
        return {};
    QStringList words;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString word = QString::fromUtf8(line).trimmed();
        if (!word.isEmpty())
            words << word;
    }
    return words;
}

// Replaces the characters in the format of the first one, so the word keeps its look.
void replaceInPlace(QTextDocument* document, int start, int length, const QString& replacement)
{
    QTextCursor probe(document);
    probe.setPosition(start + 1);
    const QTextCharFormat format = probe.charFormat();
    QTextCursor cursor(document);
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    cursor.insertText(replacement, format);
}
} // namespace

struct SpellChecker::Enchant {
    EnchantBroker* broker = enchant_broker_init();
    EnchantDict* dictionary = nullptr;
    ~Enchant()
    {
        if (dictionary)
            enchant_broker_free_dict(broker, dictionary);
        enchant_broker_free(broker);
    }
    Enchant() = default;
    Enchant(const Enchant&) = delete;
    Enchant& operator=(const Enchant&) = delete;
};

SpellChecker::SpellChecker() = default;
SpellChecker::~SpellChecker() = default;

void SpellChecker::setMainDictionary(const QString& path)
{
    m_mainPath = path;
}

void SpellChecker::setCustomDictionary(const QString& path)
{
    m_customPath = path;
}

bool SpellChecker::open()
{
    m_enchant = std::make_unique<Enchant>();
    if (!m_enchant->broker)
        return false;
    QByteArray tag = QLocale::system().name().toUtf8();
    if (!enchant_broker_dict_exists(m_enchant->broker, tag.constData()))
        tag = kFallbackLanguage;
    m_enchant->dictionary = enchant_broker_request_dict(m_enchant->broker, tag.constData());
    if (!m_enchant->dictionary)
        return false;
    m_language = QString::fromUtf8(tag);
    const QStringList words = readWordList(m_mainPath) + readWordList(m_customPath);
    m_wordLists = QSet<QString>(words.begin(), words.end());
    return true;
}

bool SpellChecker::isCorrect(const QString& word) const
{
    if (m_wordLists.contains(word) || m_wordLists.contains(word.toLower()))
        return true;
    if (!m_enchant || !m_enchant->dictionary)
        return true;
    const QByteArray utf8 = word.toUtf8();
    return enchant_dict_check(m_enchant->dictionary, utf8.constData(), utf8.size()) == 0;
}

QStringList SpellChecker::suggestions(const QString& word) const
{
    if (!m_enchant || !m_enchant->dictionary)
        return {};
    const QByteArray utf8 = word.toUtf8();
    size_t count = 0;
    char** list =
        enchant_dict_suggest(m_enchant->dictionary, utf8.constData(), utf8.size(), &count);
    QStringList result;
    for (size_t i = 0; list && i < count; ++i)
        result << QString::fromUtf8(
            list[i]); // NOLINT(cppcoreguidelines-pro-bounds-pointer-arithmetic)
    if (list)
        enchant_dict_free_string_list(m_enchant->dictionary, list);
    return result;
}

bool SpellChecker::add(const QString& word)
{
    m_wordLists.insert(word);
    QFile file(m_customPath);
    if (!file.open(QIODevice::Append))
        return false;
    const QByteArray line = word.toUtf8() + '\n';
    return file.write(line) == line.size() && file.flush();
}

int SpellChecker::countMisspellings(const QString& text) const
{
    int count = 0;
    for (auto it = wordPattern().globalMatch(text); it.hasNext();) {
        if (!isCorrect(it.next().captured()))
            ++count;
    }
    return count;
}

void SpellChecker::CheckWindow(QTextDocument* document, int from, int to, QWidget* owner)
{
    m_resultCount = 0;
    if (!document)
        return;
    // Follows the end of the range while words before it change length.
    QTextCursor end(document);
    end.setPosition(qBound(0, to, document->characterCount() - 1));
    QSet<QString> ignored;
    QHash<QString, QString> changeAll;
    QTextCursor edit(document);
    edit.beginEditBlock();
    for (QTextBlock block = document->findBlock(from);
         block.isValid() && block.position() <= end.position(); block = block.next()) {
        qsizetype offset = qMax(0, from - block.position());
        for (;;) {
            const QString text = block.text();
            const QRegularExpressionMatch match = wordPattern().match(text, offset);
            if (!match.hasMatch())
                break;
            const int start = block.position() + static_cast<int>(match.capturedStart());
            const QString word = match.captured();
            if (start + word.size() > end.position())
                break;
            offset = match.capturedEnd();
            if (ignored.contains(word) || isCorrect(word))
                continue;
            QString replacement = changeAll.value(word);
            if (replacement.isNull()) {
                const DialogSeam::SpellAnswer answer = frmSpellCheck::Ask(
                    word, text, static_cast<int>(match.capturedStart()), suggestions(word), owner);
                switch (answer.action) {
                case DialogSeam::SpellAction::Ignore:
                    continue;
                case DialogSeam::SpellAction::IgnoreAll:
                    ignored.insert(word);
                    continue;
                case DialogSeam::SpellAction::Add:
                    add(word);
                    continue;
                case DialogSeam::SpellAction::ChangeAll:
                    changeAll.insert(word, answer.replacement);
                    break;
                case DialogSeam::SpellAction::Change:
                    break;
                case DialogSeam::SpellAction::Cancel:
                    edit.endEditBlock();
                    return;
                }
                replacement = answer.replacement;
            }
            if (replacement == word)
                continue;
            replaceInPlace(document, start, static_cast<int>(word.size()), replacement);
            ++m_resultCount;
            offset = match.capturedStart() + replacement.size();
        }
    }
    edit.endEditBlock();
}
