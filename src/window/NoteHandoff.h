#pragma once

#include "window/NotePartHost.h"

#include <memory>

// What handing the note to other software needs of its window, and nothing more.
class NoteHandoffHost : public NotePartHost {
public:
    // Back on top after a dialog, when the note is set to stay there.
    virtual void putBackOnTop() = 0;
};

// The note handed to other software: the printer, the mail program and the spelling checker.
// Each dialog runs with the note out of the stay-on-top band, so that it shows above it.
class NoteHandoff {
public:
    explicit NoteHandoff(std::unique_ptr<NoteHandoffHost> host);
    ~NoteHandoff();
    NoteHandoff(const NoteHandoff&) = delete;
    NoteHandoff& operator=(const NoteHandoff&) = delete;

    // Prints the note with one-inch margins after the printer dialog.
    void PrintNote();
    void mnuPrint_Click();
    // Mails the selection, or the whole note when nothing is selected.
    void EmailNote();
    // Checks the selection, or the whole note; the completion box follows in every case.
    void CheckSpelling();

private:
    std::unique_ptr<NoteHandoffHost> m_host;
};
