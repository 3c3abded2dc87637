#pragma once

#include <QDialog>
#include <QPointer>

namespace ModalRun {
// Shows the dialog modally and returns its result, QDialog::Rejected when it went while it
// ran. Meanwhile every object above it (its parent, that one's window, the window owning that
// one, ...) is held: a close still closes it, a timer's or the end of the session's, but its
// deletion (deleteLater, a window's delete-on-close) waits until the box has returned, so the
// code that opened the box always returns into a live object. The box is above every other
// window of the program while it shows (WindowBand).
int exec(QDialog* dialog);
} // namespace ModalRun

// One modal showing of a dialog made with new for it: every box of the program runs this way,
// never on the stack of a window that something else may delete. The dialog goes with this
// object, or earlier with its parent.
template <typename Dialog> class ModalBox {
public:
    explicit ModalBox(Dialog* dialog) : m_dialog(dialog) {}
    ~ModalBox() { delete m_dialog.data(); }
    ModalBox(const ModalBox&) = delete;
    ModalBox& operator=(const ModalBox&) = delete;
    ModalBox(ModalBox&&) = delete;
    ModalBox& operator=(ModalBox&&) = delete;

    int exec() { return ModalRun::exec(m_dialog); }

    // The dialog; null once it is gone. An accepted dialog is always still there.
    Dialog* get() const { return m_dialog.data(); }
    Dialog* operator->() const { return m_dialog.data(); }
    explicit operator bool() const { return !m_dialog.isNull(); }

private:
    QPointer<Dialog> m_dialog;
};
