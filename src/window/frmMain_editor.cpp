#include "window/NoteEditor.h"
#include "window/NoteHandoff.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

// The editor's and the handoff's way into their window: the few things of the note they may
// read and change, and nothing else.
class frmMain::EditorHost final : public NoteEditorHost {
public:
    explicit EditorHost(frmMain& window) : m_window(window) {}

    QWidget* noteWindow() override { return &m_window; }
    NoteTextEdit* textArea() override { return m_window.m_rtb; }
    void putBackOnTop() override { m_window.setOnTopFromRecord(); }
    NoteModel& note() override { return m_window.m_Note; }
    NoteMenuSet& menus() override { return m_window.m_menus; }
    void resetSpecialNote() override { m_window.m_specialNotes->reset(); }

private:
    frmMain& m_window;
};

void frmMain::setUpEditor()
{
    m_editor = std::make_unique<NoteEditor>(std::make_unique<EditorHost>(*this));
    m_handoff = std::make_unique<NoteHandoff>(std::make_unique<EditorHost>(*this));
}
