#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The common dialogs behind one small object: set the properties, call a Show method, read
// the result and the properties. A fresh instance per use.
class clsCommonDialog {
public:
    // Flags of the file dialogs that change what they do here.
    enum FileFlag : qint32 {
        OFN_READONLY = 0x1,
        OFN_OVERWRITEPROMPT = 0x2,
        OFN_HIDEREADONLY = 0x4,
        OFN_ALLOWMULTISELECT = 0x200,
        OFN_PATHMUSTEXIST = 0x800,
        OFN_FILEMUSTEXIST = 0x1000,
        OFN_EXPLORER = 0x80000,
    };
    // Flags of the colour dialog.
    enum ColorFlag : qint32 {
        CC_RGBINIT = 0x1,
        CC_FULLOPEN = 0x2,
        CC_SOLIDCOLOR = 0x80,
        CC_ANYCOLOR = 0x100,
    };

    // The window the dialogs belong to: they open over it, modal to it.
    void setOwnerHandle(QWidget* owner) { m_owner = owner; }

    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString& folder) { m_initDir = folder; }
    QString DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString& title) { m_dialogTitle = title; }
    QString Filter() const { return m_filter; }
    void setFilter(const QString& filter);
    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& extension) { m_defaultExt = extension; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& name) { m_fileName = name; }
    QString FileTitle() const { return m_fileTitle; }
    QString path() const { return m_path; }
    qint16 FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(qint16 index) { m_filterIndex = index; }
    qint32 flags() const { return m_flags; }
    void setFlags(qint32 flags) { m_flags = flags; }
    qint16 MaxFileSize() const { return m_maxFileSize; }
    void setMaxFileSize(qint16 size);
    // The face the font dialog shows first, and the one chosen in it.
    QString FontName() const { return m_fontName; }
    void setFontName(const QString& name) { m_fontName = name; }

    // 1 when a file was chosen, 0 when cancelled, a negative code when the dialog failed.
    qint32 ShowOpen();
    qint32 ShowSave();

    // The font dialog: starts on FontName (at most 30 characters of it) at 12 point, offers
    // sizes from 10 to 72 point, and on confirming puts the chosen face in FontName. True when
    // confirmed; a cancel leaves FontName as it was.
    bool ShowFont();

    // The sizes the font dialog offers, and the one it starts on, in points.
    static constexpr int kFontSizeMin = 10;
    static constexpr int kFontSizeMax = 72;
    static constexpr int kFontSizeStart = 12;
    // The colour dialog, opening on InitColor (a colour value; 0 is black): the chosen colour
    // as 0x00BBGGRR, or -1 when cancelled. bFullOpen shows the custom colour part at once.
    qint32 ShowColor(bool bFullOpen, quint32 InitColor);
    // The colour dialog's flags as the last ShowColor set them.
    qint32 colorFlags() const { return m_colorFlags; }

    // The printer dialog over the application's printer. True when confirmed; the choice is
    // then the application's printer. The flags are the caller's; Qt's dialog needs none.
    bool ShowPrinter(qint32 PrintFlags);
    // Ends the application's print job: printed when the last ShowPrinter was confirmed,
    // thrown away otherwise. False only when a confirmed job could not be printed.
    bool PrintDoc();
    // The page setup of the application's printer. True when confirmed.
    bool ShowPageSetupDlg();
    // A folder dialog prompting with DialogTitle; non-zero when a folder was chosen, which
    // path() then holds.
    qint32 Browse();

    // Full paths of the files chosen by the last ShowOpen.
    QStringList ParseFileNames() const;

    // The filter as the dialog takes it: every piece followed by a NUL, one more at the end.
    QString dialogFilter() const { return m_dialogFilter; }

private:
    enum class FileMode { Open, Save };
    qint32 showFileDialog(FileMode mode);
    void resetFileBuffer();
    void takeChosenFiles(const QStringList& files);
    QStringList qtNameFilters() const;

    QWidget* m_owner = nullptr;
    QString m_initDir;
    QString m_dialogTitle;
    QString m_filter;
    QString m_dialogFilter;
    QString m_defaultExt;
    QString m_fileName;
    QString m_fileTitle;
    QString m_path;
    qint16 m_filterIndex = 0;
    qint32 m_flags = 0;
    qint16 m_maxFileSize = 0;
    QString m_fontName;
    qint32 m_colorFlags = 0;
    bool m_printerConfirmed = false;
};
