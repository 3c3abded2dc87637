#pragma once

class NoteTextEdit;
class QWidget;

// What every part of a note window may reach of it: the window itself and its text area. Each
// part's own host adds the few things more that the part needs, and nothing else.
class NotePartHost {
public:
    virtual ~NotePartHost() = default;

    // The window itself: the owner of the part's dialogs and boxes.
    virtual QWidget* noteWindow() = 0;
    virtual NoteTextEdit* textArea() = 0;
};
