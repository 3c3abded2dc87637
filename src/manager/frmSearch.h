#pragma once

#include "store/NoteSearch.h"

#include <QDateTime>
#include <QHash>
#include <QWidget>
#include <memory>
#include <vector>

class BackgroundTask;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTimer;

// Search Notes: one window with a search field and the notes that match it, open notes and
// the notes of the files opened lately. Choosing a row raises the open note, or opens the note
// of its file. It searches as the user types, a moment after the last key.
class frmSearch : public QWidget {
    Q_OBJECT

public:
    // Shows the one search window, made when none is open, searching for text when not empty.
    static frmSearch* showWith(const QString& text);
    // The open search window, or null.
    static frmSearch* current();
    ~frmSearch() override;

    QLineEdit* txtSearch() const { return m_txtSearch; }
    QListWidget* lstResults() const { return m_lstResults; }
    const QList<SearchMatch>& matches() const { return m_matches; }
    // The notes of the remembered files are still being read.
    bool isLoading() const;

    // Searches now for what the field holds.
    void runSearch();
    // Raises the note of row, or opens it from its file.
    void openMatch(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    frmSearch();
    void retranslate();
    // Reads the notes of the remembered files that changed since they were last read.
    void refreshFiles();
    // The open notes, searchable, their folded texts kept while the text stays the same.
    QList<SearchableNote> openNotes();
    QList<SearchableNote> fileNotes() const;
    void listMatches();
    void moveSelection(int step);

    // The notes of one file as last read, and the file's time then.
    struct FileNotes {
        QDateTime modified;
        QList<SearchableNote> notes;
    };
    using FileCache = QHash<QString, FileNotes>;
    static FileCache refreshed(const QStringList& paths, const FileCache& cache);

    QLineEdit* m_txtSearch = nullptr;
    QListWidget* m_lstResults = nullptr;
    QLabel* m_lblStatus = nullptr;
    QTimer* m_typing = nullptr;
    QList<SearchMatch> m_matches;
    QList<SearchableNote> m_open;
    FileCache m_files;
    QStringList m_recent; // the remembered files, newest first
    std::unique_ptr<BackgroundTask> m_reading;
};
