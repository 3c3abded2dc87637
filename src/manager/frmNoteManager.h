#pragma once

#include "shell/AppError.h"
#include "store/NoteRecord.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <memory>

class BackgroundTask;
class NoteListModel;
class QAction;
class QListView;
class QModelIndex;
class QTextEdit;
class QToolBar;

// The Multi-Note Manager: lists the notes of one note file, previews one, opens copies of them
// as note windows and deletes them from the file. There is one for the whole program, owned
// by the note window that opened it, and it is discarded when it closes.
class frmNoteManager : public QMainWindow {
    Q_OBJECT

public:
    // Shows the one manager, making it, owned by owner, when none is open.
    static void showFor(QWidget* owner);
    // The open manager, or null.
    static frmNoteManager* current();
    ~frmNoteManager() override;

    // Loads the note file (asks for one when fileName is empty) and lists its notes. The file
    // is read on a pooled thread: the list is empty, its commands off, until it is read.
    void RefreshDisplay(const QString& fileName);
    // A file named to RefreshDisplay is still being read.
    bool isLoading() const;
    // Deletes element index from the note file, after the user confirms. A file that changed
    // since it was listed is listed again and the user asked again.
    void DeleteNote(qsizetype index);
    // Opens the selected note as a new note window.
    void ShowNote();

    // "open", "show" or "delete"; any other key does nothing.
    void Toolbar1_ButtonClick(const QString& key);
    void lvNotes_ItemClick(const QModelIndex& item);
    void Form_Resize();

    const NoteRecordList& notes() const { return m_Notes; }
    QListView* lvNotes() const { return m_lvNotes; }
    QTextEdit* rtbPreview() const { return m_rtbPreview; }
    QToolBar* Toolbar1() const { return m_toolbar1; }
    // The tool bar button of a key.
    QAction* toolbarButton(const QString& key) const { return m_buttons.value(key); }
    // The selected item's number - 1, or -1 when nothing is selected.
    qsizetype selectedIndex() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmNoteManager(QWidget* owner);
    void buildMenus();
    void buildToolbar();
    // Rebuilds the list from m_Notes and clears the preview.
    void listNotes();
    void setCommandsEnabled(bool enabled);
    void deleteSelected();

    // What a delete under the file's lock came to, when it did not fail.
    enum class DeleteStep { Deleted, FileChanged };
    // The user's yes to deleting the selected note; a file's last note is never deleted.
    bool confirmDelete(const QString& question);
    // Re-reads the file under its lock: as listed, it loses note index; changed since, it is
    // listed again instead. The failure (not yet told) when the file could not be rewritten.
    Expected<DeleteStep> deleteUnderLock(qsizetype index);
    void reportDeleteFailure(const QString& path, const AppError& error);
    // Selects and previews note index.
    void selectNote(qsizetype index);

    NoteRecordList m_Notes;
    QWidget* m_client = nullptr;
    QToolBar* m_toolbar1 = nullptr;
    QListView* m_lvNotes = nullptr;
    NoteListModel* m_model = nullptr;
    QTextEdit* m_rtbPreview = nullptr;
    QAction* m_mnuDelete = nullptr;
    QAction* m_mnuPreview = nullptr;
    QHash<QString, QAction*> m_buttons;        // the tool bar's buttons by key
    std::unique_ptr<BackgroundTask> m_loading; // reading the file being opened
};
