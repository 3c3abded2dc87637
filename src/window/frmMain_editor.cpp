#include "richtext/LiveText.h"
#include "richtext/RichText.h"
#include "window/NoteEditor.h"
#include "window/NoteHandoff.h"
#include "window/NoteTextEdit.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QTextDocument>

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

namespace {
// How much of a held note shows: enough to tell the note by, and far enough below the limit
// that the window answers at once while it lays the text out (bench_livetext).
constexpr LiveText::Size kShownStart{2000, 50000};

// Above the start of a note the text area cannot hold.
QString partNotice()
{
    return frmMain::tr("This note is longer than a note can show (%1), so only its start is "
                       "shown below and it cannot be changed here. The whole note is kept "
                       "as it was: \"jottex-cli cat\" with the note's file shows all of it.")
        .arg(LiveText::limitText());
}
} // namespace

std::optional<QString> frmMain::shownPart(const QString& rtf)
{
    const QString notice = partNotice() + QLatin1String("\n\n");
    const std::optional<QString> start =
        LiveText::startIfTooLong(rtf, kShownStart - LiveText::sizeOf(notice));
    if (!start)
        return std::nullopt;
    return notice + *start;
}

void frmMain::setTextRTF(const QString& rtf)
{
    const std::optional<QString> part = shownPart(rtf);
    if (!part) {
        hold(std::nullopt);
        RichText::setTextRTF(m_rtb, rtf);
        return;
    }
    hold(rtf);
    m_rtb->document()->setPlainText(*part);
    m_rtb->moveCursor(QTextCursor::Start); // the notice first
}

void frmMain::hold(std::optional<QString> stored)
{
    const bool wasHeld = m_Note.HeldData.has_value();
    m_Note.HeldData = std::move(stored);
    const bool held = m_Note.HeldData.has_value();
    // A special note would write over the start shown; it stops as Stop Special Note stops it.
    if (held && m_specialNotes->kind() != SpecialNoteKind::None)
        m_specialNotes->stopByUser();
    if (held || wasHeld)
        m_rtb->setReadOnly(held);
    if (held != wasHeld)
        m_menus.setTextItemsEnabled(!held);
}
