#pragma once

#include "richtext/LiveText.h"
#include "shell/AppError.h"
#include "special/modSpecialNote.h"
#include "window/CaptionStrip.h"
#include "window/NoteMenus.h"
#include "window/NotePartHost.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

class BackgroundTask;
class NoteTextEdit;
class QTextDocument;
class QWidget;
class cClipboardViewer;
class cCustomClipboard;
class clsRSS;
class clsStockQuote;
struct NoteRecord;

// What the special-note engine may reach of its note window, and nothing more. The window is
// the prompts' parent and the clipboard's owner.
class SpecialNoteHost : public NotePartHost {
public:
    // The note's record, where the kind and the prompts' answers are kept.
    virtual NoteRecord& record() = 0;
    virtual void showCaptionIcon(CaptionStrip::Icon icon) = 0;
    // "Save" and "Save As"; "Append To" always stays.
    virtual void setSaveItemsEnabled(bool enabled) = 0;
    // The next text change marks the note as changed.
    virtual void setDirty() = 0;
    // The caption drawn again from the note's changed flag.
    virtual void showChangedState() = 0;
    // The engine wrote the text: counts and caption follow as after typing.
    virtual void specialTextWritten() = 0;
    // The note gathered something no source can give again: the recovery file must keep it.
    virtual void noteChanged() = 0;
    virtual void restoreFromStrip() = 0;
    // Back on top after a prompt, when the note is set to stay there.
    virtual void putBackOnTop() = 0;
};

// The special-note engine of one note window: draws the note as a live display of a kind,
// and keeps it up to date with its timer, its clipboard watch or its fetches. What differs
// per kind is one row of a table in the .cpp with its drawing function.
//
// Ownership: the engine owns its timer and clipboard watch outright. A fetch is the engine's
// child while it runs; once it answers or is stopped the engine lets go of it at once
// (aborted, disconnected, deleted when control returns), so no answer of it can come back.
// The feed's text is built on a pooled thread; the engine owns that task too, and stopping
// or switching the note abandons it.
//
// The program's writes never go on the text area's undo stack while the text is locked: Undo
// cannot take a special note's text back to something it never showed.
class SpecialNoteEngine : public QObject {
    Q_OBJECT

public:
    // The engine keeps its way to the window for as long as it lives.
    explicit SpecialNoteEngine(std::unique_ptr<SpecialNoteHost> host);
    ~SpecialNoteEngine() override;
    SpecialNoteEngine(const SpecialNoteEngine&) = delete;
    SpecialNoteEngine& operator=(const SpecialNoteEngine&) = delete;

    // The kind last displayed; kept after the note stops being special.
    SpecialNoteKind kind() const;
    // The item of the "Special Note" menu: the kind's prompt and opening text, then the
    // first display.
    void choose(SpecialNoteKind kind);
    // Draws the note as the kind and arms the timer for the kind's next tick.
    void display(SpecialNoteKind kind);
    // What the timer runs.
    void tick();
    // Ends all special behaviour: timer, fetches, reminder icons, clipboard watch, caption,
    // Save items. The text and the kind stay.
    void reset();
    // "Stop Special Note": as reset, and the text is the user's again.
    void stopByUser();
    // The note closes: timer, clipboard watch and fetches end for good, the note untouched.
    void stop();

    QTimer* timer() { return &m_timer; }
    // True while the engine writes the text; it then counts the change as its own, one per
    // write, and the caller leaves it alone.
    bool takeTextChange();
    // Characters of the text that the character count leaves out for the kind.
    int uncountedCharacters() const;

    // The "Special Note" submenu's rows of the note menus, in order, from the kind table.
    static std::vector<NoteMenus::Entry> menuEntries();

private:
    struct Kinds;
    class Write;
    template <typename Fetch> struct LetGo {
        void operator()(Fetch* fetch) const;
    };
    template <typename Fetch> using FetchPtr = std::unique_ptr<Fetch, LetGo<Fetch>>;

    bool ask(SpecialNoteKind kind);
    void armTimer(SpecialNoteKind kind);
    void setText(const QString& text);
    Result testReminder();
    void watchClipboard();
    void stopWatchingClipboard();
    void clipboardChanged();
    void displayClipboard(quint32 formatId);
    void logEntry(const QString& copied);
    void makeRoomInLog(LiveText::Size entry, bool entryCut);
    void fetchFeed(const QString& feedURL);
    void feedDone();
    // The feed's text, built apart, in place of the note's in one step.
    void showFeed(const std::shared_ptr<QTextDocument>& text, const QByteArray& digest);
    bool locksText() const;
    void refreshStockQuote();
    void quoteReceived();
    void quoteFailed();
    // Ends the fetches of other kinds than keep.
    void stopFetches(SpecialNoteKind keep);
    void textWritten();

    std::unique_ptr<SpecialNoteHost> m_host;
    QTimer m_timer;
    bool m_reminderWentOff = false; // the went-off icon shows: the alert was given
    bool m_writing = false;
    bool m_textChanged = false;
    std::unique_ptr<cClipboardViewer> m_clipboardWatch;
    std::unique_ptr<cCustomClipboard> m_clipboard;
    QString m_lastClipboardText;
    FetchPtr<clsRSS> m_feed;
    std::unique_ptr<BackgroundTask> m_feedText; // building the text of the last fetch
    QByteArray m_shownFeed; // digest of the feed the text shows; empty when it shows none
    FetchPtr<clsStockQuote> m_quote;
    bool m_noQuoteServerLogged = false;
};
