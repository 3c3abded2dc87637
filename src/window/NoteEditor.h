#pragma once

#include "window/NoteHandoff.h"

#include <QObject>
#include <memory>

class NoteMenuSet;
class NoteTextEdit;
class QFont;
class QTextEdit;
struct NoteModel;

// What the editor may reach of its note window: the text area, the window as the owner of
// its dialogs, the note's model, the menus' check marks and the special-note engine's reset.
class NoteEditorHost : public NoteHandoffHost {
public:
    // The record's font size and on-top flag, and whether changes to the text count.
    virtual NoteModel& note() = 0;
    virtual NoteMenuSet& menus() = 0;
    // The note stops being special; its text stays.
    virtual void resetSpecialNote() = 0;
};

// The editing commands of a note window: the edit items, Insert Special, the font and
// paragraph items of the main menu and the selection menu, Font Family, and a file dropped
// on the text.
class NoteEditor : public QObject {
    Q_OBJECT

public:
    // Takes the files dropped on the host's text area from now on.
    explicit NoteEditor(std::unique_ptr<NoteEditorHost> host);
    ~NoteEditor() override;
    NoteEditor(const NoteEditor&) = delete;
    NoteEditor& operator=(const NoteEditor&) = delete;

    void mnuEdit_Click(int Index); // Paste, Paste Plain Text, Undo, Clear All
    void pastePlainText();
    void mnuInsert_Click(int Index);
    void mnuInsertDateTime_Click(int Index);

    // The main menu's items act on the typing and the whole note, and keep their own check
    // marks.
    void mnuFontNormal_Click();
    void mnuFontItalic_Click();
    void mnuFontUnderline_Click();
    void mnuFontBold_Click();
    void mnuFontSize_Click(int Index);
    void mnuAlignment_Click(int Index);
    void mnuBullets_Click(int Index);
    void mnuIndent_Click(int Index);
    void mnuFontFamily_Click();
    // Checks the Size item of the point size, or none when no item has it.
    void CheckFontSizeMenu(int size);

    // The selection menu's items act on the selection.
    void mnuStrikeOut_Click(int Index);
    void mnuSelectEdit_Click(int Index);
    void mnuSelectFontSize_Click(int Index);
    void mnuSelectStyle_Click(int Index);
    void mnuRemoveFormat_Click();
    void mnuSelectAlignment_Click(int Index);
    void mnuSelectBullet_Click(int Index);
    void mnuSelectIndent_Click(int Index);

    // Files dropped on the text area: the first one replaces the text, or is put in where it
    // was dropped when it holds a picture.
    void RTB1_OLEDragDrop(const QStringList& files);
    // The key last pressed in the text area, 0 once a key is released.
    int LastKeyDown() const;

private:
    NoteTextEdit* textArea() const { return m_host->textArea(); }
    void toggleStyleItem(const char* item, void (*apply)(QTextEdit*, bool));
    void setControlFont(const QFont& font);
    // Undo, which does nothing while a special note's text is locked: it is the program's.
    void undo();
    void refuseDroppedFile(const QString& path, const QString& reason);
    // A message box above the note, which leaves the topmost band while it shows.
    void inform(const QString& message);
    // Said when a paste would make the note longer than it can show.
    void refusePaste();
    // Said when a pasted picture is over the picture limits.
    void refusePicture();
    // A dropped file that holds a picture: put in where it was dropped. False when the file
    // is no picture after all, and is to be read as text.
    bool dropPicture(const QString& path, const QByteArray& bytes);

    std::unique_ptr<NoteEditorHost> m_host;
};
