#include "dialogs/frmInputBoxDT.h"

#include "dialogs/DialogSeam.h"
#include "dialogs/ModalBox.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {
// Both buttons keep the time: the prompt has no answer that takes a reminder away.
enum class Answer { Closed, Button };

class TimeDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(frmInputBoxDT)

public:
    TimeDialog(const QString& prompt, const QString& title, QTime start, QWidget* owner)
        : QDialog(owner)
    {
        setWindowTitle(title.isEmpty() ? QGuiApplication::applicationDisplayName() : title);
        auto* lblPrompt = new QLabel(prompt, this);
        lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
        lblPrompt->setWordWrap(true);
        m_time = new QTimeEdit(start, this);
        m_time->setObjectName(QStringLiteral("dtTime"));
        m_time->setDisplayFormat(QStringLiteral("hh:mm:ss AP"));
        auto* ok = new QPushButton(tr("&Ok"), this);
        ok->setObjectName(QStringLiteral("cmdOk"));
        ok->setDefault(true);
        auto* cancel = new QPushButton(tr("&Cancel"), this);
        cancel->setObjectName(QStringLiteral("cmdCancel"));
        connect(ok, &QPushButton::clicked, this, [this] { answer(); });
        connect(cancel, &QPushButton::clicked, this, [this] { answer(); });

        auto* buttons = new QVBoxLayout;
        buttons->addWidget(ok);
        buttons->addWidget(cancel);
        buttons->addStretch();
        auto* fields = new QVBoxLayout;
        fields->addWidget(lblPrompt);
        fields->addWidget(m_time);
        fields->addStretch();
        auto* layout = new QHBoxLayout(this);
        layout->addLayout(fields, 1);
        layout->addLayout(buttons);
        setMinimumWidth(320);
    }

    std::optional<QTime> result() const
    {
        if (m_answer == Answer::Closed)
            return std::nullopt;
        return m_time->time();
    }

private:
    void answer()
    {
        m_answer = Answer::Button;
        accept();
    }

    QTimeEdit* m_time = nullptr;
    Answer m_answer = Answer::Closed;
};
} // namespace

std::optional<QTime> frmInputBoxDT::InputBoxEX(const QString& prompt, const QString& title,
                                               const QTime& start, QWidget* owner)
{
    const DialogSeam::Request request{DialogSeam::Kind::TimeInput, title, prompt, {}, owner};
    if (const auto answer = DialogSeam::takeTimeInput(request))
        return *answer;
    ModalBox<TimeDialog> dialog(
        new TimeDialog(prompt, title, QTime(start.hour(), start.minute(), start.second()), owner));
    dialog.exec();
    return dialog ? dialog->result() : std::nullopt;
}
