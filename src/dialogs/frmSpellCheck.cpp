#include "dialogs/frmSpellCheck.h"

#include "dialogs/ModalBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <array>

namespace {
using Action = DialogSeam::SpellAction;
// Heights of the paragraph and the suggestion list, in lines of text.
constexpr int kContextRows = 4;
constexpr int kSuggestionRows = 7;

struct Button {
    const char* caption;
    const char* objectName;
    Action action;
};
// Top to bottom, as the column beside the word shows them.
const std::array<Button, 6> kButtons{{
    {QT_TRANSLATE_NOOP("frmSpellCheck", "&Ignore"), "cmdIgnore", Action::Ignore},
    {QT_TRANSLATE_NOOP("frmSpellCheck", "I&gnore All"), "cmdIgnoreAll", Action::IgnoreAll},
    {QT_TRANSLATE_NOOP("frmSpellCheck", "&Add"), "cmdAdd", Action::Add},
    {QT_TRANSLATE_NOOP("frmSpellCheck", "&Change"), "cmdChange", Action::Change},
    {QT_TRANSLATE_NOOP("frmSpellCheck", "Change A&ll"), "cmdChangeAll", Action::ChangeAll},
    {QT_TRANSLATE_NOOP("frmSpellCheck", "Cancel"), "cmdCancel", Action::Cancel},
}};

QString highlighted(const QString& paragraph, int start, int length)
{
    return paragraph.left(start).toHtmlEscaped() +
           QStringLiteral("<span style=\"color:#c00000; font-weight:bold\">") +
           paragraph.mid(start, length).toHtmlEscaped() + QStringLiteral("</span>") +
           paragraph.mid(start + length).toHtmlEscaped();
}
} // namespace

frmSpellCheck::frmSpellCheck(const QString& word, const QString& paragraph, int wordStart,
                             const QStringList& suggestions, QWidget* owner)
    : QDialog(owner)
{
    setWindowTitle(title());
    setModal(true);
    auto* grid = new QGridLayout(this);

    grid->addWidget(new QLabel(tr("Not in dictionary:"), this), 0, 0);
    m_context = new QTextBrowser(this);
    m_context->setObjectName(QStringLiteral("txtContext"));
    m_context->setHtml(highlighted(paragraph, wordStart, static_cast<int>(word.size())));
    m_context->setMaximumHeight(fontMetrics().lineSpacing() * kContextRows);
    grid->addWidget(m_context, 1, 0);

    m_changeTo = new QLineEdit(suggestions.isEmpty() ? word : suggestions.first(), this);
    m_changeTo->setObjectName(QStringLiteral("txtChangeTo"));
    auto* changeLabel = new QLabel(tr("Change &to:"), this);
    changeLabel->setBuddy(m_changeTo);
    grid->addWidget(changeLabel, 2, 0);
    grid->addWidget(m_changeTo, 3, 0);

    m_suggestions = new QListWidget(this);
    m_suggestions->setObjectName(QStringLiteral("lstSuggestions"));
    m_suggestions->setMaximumHeight(fontMetrics().lineSpacing() * kSuggestionRows);
    auto* suggestionsLabel = new QLabel(tr("&Suggestions:"), this);
    suggestionsLabel->setBuddy(m_suggestions);
    grid->addWidget(suggestionsLabel, 4, 0);
    m_suggestions->addItems(suggestions);
    if (!suggestions.isEmpty())
        m_suggestions->setCurrentRow(0);
    grid->addWidget(m_suggestions, 5, 0);
    connect(m_suggestions, &QListWidget::currentTextChanged, m_changeTo, &QLineEdit::setText);
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this,
            [this] { finish(Action::Change); });

    auto* column = new QVBoxLayout;
    for (const Button& button : kButtons) {
        auto* push = new QPushButton(tr(button.caption), this);
        push->setObjectName(QString::fromLatin1(button.objectName));
        push->setAutoDefault(false);
        if (button.action == Action::Change)
            push->setDefault(true);
        const Action action = button.action;
        connect(push, &QPushButton::clicked, this, [this, action] { finish(action); });
        column->addWidget(push);
    }
    column->addStretch();
    grid->addLayout(column, 1, 1, 5, 1);
}

QString frmSpellCheck::title()
{
    return tr("Check Spelling");
}

void frmSpellCheck::finish(DialogSeam::SpellAction action)
{
    m_answer = {action, m_changeTo->text()};
    if (action == Action::Cancel)
        reject();
    else
        accept();
}

DialogSeam::SpellAnswer frmSpellCheck::Ask(const QString& word, const QString& paragraph,
                                           int wordStart, const QStringList& suggestions,
                                           QWidget* owner)
{
    if (auto answer = DialogSeam::takeSpellDialog(
            {DialogSeam::Kind::Spelling, title(), word, paragraph, owner}))
        return *answer;
    ModalBox<frmSpellCheck> dialog(
        new frmSpellCheck(word, paragraph, wordStart, suggestions, owner));
    dialog.exec(); // closing the window is a cancel: the answer starts as one
    return dialog ? dialog->answer() : DialogSeam::SpellAnswer{};
}
