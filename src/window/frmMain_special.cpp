#include "window/CaptionStrip.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

// The special-note engine's way into its window: the few things of the note it may read and
// change, and nothing else.
class frmMain::SpecialHost final : public SpecialNoteHost {
public:
    explicit SpecialHost(frmMain& window) : m_window(window) {}

    QWidget* noteWindow() override { return &m_window; }
    NoteTextEdit* textArea() override { return m_window.m_rtb; }
    NoteRecord& record() override { return m_window.m_Note; }
    void showCaptionIcon(CaptionStrip::Icon icon) override { m_window.m_strip->showIcon(icon); }
    void setSaveItemsEnabled(bool enabled) override
    {
        for (SaveKind kind : {SaveKind::Save, SaveKind::SaveAs})
            m_window.setItemEnabled(NoteMenus::mnuSave, static_cast<int>(kind), enabled);
    }
    void setDirty() override { m_window.m_Note.TracksChanges = true; }
    void showChangedState() override { m_window.setChanged(m_window.m_Note.Changed); }
    void specialTextWritten() override { m_window.updateCountsAndCaption(); }
    void noteChanged() override { emit m_window.noteChanged(); }
    void restoreFromStrip() override { m_window.RestoreNote(); }
    void putBackOnTop() override { m_window.setOnTopFromRecord(); }

private:
    frmMain& m_window;
};

void frmMain::setUpSpecialNotes()
{
    m_specialNotes = std::make_unique<SpecialNoteEngine>(std::make_unique<SpecialHost>(*this));
}
