#pragma once

#include "store/NoteRecord.h"
#include "window/NoteMenus.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

class NoteTextEdit;
class QLabel;
class QMenu;
class QAction;

// One note on the desktop: a frameless window that draws its own frame (caption strip with
// icon, help and close pictures, the rich-text area, a separator, the subcaption and a resize
// grip) and reaches everything else through its popup menus.
//
// The load step runs once, when a creator first touches the window; whoever opens a stored
// note sets NoteFileName before that.
class frmMain : public QWidget {
    Q_OBJECT

public:
    // Why a window closes: by the user, or because the session is ending.
    enum class CloseReason { User, SessionEnding };

    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Every note window that is still open, oldest first.
    static QList<frmMain*> openWindows();
    // The program: end the process when the last note window has unloaded.
    static void setQuitWhenLastNoteCloses(bool quit);

    // --- What creators set.
    QString NoteFileName() const { return m_noteFileName; }
    void setNoteFileName(const QString& path) { m_noteFileName = path; }
    bool IsDirty() const { return m_isDirty; }
    void setIsDirty(bool dirty) { m_isDirty = dirty; }
    QString tagText() const { return m_tag; }
    void setTagText(const QString& path) { m_tag = path; }

    NoteTextEdit* RTB1();
    QLabel* lblCaption();
    QLabel* lblSubCaption();
    QString TextRTF();
    void setTextRTF(const QString& rtf);
    QString Text(); // plain text, paragraphs joined by CR LF

    void SetNoteColor(const QString& strColor, bool AllowForeColorChange);
    void ChangeForeColor(qint32 colorValue);

    // The window's size and place in twips, set one at a time as the creators do.
    void setHeightTwips(int twips);
    void setWidthTwips(int twips);
    void setTopTwips(int twips);
    void setLeftTwips(int twips);
    void setSizeTwips(int width, int height);
    // Left, top, width, height. A length set in twips reads back as set while the window
    // still has the pixel length it gave, so rounding to whole pixels never shows.
    QRect twipsGeometry() const;

    const NoteRecord& note() const { return m_Note; }
    int WordCount() const { return m_wordCount; }

    // --- Lifecycle.
    void PerformSave(int Index);
    void OpenNoteFile();
    void NewNoteWindow();
    void SaveSettings();
    // Closes as at the end of the session: the note goes to the main data file, no prompt.
    void closeForSessionEnd();

    // --- Frame.
    void Form_Resize();
    void ToggleMinimize();
    void MinimizeNote();
    void RestoreNote();
    bool isMinimizedToStrip() const { return m_minimized; }
    void mnuCaptionType_Click(int Index);
    void lblSubCaption_DblClick();
    void RTB1_Change();
    void ShowNotImplemented();
    void mnuInsertDateTime_Click(int Index);
    void pastePlainText();

    // Menus, for the key handler and tests: "mnuSave" with 1 is "Save As".
    QAction* menuItem(const QString& name, int index = -1) const;
    QMenu* menu(const QString& name) const;
    // Runs what choosing the item does.
    void triggerMenuItem(const QString& name, int index = -1);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // frmMain.cpp: load and close.
    void ensureLoaded();
    void Form_Load();
    void loadBuiltInDefaults(bool storedNote);
    void loadFromSettings(bool storedNote);
    void applyCaptionType();
    bool Form_QueryUnload(CloseReason reason);
    void refreshRecordOnClose();
    void setChanged(bool changed);
    bool isChanged() const;
    NoteRecord recordFromWindow();
    void placeOnReachableScreen();
    void setOnTopFromRecord();
    void onApplicationStateChanged(Qt::ApplicationState state);

    // frmMain_frame.cpp: controls, layout, mouse.
    void buildControls();
    QLabel* makePicture(const char* name, const QIcon& icon, int twips, const char* tooltip);
    void setControlTwips(QWidget* control, int left, int top, int width, int height);
    void startMove(QMouseEvent* event);
    void startResize(QMouseEvent* event);
    void popUp(const char* menuName);
    void popUpTextMenu();
    void refreshIconTooltip();

    // frmMain_menus.cpp: menus and keys.
    void buildMenus();
    void SetupMenuIcons();
    void onMenuItem(const QString& name, int index);
    void checkFamily(const QString& name, int checkedIndex, int count);
    int firstCheckedCaptionType(int count) const;
    void CheckFontSizeMenu(int size);
    void CheckTransparencyMenu(int alpha);
    void handleKeyRelease(int key, Qt::KeyboardModifiers modifiers);
    void mnuAutoSave_Click();
    void mnuNewNoteSaveOnClose_Click();
    void mnuSaveSettings_Click();
    void systemMenu(const QString& name);

    NoteRecord m_Note;
    QString m_noteFileName;
    QString m_tag;
    bool m_isDirty = false;
    bool m_loaded = false;
    bool m_minimized = false;
    int m_wordCount = 0;
    int m_lastKeyDown = 0;
    CloseReason m_closeReason = CloseReason::User;

    NoteTextEdit* m_rtb = nullptr;
    QLabel* m_caption = nullptr;
    QLabel* m_subCaption = nullptr;
    QLabel* m_icon = nullptr;
    QLabel* m_reminderIcons[2] = {nullptr, nullptr};
    QLabel* m_help = nullptr;
    QLabel* m_close = nullptr;
    QLabel* m_resize = nullptr;
    QLine m_line1; // separator above the subcaption, in pixels

    enum TwipsField { LeftField, TopField, WidthField, HeightField };
    void rememberTwips(TwipsField field, int twips);
    int twipsOf(TwipsField field, int pixels) const;
    int m_memoTwips[4] = {0, 0, 0, 0};
    int m_memoPixels[4] = {kNoMemo, kNoMemo, kNoMemo, kNoMemo};
    static constexpr int kNoMemo = -0x7fffffff;

    NoteMenus::Built m_menus;

    // A drag or resize done by hand where the window system cannot do it.
    enum class Drag { None, Move, Resize };
    Drag m_drag = Drag::None;
    QPoint m_dragStart;
    QRect m_dragGeometry;
};
