#include "dialogs/frmInputBox.h"
#include "dialogs/frmInputBoxDT.h"
#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "shell/LocaleFormat.h"
#include "shell/WindowUtils.h"
#include "special/ReminderDue.h"
#include "special/cClipboardViewer.h"
#include "special/cCustomClipboard.h"
#include "special/frmAlert.h"
#include "window/CaptionStrip.h"
#include "window/NoteMenus.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QTimer>

// The special-note engine: one timer per note redraws the live display of its kind, and the
// clipboard notes redraw on every clipboard change instead.

namespace {
using Kind = SpecialNoteKind;

// How Timer1 runs for a kind once it is displayed.
enum class TimerUse {
    Interval, // enabled with the kind's interval
    Idle,     // enabled with interval 0: never fires
    Off,      // left disabled
};

struct KindRow {
    Kind kind;
    TimerUse use;
    int interval; // ms
};

constexpr int kSlowRefresh = 65535;

// clang-format off
constexpr KindRow kKinds[] = {
    {Kind::Time,            TimerUse::Interval, 1000},
    {Kind::ComputerMemory,  TimerUse::Interval, kSlowRefresh},
    {Kind::Drives,          TimerUse::Interval, kSlowRefresh},
    {Kind::RSSFeed,         TimerUse::Interval, kSlowRefresh},
    {Kind::ClipboardViewer, TimerUse::Off,      0},
    {Kind::ClipboardLog,    TimerUse::Idle,     0},
    {Kind::StockQuote,      TimerUse::Interval, kSlowRefresh},
    {Kind::Reminder,        TimerUse::Interval, 6000},
};
// clang-format on

const KindRow* rowOf(Kind kind)
{
    for (const KindRow& row : kKinds)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

constexpr int kAlertShowsMs = 3000;

const QString kViewerHeader = QStringLiteral("Clipboard Viewer:\r\n");
const QString kLogHeader = QStringLiteral("Clipboard Log:\r\n");

bool isTextFormat(quint32 id)
{
    return id == cCustomClipboard::CF_TEXT || id == cCustomClipboard::CF_OEMTEXT ||
           id == cCustomClipboard::CF_UNICODETEXT;
}

} // namespace

void frmMain::mnuSpecial_Click(SpecialNoteKind kind)
{
    switch (kind) {
    case Kind::ClipboardViewer:
        modSpecialNote::WriteSpecialHeader(m_rtb, kViewerHeader);
        break;
    case Kind::ClipboardLog:
        modSpecialNote::WriteSpecialHeader(m_rtb, kLogHeader);
        break;
    case Kind::RSSFeed:
        m_Note.FeedURL = promptFor(QStringLiteral("Please enter the URL for an RSS feed"),
                                   QStringLiteral("RSS Feed URL"), m_Note.FeedURL);
        if (m_Note.FeedURL.isEmpty())
            return;
        setSpecialText(QStringLiteral("...loading RSS feed"));
        break;
    case Kind::StockQuote:
        m_Note.StockSymbol = promptFor(QStringLiteral("Please enter the Stock Symbol to look up."),
                                       QStringLiteral("Stock Symbol"), m_Note.StockSymbol);
        if (m_Note.StockSymbol.isEmpty())
            return;
        modSpecialNote::WriteSpecialHeader(m_rtb, QStringLiteral("Stock Symbol: ") +
                                                      m_Note.StockSymbol + QStringLiteral("\r\n"));
        break;
    case Kind::Reminder:
        askReminderTime();
        break;
    default:
        break;
    }
    DisplaySpecialNote(kind);
}

QString frmMain::promptFor(const QString& prompt, const QString& title, const QString& current)
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    QString answer = frmInputBox::InputBoxEX(prompt, title, current, this);
    setOnTopFromRecord();
    return answer;
}

void frmMain::setSpecialText(const QString& text)
{
    QTextCursor cursor(m_rtb->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
}

void frmMain::DisplaySpecialNote(SpecialNoteKind kind)
{
    m_timer1->stop();
    m_Note.SpecialType = static_cast<qint32>(kind);
    if (!rowOf(kind))
        return;
    Failure failure;
    {
        const SpecialWrite write(*this);
        failure = drawSpecialContent(kind);
    }
    if (failure) {
        // The note keeps its last text and stops refreshing.
        modMain::WriteLogEntry(QStringLiteral("frmMain: DisplaySpecialNote"), *failure);
        return;
    }
    if (kind != Kind::Reminder) {
        // The text is the program's; the user's typing waits until the note is ordinary again.
        m_rtb->setReadOnly(true);
        m_isDirty = true;
    }
    setSaveItemsEnabled(false);
    armTimer1(kind);
}

Failure frmMain::drawSpecialContent(SpecialNoteKind kind)
{
    stopNetworkFetches(kind);
    switch (kind) {
    case Kind::Time:
        modSpecialNote::DisplayTime(m_rtb);
        return std::nullopt;
    case Kind::ComputerMemory:
        return modSpecialNote::DisplayComputerMemory(m_rtb);
    case Kind::Drives:
        return modSpecialNote::DisplayDrives(m_rtb);
    case Kind::ClipboardViewer:
    case Kind::ClipboardLog:
        watchClipboard();
        return std::nullopt;
    case Kind::Reminder:
        return testReminder();
    case Kind::RSSFeed:
        DisplayRSSFeed(m_Note.FeedURL);
        return std::nullopt;
    case Kind::StockQuote:
        refreshStockQuote();
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

void frmMain::armTimer1(SpecialNoteKind kind)
{
    const KindRow& row = *rowOf(kind);
    int interval = row.interval;
    // A feed note without an address has nothing to fetch again.
    if (kind == Kind::RSSFeed && m_Note.FeedURL.isEmpty())
        interval = 0;
    m_timer1->setInterval(interval);
    // An enabled timer with interval 0 never fires; a QTimer would fire at once.
    if (row.use != TimerUse::Off && interval > 0)
        m_timer1->start();
}

void frmMain::Timer1_Timer()
{
    DisplaySpecialNote(specialKind());
}

void frmMain::setSaveItemsEnabled(bool enabled)
{
    for (SaveKind kind : {SaveKind::Save, SaveKind::SaveAs})
        setItemEnabled(NoteMenus::mnuSave, static_cast<int>(kind), enabled);
}

void frmMain::ResetSpecialNote()
{
    m_timer1->stop();
    stopNetworkFetches(Kind::None);
    m_strip->showIcon(CaptionStrip::Icon::Note);
    m_reminderWentOff = false;
    stopWatchingClipboard();
    // The caption loses its reminder look; a note with unsaved text keeps its "*" so that
    // closing still asks.
    setChanged(m_changed);
    setSaveItemsEnabled(true);
}

void frmMain::mnuClearSpecial_Click()
{
    m_rtb->setReadOnly(false);
    modSpecialNote::SetInsertionColor(m_rtb, Qt::black);
    ResetSpecialNote();
}

// --- Reminders.

void frmMain::askReminderTime()
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    const QTime start =
        LocaleFormat::parseHhmmssAmPm(m_Note.Reminder).value_or(Clock::now().time());
    const std::optional<QTime> answer =
        frmInputBoxDT::InputBoxEX(QStringLiteral("Please enter the reminder time for this note"),
                                  QStringLiteral("Reminder Time"), start, this);
    m_Note.Reminder = answer ? LocaleFormat::hhmmssAmPm(*answer) : QString();
    setOnTopFromRecord();
    m_reminderWentOff = false;
    m_strip->showIcon(CaptionStrip::Icon::Reminder1);
}

Failure frmMain::testReminder()
{
    const std::optional<QTime> reminder = LocaleFormat::parseHhmmssAmPm(m_Note.Reminder);
    if (!reminder)
        return AppError::fromNumber(ErrorNumber::TypeMismatch);
    const QTime now = Clock::now().time();
    if (!modSpecialNote::IsReminderDue(*reminder, QTime(now.hour(), now.minute(), now.second())))
        return std::nullopt;
    modMain::SetTopMost(this, modMain::TopMostMode::IntoBand);
    RestoreNote();
    if (!m_reminderWentOff) {
        auto* alert = new frmAlert;
        alert->DisplayAlert(QStringLiteral("Your reminder note is now active"), kAlertShowsMs);
        activateWindow();
        m_rtb->setFocus();
    }
    m_reminderWentOff = true;
    m_strip->showIcon(CaptionStrip::Icon::Reminder0);
    return std::nullopt;
}

// --- The clipboard notes.

void frmMain::watchClipboard()
{
    stopWatchingClipboard();
    m_cCV = new cClipboardViewer(this);
    connect(m_cCV, &cClipboardViewer::ClipboardChanged, this, &frmMain::m_cCV_ClipboardChanged);
    m_cCV->InitClipboardChangeNotification(this);
}

void frmMain::stopWatchingClipboard()
{
    if (!m_cCV)
        return;
    m_cCV->StopClipboardChangeNotification();
    delete m_cCV;
    m_cCV = nullptr;
}

void frmMain::m_cCV_ClipboardChanged()
{
    if (!m_clipboard)
        m_clipboard = std::make_unique<cCustomClipboard>();
    const int count = m_clipboard->GetCurrentFormats(this);
    const SpecialWrite write(*this);
    for (int position = 1; position <= count; ++position) {
        const Expected<quint32> id = m_clipboard->GetCurrentFormatID(position);
        if (id)
            DisplayClipboard(id.value());
    }
}

void frmMain::DisplayClipboard(quint32 formatId)
{
    const Kind kind = specialKind();
    if (kind == Kind::ClipboardViewer)
        modSpecialNote::WriteSpecialHeader(m_rtb, kViewerHeader);
    if (!isTextFormat(formatId))
        return;
    if (const Failure failure = m_clipboard->ClipboardOpen(this)) {
        modMain::WriteLogEntry(QStringLiteral("frmMain: DisplayClipboard"), *failure);
        return;
    }
    const Expected<QString> text = m_clipboard->GetTextData(formatId);
    if (!text) {
        modMain::WriteLogEntry(QStringLiteral("frmMain: DisplayClipboard"), text.error());
    } else {
        modSpecialNote::SetBodyInsertion(m_rtb);
        if (kind == Kind::ClipboardViewer) {
            modSpecialNote::InsertAtCaret(m_rtb, text.value());
        } else if (kind == Kind::ClipboardLog &&
                   text.value().compare(m_lastClipboardText, Qt::CaseInsensitive) != 0) {
            modSpecialNote::MoveCaretToEnd(m_rtb);
            modSpecialNote::AppendLabelledLine(m_rtb, text.value(),
                                               LocaleFormat::generalDate(Clock::now()));
        }
        m_lastClipboardText = text.value();
    }
    m_clipboard->ClipboardClose();
}

// --- One special write is one change of the note.

frmMain::SpecialWrite::SpecialWrite(frmMain& window) : m_window(window)
{
    m_outer = !m_window.m_writingSpecial;
    m_window.m_writingSpecial = true;
}

frmMain::SpecialWrite::~SpecialWrite()
{
    if (!m_outer)
        return;
    m_window.m_writingSpecial = false;
    if (m_window.m_specialTextChanged)
        m_window.specialTextWritten();
}

void frmMain::specialTextWritten()
{
    m_specialTextChanged = false;
    updateCountsAndCaption();
    // A log gathers what was copied; the other kinds draw again from their source.
    if (specialKind() == Kind::ClipboardLog)
        emit noteChanged();
}
