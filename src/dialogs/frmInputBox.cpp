#include "dialogs/frmInputBox.h"

#include "dialogs/DialogSeam.h"
#include "dialogs/ModalBox.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Wide enough that the program's prompts fit on one line; longer ones wrap.
constexpr int kPromptWidth = 320;

// The prompt over the text box, "&Ok" and "&Cancel" below them.
class InputDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(frmInputBox)

public:
    InputDialog(const QString& prompt, const QString& title, const QString& defaultText,
                QWidget* owner)
        : QDialog(owner)
    {
        setWindowTitle(title);
        auto* lblPrompt = new QLabel(prompt, this);
        lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
        lblPrompt->setWordWrap(true);
        lblPrompt->setMinimumWidth(kPromptWidth);
        m_txtInput = new QLineEdit(defaultText, this);
        m_txtInput->setObjectName(QStringLiteral("txtInput"));
        lblPrompt->setBuddy(m_txtInput);
        auto* buttons = new QDialogButtonBox(this);
        QPushButton* cmdOk = buttons->addButton(tr("&Ok"), QDialogButtonBox::AcceptRole);
        cmdOk->setObjectName(QStringLiteral("cmdOk"));
        cmdOk->setDefault(true);
        buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole)
            ->setObjectName(QStringLiteral("cmdCancel"));
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

        auto* layout = new QVBoxLayout(this);
        layout->addWidget(lblPrompt);
        layout->addWidget(m_txtInput);
        layout->addWidget(buttons);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        m_txtInput->selectAll();
        m_txtInput->setFocus();
    }

    QString text() const { return m_txtInput->text(); }

private:
    QLineEdit* m_txtInput = nullptr;
};
} // namespace

QString frmInputBox::InputBoxEX(const QString& prompt, const QString& title,
                                const QString& defaultText, QWidget* owner)
{
    const QString windowTitle = title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
    if (auto answer =
            DialogSeam::takeInputBox({DialogSeam::Kind::InputBox, windowTitle, prompt, {}, owner}))
        return *answer;
    ModalBox<InputDialog> dialog(new InputDialog(prompt, windowTitle, defaultText, owner));
    return dialog.exec() == QDialog::Accepted ? dialog->text() : QString();
}
