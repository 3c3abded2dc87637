#include "window/SpecialNoteEngine.h"

#include "dialogs/frmInputBox.h"
#include "dialogs/frmInputBoxDT.h"
#include "richtext/LiveText.h"
#include "shell/BackgroundTask.h"
#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "shell/FreedMemory.h"
#include "shell/LocaleFormat.h"
#include "shell/Settings.h"
#include "shell/WindowUtils.h"
#include "special/NetworkNoteText.h"
#include "special/ReminderDue.h"
#include "special/cClipboardViewer.h"
#include "special/cCustomClipboard.h"
#include "special/clsRSS.h"
#include "special/clsStockQuote.h"
#include "special/frmAlert.h"
#include "store/NoteRecord.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <array>
#include <utility>

namespace {
using Kind = SpecialNoteKind;

// How the timer runs for a kind once it is displayed.
enum class TimerUse {
    Interval,      // enabled with the kind's interval
    WhileAnswered, // as Interval while the prompt's answer is kept; else there is nothing to fetch
    Idle,          // enabled with interval 0: never fires
    Off,           // left disabled
};

// What choosing the kind asks first. An empty text answer ends the choice there.
enum class Asks { Nothing, Text, TimeOfDay };

// Whether the text is the program's while the kind shows: locked against typing.
enum class Lock { WhileShown, Never };

// What a kind writes: drawn again from its source at every tick, or gathered over time and
// so worth keeping in the recovery file at every change.
enum class Source { Redrawn, Gathered };

// What follows an item in the "Special Note" menu.
enum class Gap { None, Separator, HiddenSeparator };

constexpr int kSlowRefresh = 65535;
constexpr int kAlertShowsMs = 3000;
// The clipboard notes' header "Clipboard Viewer:" and its line break; the log's shorter
// header loses the same count.
constexpr int kClipboardHeaderLength = 19;

const QString kViewerHeader = QStringLiteral("Clipboard Viewer:\r\n");
const QString kLogHeader = QStringLiteral("Clipboard Log:\r\n");

// A clipboard note never grows beyond what the note shows: the viewer shows the start of a
// longer text, the log keeps its newest part; each says so on a line of its own. The log's
// notice stays in English: the log finds it again in its own text, which a note file keeps
// from one run, and language, to the next.
QString viewerCutNotice()
{
    return QCoreApplication::translate(
               "SpecialNoteEngine",
               "(The clipboard holds more than a note shows, %1; this is its start.)")
        .arg(LiveText::limitText());
}
QString logCutNotice()
{
    return QStringLiteral("(Older copies were left out: a note shows %1.)")
        .arg(LiveText::limitText());
}
// What a clipboard note's text may take besides its header and notice, and what the log
// shrinks to when it is full, so that it is not trimmed at every copy.
// The breaks that long words get are taken from the paragraphs left over.
constexpr LiveText::Size kClipboardBody{LiveText::kMaxParagraphs - 4 -
                                            LiveText::kMaxCharacters / LiveText::kMaxWord,
                                        LiveText::kMaxCharacters - 200};
constexpr LiveText::Size kLogAfterTrim{LiveText::kMaxParagraphs * 3 / 4,
                                       LiveText::kMaxCharacters * 3 / 4};

using Opening = void (*)(SpecialNoteEngine&);
using Draw = Result (*)(SpecialNoteEngine&);

// One kind: what differs per kind, nothing else.
struct MenuItem {
    const char* name;
    const char* caption;
    Gap after = Gap::None;
};
struct Prompt {
    Asks asks = Asks::Nothing;
    const char* text = "";
    const char* title = "";
    QString NoteRecord::*answer = nullptr; // where the answer is kept
};
struct KindRow {
    Kind kind;
    MenuItem item;
    TimerUse timer = TimerUse::Off;
    int intervalMs = 0;
    Prompt prompt = {};
    Lock lock = Lock::WhileShown;
    Source source = Source::Redrawn;
    int uncounted = 0;         // characters the character count leaves out
    Opening opening = nullptr; // what choosing the item writes before the first display
    Draw draw = nullptr;
};

bool isTextFormat(quint32 id)
{
    return id == cCustomClipboard::CF_TEXT || id == cCustomClipboard::CF_OEMTEXT ||
           id == cCustomClipboard::CF_UNICODETEXT;
}
} // namespace

// The kinds: one row each, in menu order, with the functions that draw them. A row of kind
// None is the item of a kind not built yet: hidden, with no command.
struct SpecialNoteEngine::Kinds {
    // --- What choosing an item writes first.
    static void openViewer(SpecialNoteEngine& e)
    {
        modSpecialNote::WriteSpecialHeader(e.m_host->textArea(), kViewerHeader);
    }
    static void openLog(SpecialNoteEngine& e)
    {
        modSpecialNote::WriteSpecialHeader(e.m_host->textArea(), kLogHeader);
    }
    static void openFeed(SpecialNoteEngine& e)
    {
        e.setText(SpecialNoteEngine::tr("...loading RSS feed"));
        // A feed chosen again starts afresh, whatever the last one left running.
        e.m_feedText.reset();
        e.m_shownFeed.clear();
    }
    static void openQuote(SpecialNoteEngine& e)
    {
        modSpecialNote::WriteSpecialHeader(
            e.m_host->textArea(), SpecialNoteEngine::tr("Stock Symbol: ") +
                                      e.m_host->record().StockSymbol + QStringLiteral("\r\n"));
    }
    static void openReminder(SpecialNoteEngine& e)
    {
        e.m_reminderWentOff = false;
        // A prompt closed without a button leaves no time, and such a reminder never goes off:
        // it must not look set.
        const bool waiting = LocaleFormat::parseHhmmssAmPm(e.m_host->record().Reminder).has_value();
        e.m_host->showCaptionIcon(waiting ? CaptionStrip::Icon::Reminder1
                                          : CaptionStrip::Icon::Note);
    }

    // --- The drawing functions, run at every display.
    static Result drawTime(SpecialNoteEngine& e)
    {
        modSpecialNote::DisplayTime(e.m_host->textArea());
        return {};
    }
    static Result drawMemory(SpecialNoteEngine& e)
    {
        return modSpecialNote::DisplayComputerMemory(e.m_host->textArea());
    }
    static Result drawDrives(SpecialNoteEngine& e)
    {
        return modSpecialNote::DisplayDrives(e.m_host->textArea());
    }
    static Result drawFeed(SpecialNoteEngine& e)
    {
        e.fetchFeed(e.m_host->record().FeedURL);
        return {};
    }
    static Result drawClipboard(SpecialNoteEngine& e)
    {
        e.watchClipboard();
        return {};
    }
    static Result drawQuote(SpecialNoteEngine& e)
    {
        e.refreshStockQuote();
        return {};
    }
    static Result drawReminder(SpecialNoteEngine& e) { return e.testReminder(); }

    // clang-format off
    static constexpr KindRow kRows[] = {
        {Kind::Time, {NoteMenus::mnuSNTime, QT_TRANSLATE_NOOP("NoteMenus", "Time")},
         TimerUse::Interval, 1000, {}, Lock::WhileShown, Source::Redrawn, 0, nullptr, drawTime},
        {Kind::Reminder, {NoteMenus::mnuSNReminder, QT_TRANSLATE_NOOP("NoteMenus", "Reminder (alarm)"), Gap::Separator},
         TimerUse::Interval, 6000,
         {Asks::TimeOfDay, QT_TRANSLATE_NOOP("SpecialNoteEngine", "Please enter the reminder time for this note"), QT_TRANSLATE_NOOP("SpecialNoteEngine", "Reminder Time"),
          &NoteRecord::Reminder},
         Lock::Never, Source::Redrawn, 0, openReminder, drawReminder},
        {Kind::RSSFeed, {NoteMenus::mnuSNRSSFeed, QT_TRANSLATE_NOOP("NoteMenus", "RSS Feed")},
         TimerUse::WhileAnswered, kSlowRefresh,
         {Asks::Text, QT_TRANSLATE_NOOP("SpecialNoteEngine", "Please enter the URL for an RSS feed"), QT_TRANSLATE_NOOP("SpecialNoteEngine", "RSS Feed URL"), &NoteRecord::FeedURL},
         Lock::WhileShown, Source::Redrawn, 0, openFeed, drawFeed},
        {Kind::None, {NoteMenus::mnuSNWeather, QT_TRANSLATE_NOOP("NoteMenus", "Weather")}},
        {Kind::StockQuote, {NoteMenus::mnuSNStockQuote, QT_TRANSLATE_NOOP("NoteMenus", "Stocks")},
         TimerUse::Interval, kSlowRefresh,
         {Asks::Text, QT_TRANSLATE_NOOP("SpecialNoteEngine", "Please enter the Stock Symbol to look up."), QT_TRANSLATE_NOOP("SpecialNoteEngine", "Stock Symbol"),
          &NoteRecord::StockSymbol},
         Lock::WhileShown, Source::Redrawn, 0, openQuote, drawQuote},
        {Kind::None, {NoteMenus::mnuSNWebsiteStatus, QT_TRANSLATE_NOOP("NoteMenus", "Website Status"), Gap::HiddenSeparator}},
        {Kind::None, {NoteMenus::mnuSNNotes, QT_TRANSLATE_NOOP("NoteMenus", "Jottex Notes"), Gap::Separator}},
        {Kind::ClipboardViewer, {NoteMenus::mnuSNClipboard, QT_TRANSLATE_NOOP("NoteMenus", "Clipboard Viewer (text)")},
         TimerUse::Off, 0, {}, Lock::WhileShown, Source::Redrawn, kClipboardHeaderLength,
         openViewer, drawClipboard},
        {Kind::ClipboardLog, {NoteMenus::mnuSNClipboardLog, QT_TRANSLATE_NOOP("NoteMenus", "Clipboard Log")},
         TimerUse::Idle, 0, {}, Lock::WhileShown, Source::Gathered, kClipboardHeaderLength,
         openLog, drawClipboard},
        {Kind::ComputerMemory, {NoteMenus::mnuSNComputerMemory, QT_TRANSLATE_NOOP("NoteMenus", "Computer Memory")},
         TimerUse::Interval, kSlowRefresh, {}, Lock::WhileShown, Source::Redrawn, 0, nullptr,
         drawMemory},
        {Kind::Drives, {NoteMenus::mnuSNDrives, QT_TRANSLATE_NOOP("NoteMenus", "Drive Information"), Gap::Separator},
         TimerUse::Interval, kSlowRefresh, {}, Lock::WhileShown, Source::Redrawn, 0, nullptr,
         drawDrives},
    };
    // clang-format on

    static const KindRow* rowOf(Kind kind)
    {
        for (const KindRow& row : kRows)
            if (row.kind == kind && kind != Kind::None)
                return &row;
        return nullptr;
    }

    // The menu command of a row's item.
    template <std::size_t Place> static void onItem(frmMain& window, int)
    {
        window.specialNotes().choose(kRows[Place].kind);
    }
    static void onStop(frmMain& window, int) { window.specialNotes().stopByUser(); }

    template <std::size_t... Places>
    static constexpr std::array<NoteMenus::Handler, sizeof...(Places)>
    handlers(std::index_sequence<Places...>)
    {
        return {(kRows[Places].kind != Kind::None ? &onItem<Places> : nullptr)...};
    }
};

// --- One special write is one change of the note.

class SpecialNoteEngine::Write {
public:
    explicit Write(SpecialNoteEngine& engine)
        : m_engine(engine), m_outer(!engine.m_writing), m_quiet(m_outer && engine.locksText())
    {
        m_engine.m_writing = true;
        // Turning undo off empties its stack as well.
        if (m_quiet)
            document()->setUndoRedoEnabled(false);
    }
    ~Write()
    {
        if (!m_outer)
            return;
        if (m_quiet)
            document()->setUndoRedoEnabled(true);
        m_engine.m_writing = false;
        if (m_engine.m_textChanged)
            m_engine.textWritten();
    }
    Write(const Write&) = delete;
    Write& operator=(const Write&) = delete;

private:
    QTextDocument* document() const { return m_engine.m_host->textArea()->document(); }

    SpecialNoteEngine& m_engine;
    bool m_outer;
    bool m_quiet; // the text is the program's: its writes stay off the undo stack
};

template <typename Fetch> void SpecialNoteEngine::LetGo<Fetch>::operator()(Fetch* fetch) const
{
    fetch->Abort();
    fetch->disconnect();
    // Later, since a fetch is often let go inside its own signal.
    fetch->deleteLater();
}

SpecialNoteEngine::SpecialNoteEngine(std::unique_ptr<SpecialNoteHost> host)
    : m_host(std::move(host))
{
    m_timer.setObjectName(QStringLiteral("Timer1"));
    connect(&m_timer, &QTimer::timeout, this, &SpecialNoteEngine::tick);
}

SpecialNoteEngine::~SpecialNoteEngine() = default;

SpecialNoteKind SpecialNoteEngine::kind() const
{
    return m_host->record().SpecialType;
}

std::vector<NoteMenus::Entry> SpecialNoteEngine::menuEntries()
{
    using NoteMenus::Entry;
    constexpr std::size_t kCount = std::size(Kinds::kRows);
    constexpr auto kHandlers = Kinds::handlers(std::make_index_sequence<kCount>());
    std::vector<Entry> entries;
    const auto gap = [&entries](unsigned flags) {
        entries.push_back(Entry{.parent = NoteMenus::mnuSpecial,
                                .name = "",
                                .index = -1,
                                .caption = "",
                                .key = {},
                                .imageKey = "",
                                .flags = NoteMenus::Separator | flags});
    };
    for (std::size_t place = 0; place < kCount; ++place) {
        const KindRow& row = Kinds::kRows[place];
        entries.push_back(Entry{.parent = NoteMenus::mnuSpecial,
                                .name = row.item.name,
                                .index = -1,
                                .caption = row.item.caption,
                                .key = {},
                                .imageKey = "",
                                .flags = (kHandlers[place] ? NoteMenus::None : NoteMenus::Hidden) |
                                         NoteMenus::EditsText,
                                .handler = kHandlers[place]});
        if (row.item.after == Gap::Separator)
            gap(NoteMenus::None);
        else if (row.item.after == Gap::HiddenSeparator)
            gap(NoteMenus::Hidden);
    }
    entries.push_back(Entry{.parent = NoteMenus::mnuSpecial,
                            .name = NoteMenus::mnuClearSpecial,
                            .index = -1,
                            .caption = QT_TRANSLATE_NOOP("NoteMenus", "Stop Special Note"),
                            .key = {},
                            .imageKey = "Stop",
                            .flags = NoteMenus::None,
                            .handler = &Kinds::onStop});
    return entries;
}

void SpecialNoteEngine::choose(SpecialNoteKind kind)
{
    if (const KindRow* row = Kinds::rowOf(kind)) {
        if (!ask(kind))
            return;
        if (row->opening)
            row->opening(*this);
    }
    display(kind);
}

// Out of the topmost band while the prompt shows; the answer is kept whatever it is.
bool SpecialNoteEngine::ask(SpecialNoteKind kind)
{
    const Prompt& prompt = Kinds::rowOf(kind)->prompt;
    if (prompt.asks == Asks::Nothing)
        return true;
    QWidget* window = m_host->noteWindow();
    QString& answer = m_host->record().*prompt.answer;
    const QString text = tr(prompt.text);
    const QString title = tr(prompt.title);
    modMain::SetTopMost(window, modMain::TopMostMode::OutOfBand);
    if (prompt.asks == Asks::Text) {
        answer = frmInputBox::InputBoxEX(text, title, answer, window);
    } else {
        const QTime start = LocaleFormat::parseHhmmssAmPm(answer).value_or(Clock::now().time());
        const std::optional<QTime> time = frmInputBoxDT::InputBoxEX(text, title, start, window);
        answer = time ? LocaleFormat::hhmmssAmPm(*time) : QString();
    }
    m_host->putBackOnTop();
    return prompt.asks != Asks::Text || !answer.isEmpty();
}

void SpecialNoteEngine::display(SpecialNoteKind kind)
{
    m_timer.stop();
    const bool leftFeed = this->kind() == Kind::RSSFeed && kind != Kind::RSSFeed;
    m_host->record().SpecialType = kind;
    // A fetch of another kind never writes again.
    stopFetches(kind);
    const KindRow* row = Kinds::rowOf(kind);
    if (!row)
        return;
    Result failure;
    {
        const Write write(*this);
        failure = row->draw(*this);
    }
    // What a large feed took is free once the new kind has drawn over it: back to the system.
    if (leftFeed)
        FreedMemory::giveBack();
    if (failure.failed()) {
        // The note keeps its last text and stops refreshing.
        modMain::WriteLogEntry(QStringLiteral("frmMain: DisplaySpecialNote"), failure.error());
        return;
    }
    if (row->lock == Lock::WhileShown) {
        // The user's typing waits until the note is ordinary again.
        m_host->textArea()->setReadOnly(true);
        m_host->setDirty();
    }
    m_host->setSaveItemsEnabled(false);
    armTimer(kind);
}

void SpecialNoteEngine::armTimer(SpecialNoteKind kind)
{
    const KindRow& row = *Kinds::rowOf(kind);
    int interval = row.intervalMs;
    if (row.timer == TimerUse::WhileAnswered && (m_host->record().*row.prompt.answer).isEmpty())
        interval = 0;
    m_timer.setInterval(interval);
    // An enabled timer with interval 0 never fires; a QTimer would fire at once.
    if (row.timer != TimerUse::Off && interval > 0)
        m_timer.start();
}

void SpecialNoteEngine::tick()
{
    display(kind());
}

void SpecialNoteEngine::reset()
{
    m_timer.stop();
    stopFetches(Kind::None);
    m_host->showCaptionIcon(CaptionStrip::Icon::Note);
    m_reminderWentOff = false;
    stopWatchingClipboard();
    // The caption loses its reminder look; a note with unsaved text keeps its "*" so that
    // closing still asks.
    m_host->showChangedState();
    m_host->setSaveItemsEnabled(true);
}

void SpecialNoteEngine::stopByUser()
{
    m_host->textArea()->setReadOnly(false);
    modSpecialNote::SetInsertionColor(m_host->textArea(), Qt::black);
    reset();
}

void SpecialNoteEngine::stop()
{
    m_timer.stop();
    stopWatchingClipboard();
    stopFetches(Kind::None);
}

bool SpecialNoteEngine::takeTextChange()
{
    if (!m_writing)
        return false;
    m_textChanged = true;
    return true;
}

int SpecialNoteEngine::uncountedCharacters() const
{
    const KindRow* row = Kinds::rowOf(kind());
    return row ? row->uncounted : 0;
}

bool SpecialNoteEngine::locksText() const
{
    const KindRow* row = Kinds::rowOf(kind());
    return row && row->lock == Lock::WhileShown;
}

void SpecialNoteEngine::textWritten()
{
    m_textChanged = false;
    const KindRow* row = Kinds::rowOf(kind());
    // A text drawn whole shows from its top, at every refresh; a log keeps its newest end.
    if (row && row->source == Source::Redrawn) {
        NoteTextEdit* rtb = m_host->textArea();
        rtb->moveCursor(QTextCursor::Start);
        // The caret alone would leave the top margin scrolled away.
        rtb->verticalScrollBar()->setValue(rtb->verticalScrollBar()->minimum());
    }
    m_host->specialTextWritten();
    if (row && row->source == Source::Gathered)
        m_host->noteChanged();
}

void SpecialNoteEngine::setText(const QString& text)
{
    QTextCursor cursor(m_host->textArea()->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
}

// --- Reminders.

Result SpecialNoteEngine::testReminder()
{
    const std::optional<QTime> reminder = LocaleFormat::parseHhmmssAmPm(m_host->record().Reminder);
    if (!reminder)
        return AppError::fromNumber(ErrorNumber::TypeMismatch);
    const QTime now = Clock::now().time();
    if (!modSpecialNote::IsReminderDue(*reminder, QTime(now.hour(), now.minute(), now.second())))
        return {};
    QWidget* window = m_host->noteWindow();
    modMain::SetTopMost(window, modMain::TopMostMode::IntoBand);
    m_host->restoreFromStrip();
    if (!m_reminderWentOff) {
        auto* alert = new frmAlert;
        alert->DisplayAlert(tr("Your reminder note is now active"), kAlertShowsMs);
        window->activateWindow();
        m_host->textArea()->setFocus();
    }
    m_reminderWentOff = true;
    m_host->showCaptionIcon(CaptionStrip::Icon::Reminder0);
    return {};
}

// --- The clipboard notes: redrawn at every clipboard change instead of by the timer.

void SpecialNoteEngine::watchClipboard()
{
    stopWatchingClipboard();
    m_clipboardWatch = std::make_unique<cClipboardViewer>();
    connect(m_clipboardWatch.get(), &cClipboardViewer::ClipboardChanged, this,
            &SpecialNoteEngine::clipboardChanged);
    m_clipboardWatch->InitClipboardChangeNotification(m_host->noteWindow());
}

void SpecialNoteEngine::stopWatchingClipboard()
{
    if (!m_clipboardWatch)
        return;
    m_clipboardWatch->StopClipboardChangeNotification();
    m_clipboardWatch.reset();
}

void SpecialNoteEngine::clipboardChanged()
{
    if (!m_clipboard)
        m_clipboard = std::make_unique<cCustomClipboard>();
    const int count = m_clipboard->GetCurrentFormats(m_host->noteWindow());
    const Write write(*this);
    for (int position = 1; position <= count; ++position) {
        const Expected<quint32> id = m_clipboard->GetCurrentFormatID(position);
        if (id.ok())
            displayClipboard(id.value());
    }
}

void SpecialNoteEngine::displayClipboard(quint32 formatId)
{
    NoteTextEdit* rtb = m_host->textArea();
    const Kind shown = kind();
    if (shown == Kind::ClipboardViewer)
        modSpecialNote::WriteSpecialHeader(rtb, kViewerHeader);
    if (!isTextFormat(formatId))
        return;
    if (const Result failure = m_clipboard->ClipboardOpen(m_host->noteWindow()); failure.failed()) {
        modMain::WriteLogEntry(QStringLiteral("frmMain: DisplayClipboard"), failure.error());
        return;
    }
    const Expected<QString> text = m_clipboard->GetTextData(formatId);
    if (text.failed()) {
        modMain::WriteLogEntry(QStringLiteral("frmMain: DisplayClipboard"), text.error());
    } else {
        modSpecialNote::SetBodyInsertion(rtb);
        if (shown == Kind::ClipboardViewer) {
            const QStringView shownPart =
                LiveText::part(text.value(), kClipboardBody, LiveText::Keep::Start);
            QString shownText = LiveText::breakLongWords(shownPart.toString());
            if (shownPart.size() != text.value().size())
                shownText += QStringLiteral("\r\n") + viewerCutNotice();
            modSpecialNote::InsertAtCaret(rtb, shownText);
        } else if (shown == Kind::ClipboardLog &&
                   text.value().compare(m_lastClipboardText, Qt::CaseInsensitive) != 0) {
            logEntry(text.value());
        }
        m_lastClipboardText = text.value();
    }
    m_clipboard->ClipboardClose();
}

// A copy too long for the note keeps its end, as the log keeps its newest part.
void SpecialNoteEngine::logEntry(const QString& copied)
{
    const QString label = LocaleFormat::generalDate(Clock::now());
    const LiveText::Size labelSize = LiveText::sizeOf(label + QStringLiteral(": "));
    const QStringView kept =
        LiveText::part(copied, kClipboardBody - labelSize, LiveText::Keep::End);
    const QString value = LiveText::breakLongWords(kept.toString());
    makeRoomInLog(labelSize + LiveText::sizeOf(value) + LiveText::Size{1, 0},
                  kept.size() != copied.size());
    NoteTextEdit* rtb = m_host->textArea();
    modSpecialNote::MoveCaretToEnd(rtb);
    modSpecialNote::AppendLabelledLine(rtb, value, label);
}

// Leaves out the oldest copies, from the top of the log, until the entry fits; the notice
// under the header says so from then on.
void SpecialNoteEngine::makeRoomInLog(LiveText::Size entry, bool entryCut)
{
    QTextDocument* document = m_host->textArea()->document();
    // The log breaks every long word it takes: its counts are all that can overrun.
    const LiveText::Size now = LiveText::countsOf(document);
    if (LiveText::fits(now + entry) && !entryCut)
        return;
    const QString notice = logCutNotice();
    if (document->findBlockByNumber(1).text() != notice) {
        QTextCursor at(document->findBlockByNumber(1));
        QTextCharFormat look;
        look.setFontPointSize(8);
        look.setForeground(Qt::black);
        at.insertText(notice + QLatin1Char('\n'), look);
    }
    // The oldest copies start below the notice; the last paragraph is the empty one the next
    // copy goes into.
    LiveText::Size left = LiveText::countsOf(document) + entry;
    const QTextBlock first = document->findBlockByNumber(2);
    QTextBlock end = first;
    while (end.isValid() && end.next().isValid() &&
           (left.paragraphs > kLogAfterTrim.paragraphs ||
            left.characters > kLogAfterTrim.characters)) {
        left = left - LiveText::Size{1, end.length() - 1};
        end = end.next();
    }
    if (end == first)
        return;
    QTextCursor cut(document);
    cut.setPosition(first.position());
    cut.setPosition(end.position(), QTextCursor::KeepAnchor);
    cut.removeSelectedText();
}

// --- The feed and quote notes. A fetch runs in the background: the note keeps its text until
// it ends, and a tick never starts a second one.

void SpecialNoteEngine::fetchFeed(const QString& feedURL)
{
    if (m_feed && m_feed->IsFetching() && m_feed->FeedURL() == feedURL && !feedURL.isEmpty())
        return;
    // The text of the last fetch is still being built: the next tick fetches again.
    if (m_feedText && m_feedText->isRunning() && !feedURL.isEmpty())
        return;
    m_feed.reset();
    if (feedURL.isEmpty())
        return;
    m_feed.reset(new clsRSS(this));
    m_feed->setFeedURL(feedURL);
    m_feed->setHTTPProxy(modMain::ReadSetting(modMain::Setting::HTTPProxy));
    connect(m_feed.get(), &clsRSS::Done, this, &SpecialNoteEngine::feedDone);
    m_feed->GetFeed();
}

namespace {
// What the pooled thread gives back for a fetched feed.
struct FeedText {
    QByteArray digest;                   // of the feed's text; empty when no feed came
    std::shared_ptr<QTextDocument> text; // null when the feed is the one the note shows
};
} // namespace

// A feed of any size is read and laid out away from the interface; the note's text changes
// once, when all of it is ready, and not at all when the feed came as the note shows it.
void SpecialNoteEngine::feedDone()
{
    const FetchPtr<clsRSS> feed = std::move(m_feed);
    QThread* home = thread();
    m_feedText = BackgroundTask::start(
        this,
        [channel = feed->Channel(), xml = feed->FeedXML(), shown = m_shownFeed,
         home](const BackgroundTask::Abandoned& abandoned) {
            FeedText built;
            if (!channel.items.isEmpty())
                built.digest = QCryptographicHash::hash(
                    QByteArrayView(reinterpret_cast<const char*>(xml.constData()),
                                   xml.size() * qsizetype(sizeof(QChar))),
                    QCryptographicHash::Sha1);
            if (!built.digest.isEmpty() && built.digest == shown)
                return built;
            built.text = modSpecialNote::RSSFeedText(channel, &abandoned);
            built.text->moveToThread(home);
            // The feed's tree is gone by now; what it took goes back to the system.
            FreedMemory::giveBack();
            return built;
        },
        [this](const FeedText& built) {
            if (built.text)
                showFeed(built.text, built.digest);
        });
}

void SpecialNoteEngine::showFeed(const std::shared_ptr<QTextDocument>& text,
                                 const QByteArray& digest)
{
    const Write write(*this);
    LiveText::replaceText(m_host->textArea(), *text);
    m_shownFeed = digest;
}

void SpecialNoteEngine::refreshStockQuote()
{
    const QString symbol = m_host->record().StockSymbol.toUpper();
    if (m_quote && m_quote->IsFetching() && m_quote->Symbol() == symbol)
        return;
    m_quote.reset(new clsStockQuote(this));
    m_quote->setSymbol(symbol);
    m_quote->setQuoteServer(modMain::ReadSetting(modMain::Setting::QuoteServer));
    m_quote->setHTTPProxy(modMain::ReadSetting(modMain::Setting::HTTPProxy));
    connect(m_quote.get(), &clsStockQuote::DataReceived, this, &SpecialNoteEngine::quoteReceived);
    connect(m_quote.get(), &clsStockQuote::DataError, this, &SpecialNoteEngine::quoteFailed);
    m_quote->Refresh();
}

void SpecialNoteEngine::quoteReceived()
{
    const FetchPtr<clsStockQuote> quote = std::move(m_quote);
    const Write write(*this);
    if (const Result failure = modSpecialNote::WriteStockQuote(
            m_host->textArea(), m_host->record().StockSymbol, *quote);
        failure.failed())
        modMain::WriteLogEntry(QStringLiteral("frmMain: objStock_DataReceived"), failure.error());
}

void SpecialNoteEngine::quoteFailed()
{
    const FetchPtr<clsStockQuote> quote = std::move(m_quote);
    // Said once per note, not at every tick.
    if (quote->QuoteServer().trimmed().isEmpty() && quote->LastError().failed() &&
        !m_noQuoteServerLogged) {
        m_noQuoteServerLogged = true;
        modMain::WriteLogEntry(QStringLiteral("frmMain: objStock_DataError"),
                               quote->LastError().error());
    }
    const Write write(*this);
    modSpecialNote::WriteStockError(m_host->textArea(), m_host->record().StockSymbol);
}

void SpecialNoteEngine::stopFetches(SpecialNoteKind keep)
{
    if (keep != Kind::RSSFeed) {
        m_feed.reset();
        m_feedText.reset();
        m_shownFeed.clear();
    }
    if (keep != Kind::StockQuote)
        m_quote.reset();
}
