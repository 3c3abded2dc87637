#include "window/frmMain.h"

#include "dialogs/MessageBox.h"
#include "richtext/RichText.h"
#include "shell/AppError.h"
#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "shell/LocaleFormat.h"
#include "shell/Settings.h"
#include "shell/Twips.h"
#include "shell/WindowUtils.h"
#include "shell/modFileFunctions.h"
#include "store/NotesFolder.h"
#include "store/modNote.h"
#include "window/Artwork.h"
#include "window/CaptionStrip.h"
#include "window/FrameLabel.h"
#include "window/FrameLayout.h"
#include "window/NoteAppearance.h"
#include "window/NoteDrag.h"
#include "window/NoteEditor.h"
#include "window/NoteHandoff.h"
#include "window/NoteMenuSet.h"
#include "window/NoteSize.h"
#include "window/NoteTextEdit.h"
#include "window/NoteTitle.h"
#include "window/OpenNotes.h"
#include "window/SpecialNoteEngine.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr int kNewNoteOffsetTwips = 200;
// Opening more notes than this at once asks first.
constexpr qsizetype kManyNotes = 50;
// A stored size larger than this many virtual desktops is damage, not a note.
constexpr int kMostDesktops = 16;

QList<frmMain*>& windowList()
{
    static QList<frmMain*> windows;
    return windows;
}

bool quitWhenLastNoteCloses = false;

using modMain::Setting;

bool isTrueText(const QString& text)
{
    return text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

QString flagText(bool flag)
{
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

// A flag setting that is neither word keeps the value it had.
void readFlag(Setting id, bool& field)
{
    const QString text = modMain::ReadSetting(id);
    if (isTrueText(text))
        field = true;
    else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        field = false;
}

// A number setting that does not convert keeps the value it had.
template <typename Field> void readNumber(Setting id, Field& field, const QString& defaultText = {})
{
    const QString text =
        defaultText.isNull() ? modMain::ReadSetting(id) : modMain::ReadSetting(id, defaultText);
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (ok && number >= std::numeric_limits<qint32>::min() &&
        number <= std::numeric_limits<qint32>::max())
        field = static_cast<Field>(static_cast<qint32>(std::nearbyint(number)));
}

// The longest a note may be: a few desktops, and never more than a window can be.
int largestTwips(Qt::Orientation orientation)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->virtualGeometry() : QRect(0, 0, 1024, 768);
    const int extent = orientation == Qt::Horizontal ? desktop.width() : desktop.height();
    const int pixels = std::min(kMostDesktops * extent, QWIDGETSIZE_MAX);
    return Twips::fromPixels(pixels);
}

// A number of the settings table's defaults.
int defaultNumber(Setting id)
{
    return modMain::settingDefault(id).toInt();
}

QRect screenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}
} // namespace

// The appearance part's way into its window: the few things of the note it may read and
// change, and nothing else.
class frmMain::AppearanceHost final : public NoteAppearanceHost {
public:
    explicit AppearanceHost(frmMain& window) : m_window(window) {}

    QWidget* noteWindow() override { return &m_window; }
    NoteTextEdit* textArea() override { return m_window.m_rtb; }
    NoteRecord& record() override { return m_window.m_Note; }
    NoteMenuSet& menus() override { return m_window.m_menus; }
    void noteChanged() override { emit m_window.noteChanged(); }

private:
    frmMain& m_window;
};

frmMain::frmMain() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Tells note windows from the program's other windows, whatever their titles say.
    setWindowRole(QStringLiteral("note"));
    setWindowIcon(Artwork::appIcon());
    resize(Twips::toPixels(NoteSize::InitialWidth), Twips::toPixels(NoteSize::InitialHeight));
    buildControls();
    new NoteTitle(this, m_rtb->document());
    setUpSpecialNotes();
    setUpEditor();
    m_appearance = std::make_unique<NoteAppearance>(std::make_unique<AppearanceHost>(*this));
    m_drag = new NoteDrag(this);
    connectControls();
    windowList().append(this);
    OpenNotes::watch(*this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { m_appearance->applicationStateChanged(state); });
}

frmMain::~frmMain()
{
    windowList().removeAll(this);
}

frmMain* frmMain::create(NoteOrigin origin, const NoteRecord& record)
{
    auto* window = new frmMain;
    window->load(origin, record);
    emit window->noteChanged();
    return window;
}

QList<frmMain*> frmMain::openWindows()
{
    return windowList();
}

void frmMain::setQuitWhenLastNoteCloses(bool quit)
{
    quitWhenLastNoteCloses = quit;
}

void frmMain::load(NoteOrigin origin, const NoteRecord& record)
{
    // A window tied to a file is a stored note to the load step: it keeps the size, place
    // and time stamp it is given next.
    const bool tied = origin == NoteOrigin::NoteFile;
    if (tied)
        m_Note.FileName = record.FileName;
    Form_Load(tied || origin == NoteOrigin::FolderNote);
    if (origin != NoteOrigin::NewNote)
        fillFromRecord(origin, record);
}

void frmMain::fillFromRecord(NoteOrigin origin, const NoteRecord& record)
{
    setTextRTF(record.Data);
    m_appearance->applyStoredColor(record.Color);
    m_appearance->applyStoredWorkspaces(record.OnAllWorkspaces);
    if (origin == NoteOrigin::NoteFile || origin == NoteOrigin::ManagerCopy ||
        origin == NoteOrigin::FolderNote)
        m_subCaption->setText(record.TimeDate);
    setHeightTwips(record.Height);
    setWidthTwips(record.Width);
    setTopTwips(record.Top);
    setLeftTwips(record.Left);
    if (origin != NoteOrigin::ManagerCopy)
        setShownFile(record.FileName);
    if (!record.FolderId.isEmpty() && origin != NoteOrigin::ManagerCopy)
        setFolderId(record.FolderId);
    m_Note.TracksChanges = true;
    if (origin == NoteOrigin::FolderNote)
        setChanged(false);
}

void frmMain::setFolderId(const QString& id)
{
    m_Note.FolderId = id;
    m_strip->showConflictCopy(NotesFolder::isConflictCopy(id));
}

void frmMain::takeFolderVersion(const NoteRecord& record)
{
    const bool changed = m_Note.Changed;
    setTextRTF(record.Data);
    m_appearance->applyStoredColor(record.Color);
    if (m_minimized) {
        // The strip stays; the note opens to the new size.
        m_Note.Height = record.Height;
        m_Note.Width = record.Width;
    } else {
        setSizeTwips(record.Width, record.Height);
    }
    setTopTwips(record.Top);
    setLeftTwips(record.Left);
    m_Note.TimeDate = record.TimeDate;
    m_subCaption->setText(record.TimeDate);
    setChanged(changed);
}

void frmMain::closeWithdrawn()
{
    m_closeReason = CloseReason::Withdrawn;
    close();
}

void frmMain::Form_Load(bool storedNote)
{
    using NoteMenus::mnuAutoSave, NoteMenus::mnuNewNoteSaveOnClose;
    if (isTrueText(modMain::ReadSetting(modMain::Setting::SaveSetting))) {
        loadFromSettings(storedNote);
    } else {
        m_Note.CaptionType = CaptionKind::TimeDate;
        loadBuiltInDefaults(storedNote);
    }
    QFont font = m_rtb->font();
    font.setPointSize(m_Note.FontSize > 0 ? m_Note.FontSize
                                          : defaultNumber(Setting::DefaultFontSize));
    m_rtb->setFont(font);
    m_rtb->document()->setDefaultFont(font);
    m_editor->CheckFontSizeMenu(m_Note.FontSize);
    m_appearance->applyStoredColor(m_Note.Color);
    setWidthTwips(m_Note.Width);
    setHeightTwips(m_Note.Height);
    readFlag(Setting::AutoSave, m_Note.AutoSave);
    readFlag(Setting::SaveNewNoteOnClose, m_Note.SaveNewNoteOnClose);
    setItemChecked(mnuAutoSave, -1, m_Note.AutoSave);
    setItemChecked(mnuNewNoteSaveOnClose, -1, m_Note.SaveNewNoteOnClose);
    m_appearance->ChangeForeColor(m_Note.ForeColor);
    applyCaptionType();
    modMain::SetDropShadow(this);
    m_appearance->setUp();
    m_drag->setUpSnapping();
    m_rtb->setFocus();
}

void frmMain::loadBuiltInDefaults(bool storedNote)
{
    m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
    QFont font = m_rtb->font();
    font.setFamily(modMain::settingDefault(Setting::FontName));
    m_rtb->setFont(font);
    m_Note.FontSize = defaultNumber(Setting::DefaultFontSize);
    m_Note.Alpha = defaultNumber(Setting::Alpha);
    m_Note.Color = modMain::settingDefault(Setting::Color);
    m_Note.ForeColor = defaultNumber(Setting::ForeColor);
    if (storedNote) {
        const QRect place = twipsGeometry();
        m_Note.Height = place.height();
        m_Note.Left = place.left();
        m_Note.Top = place.top();
        m_Note.Width = place.width();
    } else {
        m_Note.Width = NoteSize::DefaultWidth;
        m_Note.Height = NoteSize::DefaultHeight;
        const QRect area = screenArea();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    modMain::SetTopMost(this, modMain::TopMostMode::IntoBand);
    m_Note.IsOnTop = true;
}

void frmMain::loadFromSettings(bool storedNote)
{
    if (!storedNote) {
        m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
        m_Note.Color = modMain::ReadSetting(Setting::Color);
        readNumber(Setting::Height, m_Note.Height);
        readNumber(Setting::Width, m_Note.Width);
        const QRect area = screenArea();
        const QString centredTop = QString::number(Twips::fromPixels(area.height() - height()) / 2);
        const QString centredLeft = QString::number(Twips::fromPixels(area.width() - width()) / 2);
        qint32 top = Twips::fromPixels(y());
        qint32 left = Twips::fromPixels(x());
        readNumber(Setting::Top, top, centredTop);
        readNumber(Setting::Left, left, centredLeft);
        setLeftTwips(left);
        setTopTwips(top);
    }
    readNumber(Setting::Alpha, m_Note.Alpha);
    readNumber(Setting::CaptionType, m_Note.CaptionType);
    m_Note.IsOnTop = isTrueText(modMain::ReadSetting(Setting::IsOnTop));
    modMain::SetTopMost(this, m_Note.IsOnTop ? modMain::TopMostMode::IntoBand
                                             : modMain::TopMostMode::OutOfBand);
    readNumber(Setting::ForeColor, m_Note.ForeColor);
    setItemChecked(NoteMenus::mnuSaveSettings, -1, true);
    readNumber(Setting::CaptionType, m_Note.CaptionType);
    QFont font = m_rtb->font();
    font.setFamily(modMain::ReadSetting(Setting::FontName));
    m_rtb->setFont(font);
    readNumber(Setting::DefaultFontSize, m_Note.FontSize);
}

void frmMain::applyCaptionType()
{
    const std::optional<CaptionKind> kind = captionKind();
    if (!kind)
        return;
    if (kind == CaptionKind::TimeDate)
        m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
    mnuCaptionType_Click(*kind);
}

QLabel* frmMain::lblCaption() const
{
    return m_strip->caption();
}

QLabel* frmMain::lblSubCaption() const
{
    return m_subCaption;
}

QString frmMain::TextRTF() const
{
    if (m_Note.HeldData)
        return *m_Note.HeldData;
    return QString::fromLatin1(RichText::textRTF(m_rtb));
}

QString frmMain::Text() const
{
    return m_rtb->Text();
}

void frmMain::setHeightTwips(int twips)
{
    twips = std::clamp(twips, NoteSize::MinHeight, largestTwips(Qt::Vertical));
    rememberTwips(HeightField, twips); // first, so the resize handler reads the new value
    resize(width(), Twips::toPixels(twips));
}

void frmMain::setWidthTwips(int twips)
{
    twips = std::clamp(twips, NoteSize::MinWidth, largestTwips(Qt::Horizontal));
    rememberTwips(WidthField, twips); // first, so the resize handler reads the new value
    resize(Twips::toPixels(twips), height());
}

void frmMain::setSizeTwips(int width, int height)
{
    setHeightTwips(height);
    setWidthTwips(width);
}

void frmMain::setTopTwips(int twips)
{
    rememberTwips(TopField, twips); // first, so the resize handler reads the new value
    move(x(), Twips::toPixels(twips));
}

void frmMain::setLeftTwips(int twips)
{
    rememberTwips(LeftField, twips); // first, so the resize handler reads the new value
    move(Twips::toPixels(twips), y());
}

void frmMain::rememberTwips(TwipsField field, int twips)
{
    m_memoTwips[field] = twips;
    m_memoPixels[field] = Twips::toPixels(twips);
}

int frmMain::twipsOf(TwipsField field, int pixels) const
{
    if (m_memoPixels[field] == pixels && Twips::toPixels(m_memoTwips[field]) == pixels)
        return m_memoTwips[field];
    return Twips::fromPixels(pixels);
}

QRect frmMain::twipsGeometry() const
{
    return QRect(twipsOf(LeftField, x()), twipsOf(TopField, y()), twipsOf(WidthField, width()),
                 twipsOf(HeightField, height()));
}

void frmMain::setChanged(bool changed)
{
    m_Note.Changed = changed;
    m_strip->showChanged(changed);
    setWindowModified(changed);
}

void frmMain::setOnTopFromRecord()
{
    m_appearance->setOnTopFromRecord();
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        m_appearance->Form_Activate();
    else
        m_appearance->Form_Deactivate();
}

NoteRecord frmMain::recordFromWindow() const
{
    NoteRecord record;
    const QRect place = twipsGeometry();
    record.FileName = m_Note.FileName;
    record.Data = TextRTF();
    record.Height = place.height();
    record.Width = place.width();
    record.Left = place.left();
    record.Top = place.top();
    record.Color = m_Note.Color;
    record.TimeDate = m_subCaption->text();
    return record;
}

bool frmMain::PerformSave(SaveKind kind)
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    const NoteRecord record = recordFromWindow();
    modNote::WriteFailure failure;
    if (kind == SaveKind::AppendTo) {
        // The note keeps its own file and its marker: appending copies it elsewhere.
        modNote::AppendNote(record, QString(), this, &failure);
        reportWriteFailure(failure);
        setOnTopFromRecord();
        return failure.path.isEmpty();
    }
    // A save through the file dialog names the new file in the subcaption.
    const bool toChosenFile = kind == SaveKind::SaveAs || record.FileName.isEmpty();
    const QString result =
        modNote::SaveNote(record, toChosenFile ? QString() : record.FileName, this, &failure);
    const bool saved = result.compare(modNote::NoneSentinel, Qt::CaseInsensitive) != 0;
    if (saved) {
        if (toChosenFile)
            setShownFile(result);
        setChanged(false);
        m_Note.FileName = result;
        if (m_Note.CaptionType == CaptionKind::FileName)
            showFileCaption();
    }
    reportWriteFailure(failure);
    setOnTopFromRecord();
    return saved;
}

// A save the user asked for and that did not reach the disk is told, not only logged.
void frmMain::reportWriteFailure(const modNote::WriteFailure& failure)
{
    if (failure.path.isEmpty())
        return;
    MessageBox::show(this, QMessageBox::Warning, CaptionStrip::title(),
                     tr("The note could not be saved to %1: %2")
                         .arg(QDir::toNativeSeparators(failure.path), failure.error.reason()),
                     QMessageBox::Ok);
}

void frmMain::OpenNoteFile()
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    NoteRecordList list = modNote::LoadNote(false, QString(), this);
    if (list.size() > kManyNotes && !openAllAnswered(list.size()))
        list.resize(1);
    // The first note takes this one's place: its changes are saved first, or let go, as when
    // the note closes. A cancel keeps everything as it was and opens nothing.
    if (!list.isEmpty() && isChanged() && !saveChangesFirst()) {
        setOnTopFromRecord();
        return;
    }
    if (!list.isEmpty()) {
        // The first note replaces this one's content; the window keeps its place.
        const NoteRecord& first = list.first();
        setTextRTF(first.Data);
        m_appearance->applyStoredColor(first.Color);
        setHeightTwips(first.Height);
        setWidthTwips(first.Width);
        const QRect place = twipsGeometry();
        m_Note.Height = place.height();
        m_Note.Width = place.width();
        m_subCaption->setText(first.TimeDate);
        m_Note.TimeDate = m_subCaption->text();
        setShownFile(first.FileName);
        m_Note.FileName = first.FileName;
        m_Note.TracksChanges = true;
        if (m_Note.CaptionType == CaptionKind::FileName)
            showFileCaption();
    }
    for (qsizetype i = 1; i < list.size(); ++i)
        create(NoteOrigin::StoredRecord, list[i])->show();
    setOnTopFromRecord();
}

// A file of thousands of notes would cover the desktop with windows and take the memory
// with them; the user decides.
bool frmMain::openAllAnswered(qsizetype count)
{
    return MessageBox::show(this, QMessageBox::Question, tr("Open"),
                            tr("This file holds %1 notes. Open them all?").arg(count),
                            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void frmMain::NewNoteWindow()
{
    frmMain* window = create(NoteOrigin::NewNote);
    const QRect place = twipsGeometry();
    window->setLeftTwips(place.left() + kNewNoteOffsetTwips);
    window->setTopTwips(place.top() + kNewNoteOffsetTwips);
    window->show();
}

// One locked update of the settings: a large hive is written once, not fourteen times.
void frmMain::SaveSettings()
{
    const bool remember = isItemChecked(NoteMenus::mnuSaveSettings);
    std::vector<std::pair<Setting, QString>> values;
    if (remember) {
        const QRect place = twipsGeometry();
        values = {
            {Setting::Color, m_Note.Color},
            {Setting::ForeColor, QString::number(m_Note.ForeColor)},
            {Setting::IsOnTop, flagText(m_Note.IsOnTop)},
            {Setting::Alpha, QString::number(m_Note.Alpha)},
            {Setting::FontName, m_rtb->font().family()},
            {Setting::DefaultFontSize, QString::number(m_Note.FontSize)},
            {Setting::Height, QString::number(place.height())},
            {Setting::Width, QString::number(place.width())},
            {Setting::Top, QString::number(place.top())},
            {Setting::Left, QString::number(place.left())},
        };
        if (const auto kind = captionKind())
            values.emplace_back(Setting::CaptionType, QString::number(qint32(*kind)));
    }
    values.emplace_back(Setting::SaveSetting, flagText(remember));
    values.emplace_back(Setting::AutoSave, flagText(m_Note.AutoSave));
    values.emplace_back(Setting::SaveNewNoteOnClose, flagText(m_Note.SaveNewNoteOnClose));
    // Closing goes on whatever becomes of the settings; the failure is kept in the log.
    if (const Result written = modMain::WriteSettings(values); written.failed())
        modMain::WriteLogEntry(QStringLiteral("frmMain: SaveSettings"), written.error());
}

void frmMain::closeForSessionEnd()
{
    m_closeReason = CloseReason::SessionEnding;
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    const CloseReason reason = m_closeReason;
    m_closeReason = CloseReason::User;
    if (!Form_QueryUnload(reason)) {
        event->ignore();
        return;
    }
    // Unloaded from here on, though the object itself goes a little later: nothing of the
    // special note runs on or answers meanwhile.
    windowList().removeAll(this);
    m_specialNotes->stop();
    event->accept();
    // Closing the last note by hand ends the run normally; at the end of the session the
    // file goes once every note is kept.
    if (reason == CloseReason::User)
        emit closedByUser();
    // Menus and message boxes may outlive the notes; the notes are the application. A note
    // removed on another computer is no reason to end it: more may come from the folder.
    if (windowList().isEmpty() && quitWhenLastNoteCloses && reason != CloseReason::Withdrawn)
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

// What closing takes from the window: the text, the subcaption and the place. Height and Width
// stay the size the note returns to from the strip.
void frmMain::refreshFromWindow(NoteRecord& record) const
{
    const QRect place = twipsGeometry();
    record.Data = TextRTF();
    record.TimeDate = m_subCaption->text();
    record.Left = place.left();
    record.Top = place.top();
}

bool frmMain::Form_QueryUnload(CloseReason reason)
{
    SaveSettings();
    refreshFromWindow(m_Note);
    // At the end of the session every note was already kept, all of them together; a note
    // removed elsewhere has nothing to keep.
    if (reason != CloseReason::User)
        return true;
    if (isChanged() && !saveChangesFirst()) {
        setOnTopFromRecord();
        return false;
    }
    if (openWindows().size() == 1)
        modMain::RemoveRunAtStartUp();
    return true;
}

// The save prompt of a changed note that is about to close or take another note's text. False
// keeps the note as it is: the user cancelled, or the save did not happen, since an edit that
// was not written is never thrown away unasked.
bool frmMain::saveChangesFirst()
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    if (m_Note.FileName.isEmpty() || !m_Note.AutoSave) {
        answer = MessageBox::show(this, QMessageBox::NoIcon, tr("Perform Save"),
                                  tr("Changes have been made to this note.\r\n"
                                     "Would you like to save now?"),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    }
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    return PerformSave(m_Note.FileName.isEmpty() ? SaveKind::SaveAs : SaveKind::Save);
}

NoteRecord frmMain::recordAsKept() const
{
    NoteRecord kept = m_Note.record();
    refreshFromWindow(kept);
    // A note comes back at the size it has now; a minimised one at its full size.
    if (!m_minimized) {
        const QRect place = twipsGeometry();
        kept.Height = place.height();
        kept.Width = place.width();
    }
    return kept;
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    placeOnReachableScreen();
    // The window exists now and is mapped right after this event.
    m_appearance->aboutToMap();
}

// A note stored where no screen is now (a monitor was removed) is shown on the nearest one.
void frmMain::placeOnReachableScreen()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    const QRect frame = geometry();
    const QRect strip(frame.topLeft(),
                      QSize(frame.width(), Twips::toPixels(FrameLayout::StripHeight)));
    QScreen* nearest = screens.first();
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (QScreen* screen : screens) {
        const QRect area = screen->availableGeometry();
        if (area.intersects(strip))
            return;
        const QPoint delta = area.center() - frame.center();
        const qint64 distance = qint64(delta.x()) * delta.x() + qint64(delta.y()) * delta.y();
        if (distance < bestDistance) {
            bestDistance = distance;
            nearest = screen;
        }
    }
    const QRect area = nearest->availableGeometry();
    const int left =
        std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width()));
    const int top =
        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height()));
    move(left, top);
}

void frmMain::mnuSystemDefaultSize_Click()
{
    setSizeTwips(NoteSize::DefaultWidth, NoteSize::DefaultHeight);
}

void frmMain::mnuSystemReset_Click()
{
    setSizeTwips(NoteSize::DefaultWidth, NoteSize::DefaultHeight);
    // The default is a colour, so this cannot fail.
    (void)m_appearance->SetNoteColor(modMain::settingDefault(Setting::Color), true);
    m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
    m_subCaption->setText(m_Note.TimeDate);
    setShownFile(QString());
}
