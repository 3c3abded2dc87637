#pragma once

#include "shell/AppError.h"
#include "store/NoteRecord.h"
#include "store/modNote.h"
#include "window/NoteMenuSet.h"
#include "window/NoteMenus.h"
#include "window/NoteModel.h"

#include <QLine>
#include <QWidget>
#include <memory>
#include <optional>

class CaptionStrip;
class FrameLabel;
class NoteTextEdit;
class QLabel;
class QMenu;
class QAction;
class QTextEdit;
class NoteAppearance;
class NoteDrag;
class SpecialNoteEngine;
class NoteEditor;
class NoteHandoff;

// Where a note window's note comes from: it decides how the load step treats the window and
// what of the record the window takes.
enum class NoteOrigin {
    NewNote,      // blank: a fresh time stamp, size and place from the settings
    StoredRecord, // kept at logout or a further note of an opened file: loaded as a new note,
                  // then given the record's text, colour, size, place and file (as its tag)
    NoteFile,     // the first note of a file named at start: tied to record.FileName, and
                  // keeps the record's time stamp
    ManagerCopy,  // a note of a file shown from the manager: a copy on the desktop, tied to
                  // no file and naming none, that keeps the record's time stamp
    FolderNote,   // a note of the notes folder: keeps the record's time stamp and its id there,
                  // tied to no file, and opens without changes (the folder has it as it is)
};

// One note on the desktop: a frameless window that draws its own frame (the caption strip,
// the rich-text area, a separator, the subcaption and a resize grip) and reaches everything
// else through its popup menus.
class frmMain : public QWidget {
    Q_OBJECT

public:
    // Why a window closes: by the user, because the session is ending, or because its note
    // left the notes folder elsewhere (removed on another computer).
    enum class CloseReason { User, SessionEnding, Withdrawn };

    // Makes the window for a note and runs its load step; the caller shows it. Every note
    // window is made here.
    static frmMain* create(NoteOrigin origin, const NoteRecord& record = {});
    ~frmMain() override;

    // Every note window that is still open, oldest first.
    static QList<frmMain*> openWindows();
    // The program: end the process when the last note window has unloaded.
    static void setQuitWhenLastNoteCloses(bool quit);

    // The file the note is tied to, where Save writes; empty for a note that has none.
    QString NoteFileName() const { return m_Note.FileName; }
    // Changes to the note count as unsaved even when new notes are not saved on close.
    bool IsDirty() const { return m_Note.TracksChanges; }
    // The full path the "File: " subcaption shows.
    QString shownFile() const { return m_Note.ShownFile; }
    // True while the note has changes that are not saved; the caption's "*" shows it.
    bool isChanged() const { return m_Note.Changed; }

    NoteTextEdit* RTB1() const { return m_rtb; }
    QLabel* lblCaption() const;
    QLabel* lblSubCaption() const;
    // The note's text as stored: the held original while only its start shows.
    QString TextRTF() const;
    // A note too long for the text area shows its start, read-only, and is kept whole.
    void setTextRTF(const QString& rtf);
    // What a text area shows of a stored note too long for it: a notice and the note's start,
    // as plain text. None when the note fits, and the area takes it whole.
    static std::optional<QString> shownPart(const QString& rtf);
    // True while the text area shows only the start of a note it cannot hold.
    bool showsPart() const { return m_Note.HeldData.has_value(); }
    QString Text() const; // plain text, paragraphs joined by CR LF

    // The window's size and place in twips, set one at a time as the creators do.
    void setHeightTwips(int twips);
    void setWidthTwips(int twips);
    void setTopTwips(int twips);
    void setLeftTwips(int twips);
    // Height first, then width, so a window shrinking to the strip never lays out at the
    // strip's width and its old height.
    void setSizeTwips(int width, int height);
    // Left, top, width, height. A length set in twips reads back as set while the window
    // still has the pixel length it gave, so rounding to whole pixels never shows.
    QRect twipsGeometry() const;

    const NoteRecord& note() const { return m_Note; }
    // The note as the end of the session keeps it: the live text, place and subcaption, and
    // the full size even while minimised.
    NoteRecord recordAsKept() const;
    // Words as the subcaption last counted them.
    int WordCount() const { return m_wordCount; }

    // --- Lifecycle.
    // True when the note reached its file (or, for Append To, the other file).
    bool PerformSave(SaveKind kind);
    void OpenNoteFile();
    void NewNoteWindow();
    void SaveSettings();
    // Closes as at the end of the session: the note goes to the main data file, no prompt.
    void closeForSessionEnd();

    // --- The notes folder.
    // The note's name there; a conflict copy's caption says what it is.
    void setFolderId(const QString& id);
    // Takes the note's file in the notes folder as changed elsewhere: its text, colour, size,
    // place and time stamp, without counting as a change of this note.
    void takeFolderVersion(const NoteRecord& record);
    // Closes because the note was removed elsewhere: no prompt, not kept, not the user's close,
    // and never the end of the program, even as the last note.
    void closeWithdrawn();

    // --- Frame.
    void Form_Resize();
    void ToggleMinimize();
    void MinimizeNote();
    void RestoreNote();
    bool isMinimizedToStrip() const { return m_minimized; }
    // A note whose caption strip lies off every screen (a monitor was removed) moves onto the
    // nearest one; any other stays where it is.
    void placeOnReachableScreen();
    void mnuCaptionType_Click(CaptionKind kind);
    void lblSubCaption_DblClick();
    void RTB1_Change();
    void ShowNotImplemented();

    // --- Menu commands.
    void mnuAutoSave_Click();
    void mnuNewNoteSaveOnClose_Click();
    void mnuSaveSettings_Click();
    // The notes folder, asked about in boxes this note owns.
    void mnuNotesFolder_Click();
    void mnuSystemDefaultSize_Click();
    void mnuSystemReset_Click();

    // --- Editing: the edit, insert, font and paragraph commands, and dropped files.
    NoteEditor& editor() { return *m_editor; }
    // --- Printing, mail and spelling.
    NoteHandoff& handoff() { return *m_handoff; }

    // --- Special notes: the engine that draws the note as a live display.
    SpecialNoteEngine& specialNotes() { return *m_specialNotes; }

    // --- Appearance: colours, translucency and the stay-on-top band.
    NoteAppearance& appearance() { return *m_appearance; }

    // --- Manager and About (frmMain_about.cpp).
    void mnuMulitNote_Click();
    void mnuAbout_Click();
    void mnuUlmar_Click();

    // --- Menus.
    // Menus by their item names: menuItem(NoteMenus::mnuSave, 1) is "Save As". Both build the
    // menus when they are not built yet; the window itself only does so to show one.
    QAction* menuItem(const char* name, int index = -1) const;
    QMenu* menu(const char* name) const;
    // Runs what choosing the item does, as the keys do.
    void triggerMenuItem(const char* name, int index = -1);

signals:
    // Something the note keeps changed: its text, place, size, colour or kind.
    void noteChanged();
    // The user closed the note; it has left openWindows().
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    frmMain();

    // frmMain.cpp: load, fill and close.
    void load(NoteOrigin origin, const NoteRecord& record);
    void Form_Load(bool storedNote);
    void loadBuiltInDefaults(bool storedNote);
    void loadFromSettings(bool storedNote);
    void applyCaptionType();
    void fillFromRecord(NoteOrigin origin, const NoteRecord& record);
    // frmMain_editor.cpp: a note held whole while its start shows, or none.
    void hold(std::optional<QString> stored);
    bool Form_QueryUnload(CloseReason reason);
    bool saveChangesFirst();
    void reportWriteFailure(const modNote::WriteFailure& failure);
    bool openAllAnswered(qsizetype count);
    void refreshFromWindow(NoteRecord& record) const;
    void setChanged(bool changed);
    NoteRecord recordFromWindow() const;
    // Back in the on-top band after a dialog, when the note is set to stay there.
    void setOnTopFromRecord();

    // frmMain_frame.cpp: controls, layout, mouse.
    void buildControls();
    void connectControls();
    // Opens a menu at a point of the screen, the pointer's unless told.
    void popUp(const char* menuName, const QPoint& where);
    void popUp(const char* menuName);
    void popUpTextMenu(const QPoint& where);
    void showFileCaption();
    // The file the note shows as its own; the text area is named after it.
    void setShownFile(const QString& path);
    void showCaptionKind(CaptionKind kind);
    // The subcaption's kind, unless the number the note was given names none.
    std::optional<CaptionKind> captionKind() const;

    // frmMain_menus.cpp: menus and keys. The items' state, built menus or not.
    bool isItemChecked(const char* name, int index = -1) const;
    void setItemChecked(const char* name, int index, bool checked);
    void setItemEnabled(const char* name, int index, bool enabled);
    void setItemVisible(const char* name, int index, bool visible);
    // Flips a check mark the handler owns and answers the new state.
    bool toggleItem(const char* name, int index = -1);
    void handleKeyRelease(int key, Qt::KeyboardModifiers modifiers);

    NoteModel m_Note;
    bool m_minimized = false;
    int m_wordCount = 0;
    CloseReason m_closeReason = CloseReason::User;

    CaptionStrip* m_strip = nullptr;
    NoteTextEdit* m_rtb = nullptr;
    FrameLabel* m_subCaption = nullptr;
    FrameLabel* m_resize = nullptr;
    QLine m_line1; // separator above the subcaption, in pixels

    enum TwipsField { LeftField, TopField, WidthField, HeightField };
    void rememberTwips(TwipsField field, int twips);
    int twipsOf(TwipsField field, int pixels) const;
    int m_memoTwips[4] = {0, 0, 0, 0};
    int m_memoPixels[4] = {kNoMemo, kNoMemo, kNoMemo, kNoMemo};
    static constexpr int kNoMemo = -0x7fffffff;

    // --- Editing, printing, mail and spelling (frmMain_editor.cpp): the parts and the
    // window as they see it.
    class EditorHost;
    void setUpEditor();
    std::unique_ptr<NoteEditor> m_editor;
    std::unique_ptr<NoteHandoff> m_handoff;

    // --- Special notes (frmMain_special.cpp): the engine and the window as it sees it.
    class SpecialHost;
    void setUpSpecialNotes();
    std::unique_ptr<SpecialNoteEngine> m_specialNotes;
    // Counts and caption after a change of the text (frmMain_frame.cpp).
    void updateCountsAndCaption();
    void countWords();

    mutable NoteMenuSet m_menus{this}; // built on first need, even from a const lookup

    // --- Appearance and dragging: the parts and the window as they see it.
    class AppearanceHost;
    void changeEvent(QEvent* event) override;
    std::unique_ptr<NoteAppearance> m_appearance;
    NoteDrag* m_drag = nullptr; // a child of the window
};
