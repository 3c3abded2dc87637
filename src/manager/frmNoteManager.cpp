#include "manager/frmNoteManager.h"

#include "dialogs/MessageBox.h"
#include "manager/NoteListModel.h"
#include "richtext/RichText.h"
#include "shell/AtomicFile.h"
#include "shell/BackgroundTask.h"
#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "shell/Twips.h"
#include "shell/modFileFunctions.h"
#include "store/NoteDocument.h"
#include "store/NoteFileLock.h"
#include "store/modNote.h"
#include "window/Artwork.h"
#include "window/frmMain.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPointer>
#include <QTextEdit>
#include <QToolBar>

static void ensureManagerResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(manager);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {
const QString kRefreshContext = QStringLiteral("frmNoteManager: RefreshDisplay");
const QString kItemClickContext = QStringLiteral("frmNoteManager: lvNotes_ItemClick");
const QString kDeleteContext = QStringLiteral("frmNoteManager: DeleteNote");
const QString kShowContext = QStringLiteral("frmNoteManager: ShowNote");

// Shown through tr() where they are used.
const char* const kDeleteTitle = QT_TRANSLATE_NOOP("frmNoteManager", "Jottex Delete");
const char* const kDeleteQuestion =
    QT_TRANSLATE_NOOP("frmNoteManager", "Are you sure you want to delete this note?");
const char* const kFileChangedQuestion = QT_TRANSLATE_NOOP(
    "frmNoteManager", "The note file was changed by another window or program since it was listed. "
                      "The list now shows the file as it is.\n\n"
                      "Are you sure you want to delete this note?");
const char* const kChosenNoteChanged = QT_TRANSLATE_NOOP(
    "frmNoteManager",
    "The note file was changed by another window or program since it was listed, "
    "and the note is no longer in it as it was. Nothing was deleted; the list now "
    "shows the file as it is.");

const QString kOpenKey = QStringLiteral("open");
const QString kShowKey = QStringLiteral("show");
const QString kDeleteKey = QStringLiteral("delete");

// The design, in twips.
constexpr int kClientWidth = 3630;
constexpr int kClientHeight = 2550;
constexpr int kToolbarHeight = 360;
constexpr int kPreviewHeight = 495;
constexpr int kListIconSide = 32;
// Room for an icon over "Note 10000" on one line.
constexpr int kGridWidth = 1080;
constexpr int kGridHeight = 840;
constexpr int kToolIconSide = 16;

// The temporary file earlier versions rewrote through; one left behind goes with the next
// delete.
constexpr char kOldTemporaryName[] = "tmp_note.not";

QPointer<frmNoteManager>& instance()
{
    static QPointer<frmNoteManager> window;
    return window;
}

// The notes without element index: the last one takes its place.
NoteRecordList withoutNote(NoteRecordList notes, qsizetype index)
{
    if (index != notes.size() - 1)
        notes[index] = notes.last();
    notes.removeLast();
    return notes;
}

// Why the listed file cannot be rewritten now: it vanished or cannot be read any more.
Result unreadable(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        AppError error = AppError::fromNumber(ErrorNumber::FileNotFound);
        error.description += QStringLiteral(": ") + path;
        return error;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        AppError error = AppError::fromNumber(ErrorNumber::PermissionDenied);
        error.description += QStringLiteral(": ") + path;
        return error;
    }
    return {};
}

// The notes the file holds now, read as the list read them.
Expected<NoteRecordList> notesOnDisk(const QString& path)
{
    if (Result failure = unreadable(path); failure.failed())
        return failure.error();
    const Expected<QDomDocument> document = NoteDocument::parseFile(path);
    if (document.failed())
        return document.error();
    return NoteDocument::records(document.value(), path);
}
} // namespace

// A dialog's window is transient for its owner: the window manager keeps the manager above
// the note that opened it, in the note's band. It keeps the buttons of a window of its own.
frmNoteManager::frmNoteManager(QWidget* owner)
    : QMainWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    ensureManagerResources();
    setObjectName(QStringLiteral("frmNoteManager"));
    setWindowTitle(tr("Multi-Note Manager"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_client = new QWidget(this);
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    buildToolbar();

    m_model = new NoteListModel(this);
    m_model->setIcon(Artwork::noteIcon());
    m_lvNotes = new QListView(m_client);
    m_lvNotes->setObjectName(QStringLiteral("lvNotes"));
    m_lvNotes->setViewMode(QListView::IconMode);
    m_lvNotes->setMovement(QListView::Static);
    m_lvNotes->setResizeMode(QListView::Adjust);
    m_lvNotes->setUniformItemSizes(true);
    m_lvNotes->setWrapping(true);
    m_lvNotes->setWordWrap(false);
    m_lvNotes->setGridSize(QSize(Twips::toPixels(kGridWidth), Twips::toPixels(kGridHeight)));
    m_lvNotes->setIconSize(QSize(kListIconSide, kListIconSide));
    m_lvNotes->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvNotes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvNotes->setModel(m_model);
    m_lvNotes->setAccessibleName(tr("Notes"));
    m_lvNotes->setAccessibleDescription(tr("The notes of the open file"));
    connect(m_lvNotes, &QListView::clicked, this, &frmNoteManager::lvNotes_ItemClick);

    m_rtbPreview = new QTextEdit(m_client);
    m_rtbPreview->setObjectName(QStringLiteral("rtbPreview"));
    m_rtbPreview->setReadOnly(true);
    m_rtbPreview->setAccessibleName(tr("Note preview"));

    buildMenus();
    setCommandsEnabled(false);

    m_client->setMinimumSize(0, 0);
    resize(Twips::toPixels(kClientWidth),
           Twips::toPixels(kClientHeight) + menuBar()->sizeHint().height());
    m_client->resize(Twips::toPixels(kClientWidth), Twips::toPixels(kClientHeight));
    Form_Resize();
}

frmNoteManager::~frmNoteManager()
{
    // Form_Unload: the next opening starts empty; a file still being read is given up.
    m_loading.reset();
    m_Notes.clear();
}

void frmNoteManager::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("File"));
    file->setObjectName(QStringLiteral("mnuFileMain"));
    QAction* open = file->addAction(tr("Open Note"));
    open->setObjectName(QStringLiteral("mnuOpen"));
    connect(open, &QAction::triggered, this, [this] { RefreshDisplay(QString()); });
    file->addSeparator()->setObjectName(QStringLiteral("sep1"));
    QAction* close = file->addAction(tr("Close"));
    close->setObjectName(QStringLiteral("mnuClose"));
    connect(close, &QAction::triggered, this, &QWidget::close);

    QMenu* tools = menuBar()->addMenu(tr("Tools"));
    tools->setObjectName(QStringLiteral("mnuToolsMain"));
    m_mnuDelete = tools->addAction(tr("Delete Note"));
    m_mnuDelete->setObjectName(QStringLiteral("mnuDelete"));
    connect(m_mnuDelete, &QAction::triggered, this, &frmNoteManager::deleteSelected);
    m_mnuPreview = tools->addAction(tr("Show Note"));
    m_mnuPreview->setObjectName(QStringLiteral("mnuPreview"));
    connect(m_mnuPreview, &QAction::triggered, this, &frmNoteManager::ShowNote);
}

void frmNoteManager::buildToolbar()
{
    m_toolbar1 = new QToolBar(m_client);
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setIconSize(QSize(kToolIconSide, kToolIconSide));
    m_toolbar1->setMovable(false);
    // ilToolbar: one picture per key.
    const QHash<QString, QIcon> ilToolbar{
        {kDeleteKey, QIcon(QStringLiteral(":/icons/manager/delete.svg"))},
        {kOpenKey, Artwork::menuIcon(QStringLiteral("Open"))},
        {kShowKey, QIcon(QStringLiteral(":/icons/manager/show.svg"))},
    };
    const std::array<std::pair<QString, QString>, 3> buttons{{
        {kOpenKey, tr("Open a note")},
        {kShowKey, tr("Show note(s)")},
        {kDeleteKey, tr("Delete note(s)")},
    }};
    for (const auto& [key, toolTip] : buttons) {
        // The bar shows pictures only; the text is the name a screen reader says.
        QAction* button = m_toolbar1->addAction(ilToolbar.value(key), toolTip);
        button->setObjectName(key);
        button->setToolTip(toolTip);
        const QString clickedKey = key;
        connect(button, &QAction::triggered, this,
                [this, clickedKey] { Toolbar1_ButtonClick(clickedKey); });
        m_buttons.insert(key, button);
    }
}

void frmNoteManager::showFor(QWidget* owner)
{
    if (!instance())
        instance() = new frmNoteManager(owner);
    instance()->show();
    instance()->raise();
    instance()->activateWindow();
}

frmNoteManager* frmNoteManager::current()
{
    return instance();
}

void frmNoteManager::setCommandsEnabled(bool enabled)
{
    m_mnuPreview->setEnabled(enabled);
    m_mnuDelete->setEnabled(enabled);
    m_buttons.value(kShowKey)->setEnabled(enabled);
    m_buttons.value(kDeleteKey)->setEnabled(enabled);
}

void frmNoteManager::RefreshDisplay(const QString& fileName)
{
    const std::optional<QString> path = modNote::ChooseFileToOpen(fileName, this);
    // What was listed goes at once: nothing is deleted from a list that is being replaced.
    m_loading.reset();
    m_Notes.clear();
    listNotes();
    if (!path)
        return;
    // A file of thousands of notes takes a while to read; the interface keeps answering.
    m_loading = BackgroundTask::start(
        this,
        [file = *path](const BackgroundTask::Abandoned&) {
            return NoteDocument::readRecordsFile(file);
        },
        [this](const Expected<NoteRecordList>& records) {
            m_Notes = modNote::ReadOutcome(records);
            listNotes();
        });
}

bool frmNoteManager::isLoading() const
{
    return m_loading && m_loading->isRunning();
}

void frmNoteManager::listNotes()
{
    m_model->setNoteCount(m_Notes.size());
    m_rtbPreview->clear();
    // As a list control selects its first item after a load, without showing it.
    if (!m_Notes.isEmpty())
        m_lvNotes->setCurrentIndex(m_model->index(0));
    setCommandsEnabled(!m_Notes.isEmpty());
}

qsizetype frmNoteManager::selectedIndex() const
{
    const QModelIndexList selected = m_lvNotes->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void frmNoteManager::lvNotes_ItemClick(const QModelIndex& item)
{
    const qsizetype n = item.row();
    if (!item.isValid() || n >= m_Notes.size()) {
        modMain::WriteLogEntry(kItemClickContext, AppError::fromNumber(ErrorNumber::ObjectNotSet));
        return;
    }
    // A note too long for a text area shows its start, as on the desktop.
    if (const std::optional<QString> part = frmMain::shownPart(m_Notes.at(n).Data))
        m_rtbPreview->setPlainText(*part);
    else
        RichText::setTextRTF(m_rtbPreview, m_Notes.at(n).Data);
}

void frmNoteManager::ShowNote()
{
    const qsizetype n = selectedIndex();
    if (n < 0 || n >= m_Notes.size()) {
        modMain::WriteLogEntry(kShowContext, AppError::fromNumber(ErrorNumber::ObjectNotSet));
        return;
    }
    // A copy on the desktop: the note stays in its file, and the window is not tied to it.
    frmMain::create(NoteOrigin::ManagerCopy, m_Notes.at(n))->show();
}

void frmNoteManager::deleteSelected()
{
    const qsizetype n = selectedIndex();
    if (n >= 0)
        DeleteNote(n);
}

void frmNoteManager::DeleteNote(qsizetype index)
{
    if (index < 0 || index >= m_Notes.size())
        return;
    QString question = tr(kDeleteQuestion);
    while (confirmDelete(question)) {
        const NoteRecord chosen = m_Notes.at(index);
        const QString path = chosen.FileName;
        // Told once the lock is let go: other writers need not wait for the box.
        const Expected<DeleteStep> step = deleteUnderLock(index);
        if (step.failed())
            reportDeleteFailure(path, step.error());
        if (step.failed() || step.value() == DeleteStep::Deleted)
            return;
        // The list now shows the file as another writer left it: the same note, if it is
        // still there, is asked about again.
        if (index >= m_Notes.size() || m_Notes.at(index) != chosen)
            index = m_Notes.indexOf(chosen);
        if (index < 0) {
            MessageBox::show(this, QMessageBox::Information, tr(kDeleteTitle),
                             tr(kChosenNoteChanged), QMessageBox::Ok);
            return;
        }
        selectNote(index);
        question = tr(kFileChangedQuestion);
    }
}

bool frmNoteManager::confirmDelete(const QString& question)
{
    if (m_Notes.size() == 1) {
        MessageBox::show(this, QMessageBox::Information, tr(kDeleteTitle),
                         tr("The last note in a Jottex file can not be deleted."), QMessageBox::Ok);
        return false;
    }
    return MessageBox::show(this, QMessageBox::NoIcon, tr("Confirm Delete"), question,
                            QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

Expected<frmNoteManager::DeleteStep> frmNoteManager::deleteUnderLock(qsizetype index)
{
    const QString target = m_Notes.first().FileName;
    NoteFileLock lock(target);
    if (Result locked = lock.lock(); locked.failed())
        return locked.error();
    // A file that went away meanwhile is not brought back.
    const Expected<NoteRecordList> onDisk = notesOnDisk(target);
    if (onDisk.failed())
        return onDisk.error();
    if (onDisk.value() != m_Notes) {
        m_Notes = onDisk.value();
        listNotes();
        return DeleteStep::FileChanged;
    }
    const NoteRecordList remaining = withoutNote(m_Notes, index);
    const QString leftover =
        modFileFunctions::AddBackslash(AppPaths::appDirectory()) + QLatin1String(kOldTemporaryName);
    if (modFileFunctions::FileExists(leftover))
        QFile::remove(leftover);
    // One document, written beside the file and renamed over it: the file is always either
    // the whole old one or the whole new one.
    const Expected<QByteArray> bytes = NoteDocument::savedThenAppended(remaining);
    if (bytes.failed())
        return bytes.error();
    if (Result written = AtomicFile::write(target, bytes.value()); written.failed())
        return written.error();
    // The list is rebuilt from what the file now holds; those are the notes just written, as
    // reading them back gives them, so the file is not read a second time.
    m_Notes.clear();
    for (const NoteRecord& note : remaining)
        m_Notes.append(NoteDocument::readBack(note));
    listNotes();
    return DeleteStep::Deleted;
}

// A delete the user asked for that did not reach the disk is told, not only logged.
void frmNoteManager::reportDeleteFailure(const QString& path, const AppError& error)
{
    modMain::WriteLogEntry(kDeleteContext, error);
    MessageBox::show(this, QMessageBox::Warning, tr(kDeleteTitle),
                     tr("The note could not be deleted from %1: %2")
                         .arg(QDir::toNativeSeparators(path), error.reason()),
                     QMessageBox::Ok);
}

void frmNoteManager::selectNote(qsizetype index)
{
    const QModelIndex item = m_model->index(static_cast<int>(index));
    m_lvNotes->setCurrentIndex(item);
    lvNotes_ItemClick(item);
}

void frmNoteManager::Toolbar1_ButtonClick(const QString& key)
{
    if (key == kOpenKey)
        RefreshDisplay(QString());
    else if (key == kDeleteKey)
        deleteSelected();
    else if (key == kShowKey)
        ShowNote();
}

bool frmNoteManager::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void frmNoteManager::Form_Resize()
{
    const int width = m_client->width();
    const int height = m_client->height();
    const int toolbarHeight = Twips::toPixels(kToolbarHeight);
    const int previewHeight = Twips::toPixels(kPreviewHeight);
    m_toolbar1->setGeometry(0, 0, width, toolbarHeight);
    // A window made smaller than the preview leaves the list as it was, as a failed move did.
    const int listHeight = height - previewHeight - toolbarHeight;
    if (listHeight >= 0)
        m_lvNotes->setGeometry(0, toolbarHeight, width, listHeight);
    m_rtbPreview->setGeometry(0, m_lvNotes->height() + toolbarHeight, width, previewHeight);
}
