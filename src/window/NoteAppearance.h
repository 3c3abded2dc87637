#pragma once

#include "shell/AppError.h"
#include "window/NotePartHost.h"

#include <QString>
#include <Qt>
#include <memory>
#include <optional>

class CTranslucentForm;
class NoteMenuSet;
class NoteTextEdit;
class QWidget;
struct NoteRecord;

// What the appearance part may reach of its note window, and nothing more. The window is the
// one coloured, faded and kept on top.
class NoteAppearanceHost : public NotePartHost {
public:
    // The note's record, where its colours, translucency level and on-top state are kept.
    virtual NoteRecord& record() = 0;
    // The window's menus, where the colour, translucency and on-top items show the record.
    virtual NoteMenuSet& menus() = 0;
    // Something the note keeps changed.
    virtual void noteChanged() = 0;
};

// A note window's appearance: its background and text colour, the translucency it shows
// while it is not the active window, the stay-on-top band and the workspaces it shows on.
class NoteAppearance {
public:
    // The part keeps its way to the window for as long as it lives.
    explicit NoteAppearance(std::unique_ptr<NoteAppearanceHost> host);
    ~NoteAppearance();
    NoteAppearance(const NoteAppearance&) = delete;
    NoteAppearance& operator=(const NoteAppearance&) = delete;

    // The load step's part: the menus drawn from the record, and no Transparency menu where
    // fading cannot show.
    void setUp();

    // Colours the note by a colour text: a name of the eight (any case) or a decimal value.
    // A text that is neither fails, and the note keeps its colours.
    Result SetNoteColor(const QString& strColor, bool AllowForeColorChange);
    // A stored colour that names no colour leaves the note in the default one, logged.
    void applyStoredColor(const QString& color);
    // Colours the whole text (0x00BBGGRR) and keeps it as the note's text colour.
    void ChangeForeColor(qint32 colorValue);

    void mnuSetColor_Click(int Index);
    void mnuFontColors_Click();
    void mnuTransparent_Click(int Index);
    void mnuTop_Click();
    void mnuAllWorkspaces_Click();
    // A kept note's place on the desktop's workspaces, taken when the note is loaded.
    void applyStoredWorkspaces(bool onAll);
    // The window is about to be mapped: a note on every workspace says so to the window
    // manager, which forgets it whenever the window is hidden.
    void aboutToMap();

    // The note became the active window, or stopped being it.
    void Form_Activate();
    void Form_Deactivate();
    // The whole program came to the front or left it.
    void applicationStateChanged(Qt::ApplicationState state);
    // Present only while the note is drawn translucent.
    const CTranslucentForm* Translucency() const { return m_translucency.get(); }

    // Back in the on-top band after a dialog, when the note is set to stay there.
    void setOnTopFromRecord();

private:
    std::optional<qint32> askColor(); // the colour dialog on red; nothing when cancelled
    void showOnTopImage();
    void checkTransparencyMenu();

    std::unique_ptr<NoteAppearanceHost> m_host;
    std::unique_ptr<CTranslucentForm> m_translucency;
};
