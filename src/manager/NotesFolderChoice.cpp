#include "manager/NotesFolderChoice.h"

#include "dialogs/DialogSeam.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ModalBox.h"
#include "dialogs/clsCommonDialog.h"
#include "manager/FolderNotes.h"
#include "shell/AppError.h"
#include "shell/ErrorLog.h"
#include "store/NotesFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <array>

namespace {
const QString kContext = QStringLiteral("NotesFolderChoice: use");

QString title()
{
    return QCoreApplication::translate("NotesFolderChoice", "Notes Folder");
}

// What the box about a folder in use offers, each on a button of its own words.
enum class FolderAction { ChooseAnother, StopUsing, Cancel };
struct ActionButton {
    FolderAction action;
    QMessageBox::StandardButton button;
    const char* caption; // null: the button's own
};
constexpr std::array kActionButtons{
    ActionButton{FolderAction::ChooseAnother, QMessageBox::Yes,
                 QT_TRANSLATE_NOOP("NotesFolderChoice", "&Choose Another Folder...")},
    ActionButton{FolderAction::StopUsing, QMessageBox::No,
                 QT_TRANSLATE_NOOP("NotesFolderChoice", "&Stop Using It")},
    ActionButton{FolderAction::Cancel, QMessageBox::Cancel, nullptr},
};

FolderAction actionOf(QMessageBox::StandardButton button)
{
    for (const ActionButton& row : kActionButtons) {
        if (row.button == button)
            return row.action;
    }
    return FolderAction::Cancel;
}

// The box that names the folder in use; a box closed in any other way cancels.
FolderAction askAboutFolderInUse(QWidget* owner, const QString& folder)
{
    const QString text =
        QCoreApplication::translate("NotesFolderChoice",
                                    "Every open note is kept as a file in the notes folder %1. "
                                    "Choose another folder, or stop using this one?")
            .arg(QDir::toNativeSeparators(folder));
    if (const auto answer =
            DialogSeam::takeMessageBox({DialogSeam::Kind::MessageBox, title(), text, {}, owner}))
        return actionOf(*answer);
    QMessageBox::StandardButtons buttons;
    for (const ActionButton& row : kActionButtons)
        buttons |= row.button;
    ModalBox<QMessageBox> box(
        new QMessageBox(QMessageBox::Question, title(), text, buttons, owner));
    for (const ActionButton& row : kActionButtons) {
        if (!row.caption)
            continue;
        QAbstractButton* button = box->button(row.button);
        // Not the yes and no marks of the buttons these stand on.
        button->setIcon(QIcon());
        button->setText(QCoreApplication::translate("NotesFolderChoice", row.caption));
    }
    box->setDefaultButton(QMessageBox::Cancel);
    box->setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    return box ? actionOf(static_cast<QMessageBox::StandardButton>(answer)) : FolderAction::Cancel;
}

// The folder the user picks, starting in start; empty when cancelled.
QString chooseFolder(QWidget* owner, const QString& start)
{
    clsCommonDialog dialog;
    dialog.setOwnerHandle(owner);
    dialog.setDialogTitle(
        QCoreApplication::translate("NotesFolderChoice", "Choose the Notes Folder"));
    dialog.setInitDir(start.isEmpty() ? QDir::homePath() : start);
    return dialog.Browse() != 0 ? dialog.path() : QString();
}

// A folder chosen anew must take files now: one that cannot is refused, rather than taken into
// use in an outage from its first moment. None at all always can be chosen.
Result takesFiles(const QString& folder)
{
    return folder.isEmpty() ? Result() : NotesFolder::adopt(folder);
}

void chooseAndSwitch(QWidget* owner, const QString& current)
{
    const QString chosen = chooseFolder(owner, current);
    if (!chosen.isEmpty() && chosen != current)
        (void)NotesFolderChoice::switchTo(owner, chosen);
}
} // namespace

void NotesFolderChoice::ask(QWidget* owner)
{
    static bool asking = false;
    if (asking)
        return;
    asking = true;
    const auto done = qScopeGuard([] { asking = false; });
    // The boxes hold the note that asked while they show; it may close meanwhile all the same.
    const QPointer<QWidget> asker(owner);
    const QString current = FolderNotes::folder();
    if (current.isEmpty()) {
        chooseAndSwitch(asker, current);
        return;
    }
    switch (askAboutFolderInUse(asker, current)) {
    case FolderAction::ChooseAnother:
        chooseAndSwitch(asker, current);
        return;
    case FolderAction::StopUsing:
        (void)switchTo(asker, QString());
        return;
    case FolderAction::Cancel:
        return;
    }
}

bool NotesFolderChoice::switchTo(QWidget* owner, const QString& folder)
{
    Result used = takesFiles(folder);
    if (used.ok())
        used = FolderNotes::use(folder);
    if (used.ok())
        return true;
    modMain::WriteLogEntry(kContext, used.error());
    tellFailure(owner, folder, used.error());
    return false;
}

Result NotesFolderChoice::storeForStart(const QString& folder)
{
    Result stored = takesFiles(folder);
    if (stored.ok())
        stored = NotesFolder::configure(folder);
    if (stored.failed())
        modMain::WriteLogEntry(kContext, stored.error());
    return stored;
}

void NotesFolderChoice::tellFailure(QWidget* owner, const QString& folder, const AppError& error)
{
    const QString text =
        folder.isEmpty()
            ? QCoreApplication::translate("NotesFolderChoice",
                                          "Jottex could not stop using the notes folder: %1.")
                  .arg(error.reason())
            : QCoreApplication::translate("NotesFolderChoice",
                                          "Jottex cannot keep the notes in the folder %1: %2.")
                  .arg(QDir::toNativeSeparators(folder), error.reason());
    MessageBox::show(owner, QMessageBox::Warning, title(), text, QMessageBox::Ok);
}
