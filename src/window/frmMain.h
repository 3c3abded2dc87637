#pragma once

#include "store/NoteRecord.h"

#include <QWidget>

class QLabel;
class QTextEdit;

// One note on the desktop: a window holding the note's rich text and its subcaption.
// The load step runs once, when the creator first touches the window; whoever opens a
// stored note sets NoteFileName before that.
class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    QString NoteFileName() const { return m_noteFileName; }
    void setNoteFileName(const QString& path) { m_noteFileName = path; }
    bool IsDirty() const { return m_isDirty; }
    void setIsDirty(bool dirty) { m_isDirty = dirty; }

    QTextEdit* RTB1();
    QLabel* lblCaption();
    QLabel* lblSubCaption();

    // The note's whole content as RTF.
    QString TextRTF();
    void setTextRTF(const QString& rtf);

    void SetNoteColor(const QString& strColor, bool AllowForeColorChange);

    // The window's size and place in twips, set one at a time as the creators do.
    void setHeightTwips(int twips);
    void setWidthTwips(int twips);
    void setTopTwips(int twips);
    void setLeftTwips(int twips);
    QRect twipsGeometry() const; // left, top, width, height

    // The full path the "File: " subcaption shows.
    QString tagText() const { return m_tag; }
    void setTagText(const QString& path) { m_tag = path; }

    const NoteRecord& note() const { return m_Note; }

    // Every note window that is still open, oldest first.
    static QList<frmMain*> openWindows();

private:
    void ensureLoaded();
    void Form_Load();
    void buildControls();

    NoteRecord m_Note;
    QString m_noteFileName;
    QString m_tag;
    bool m_isDirty = false;
    bool m_loaded = false;
    QTextEdit* m_rtb = nullptr;
    QLabel* m_caption = nullptr;
    QLabel* m_subCaption = nullptr;
};
