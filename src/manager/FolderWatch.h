#pragma once

#include "shell/AppError.h"
#include "store/NoteRecord.h"
#include "store/NotesFolder.h"

#include <QByteArray>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <memory>

class BackgroundTask;
class frmMain;

// The open notes and the notes folder kept in step while one folder is in use: the notes are
// written there after their changes, and what another computer's sync tool adds, changes or
// removes there reaches the notes. It lives while the folder is in use; FolderNotes owns it.
//
// A note's change of its own is told by two baselines: the bytes of its file as last read or
// written, and the note's record as its file would carry it right after that. A record that
// differs from the second is a change here, whatever the first says; so a note whose text
// comes out a little differently each time it is drawn from the file never counts as changed,
// and two computers never write one note back and forth.
class FolderWatch : public QObject {
public:
    // How often the folder is listed again, for tools that write files in place and for
    // events the watcher misses: only names, times and sizes, no file is read.
    static constexpr int kRescanMs = 3000;
    // After the watcher's event, the sync tools' renames settle before the folder is listed.
    static constexpr int kSettleMs = 200;

    FolderWatch(const QString& folder, QObject* parent);
    ~FolderWatch() override;

    QString folder() const { return m_folder; }
    // Takes the folder into use: opens its notes, gives every open note a file, and starts
    // watching. The number of notes that opened from the folder.
    int start();
    // Follows a note window made while the folder is in use.
    void follow(frmMain& window);
    // Whether record (from the main data file or a recovery file) is already open as the note
    // of its FolderId.
    bool holds(const NoteRecord& record) const;
    // Writes the records that belong to the folder now, on this thread; what it did not take.
    NoteRecordList keepNow(const NoteRecordList& records);

private:
    // What is known of one note of the folder.
    struct Note {
        QPointer<frmMain> window;
        QByteArray fileBytes;     // the file as last read or written; empty: it has none yet
        NotesFolder::Entry stamp; // the file's time, size and inode then
        NoteRecord baseline;      // the window's record as its file carries it, right after
        bool hasBaseline = false;
    };
    struct WriteJob {
        QString id;
        QByteArray bytes;
        NoteRecord record;
    };
    struct WriteOutcome {
        QString id;
        QByteArray bytes;
        NoteRecord record;
        Result result;
        NotesFolder::Entry written;
    };

    // Gives each open window not followed yet its note: its id, a fresh one when it has none,
    // a conflict copy's id when another window holds its id.
    void adoptWindows();
    static NoteRecord fileRecordOf(const frmMain& window);
    bool hasLocalChange(const Note& note) const;

    // --- Files to notes.
    void rescan();
    enum class Missing { Close, Rewrite };
    void takeEntries(const QList<NotesFolder::Entry>& entries, Missing missing);
    void checkFile(const QString& id, const NotesFolder::Entry& entry);
    // A new file's note opens; false when it could not be read.
    bool openFile(const NotesFolder::Entry& entry);
    frmMain* openWindow(const NoteRecord& record);
    void settle(Note& note, const QByteArray& bytes, const NotesFolder::Entry& entry);
    void fileGone(const QString& id, Missing missing);
    bool passedOver(const NotesFolder::Entry& entry) const;
    void logBad(const NotesFolder::Entry& entry, const AppError& error);
    void watchFiles(const QList<NotesFolder::Entry>& entries);
    void trash(const QString& id);

    // --- Notes to files.
    void touched(frmMain& window);
    void closedByHand(frmMain& window);
    void flush();
    QList<WriteJob> pendingWrites();
    void writesDone(const QList<WriteOutcome>& outcomes);
    bool writing() const;

    // --- A folder that takes no files.
    void enterOutage(const AppError& why);
    void leaveOutage();
    void tellOutage(const QString& why);

    QString m_folder;
    QHash<QString, Note> m_notes; // by id
    // Versions of files passed over until they change: those that did not parse (logged once)
    // and those of notes closed here whose file could not go to the trash.
    QHash<QString, NotesFolder::Entry> m_passed;
    QSet<const frmMain*> m_dirty;
    // Notes closed by hand while the folder was away: their files go to the trash once it is
    // back, rather than opening again.
    QSet<QString> m_trashLater;
    QFileSystemWatcher m_watcher;
    QTimer m_rescanTimer;
    QTimer m_settleTimer;
    QTimer m_writeTimer;
    QTimer m_trashTimer;
    std::unique_ptr<BackgroundTask> m_write;
    bool m_rescanAfterWrite = false;
    bool m_outage = false;
    bool m_telling = false;
    // The session ended and every note was written: notes closing now are no news for the
    // folder, and files there open nothing.
    bool m_ended = false;
    int m_opening = -1; // notes that opened from the folder, counted during start()
};
