#include "dialogs/clsCommonDialog.h"

#include "dialogs/ApplicationPrinter.h"
#include "dialogs/DialogSeam.h"
#include "dialogs/ModalBox.h"
#include "dialogs/SystemColors.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QIntValidator>
#include <QLineEdit>
#include <QListView>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringListModel>

namespace {
constexpr qint16 kFileBufferSize = 256;
// The longest face name the font dialog is given.
constexpr int kFaceNameLength = 30;
constexpr qint32 kColorCancelled = -1;
constexpr int kCustomColors = 16;

const QChar kNul(0);

// The style a plain font of the face gets ("Regular", "Book", ...), so the dialog does not
// start on whichever style its list happens to show first.
QString regularStyle(const QString& family)
{
    const QString style = QFontInfo(QFont(family)).styleName();
    return QFontDatabase::styles(family).contains(style) ? style : QString();
}

// QFontDialog has no size limits of its own: its size box takes only numbers in the range,
// and its size list shows only those, each time a face fills it again.
void limitFontSizes(QFontDialog& dialog)
{
    const auto inRange = [](const QString& text) {
        bool ok = false;
        const int size = text.toInt(&ok);
        return ok && size >= clsCommonDialog::kFontSizeMin && size <= clsCommonDialog::kFontSizeMax;
    };
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        if (qobject_cast<const QIntValidator*>(edit->validator()))
            edit->setValidator(new QIntValidator(clsCommonDialog::kFontSizeMin,
                                                 clsCommonDialog::kFontSizeMax, edit));
    }
    for (QListView* list : dialog.findChildren<QListView*>()) {
        auto* model = qobject_cast<QStringListModel*>(list->model());
        // The size list is the one that holds numbers.
        bool numbers = false;
        if (model && !model->stringList().isEmpty())
            (void)model->stringList().first().toInt(&numbers);
        if (!numbers)
            continue;
        const auto keepInRange = [model, inRange] {
            const QStringList sizes = model->stringList();
            QStringList kept;
            for (const QString& size : sizes) {
                if (inRange(size))
                    kept << size;
            }
            if (kept != sizes)
                model->setStringList(kept);
        };
        keepInRange();
        QObject::connect(model, &QStringListModel::modelReset, list, keepInRange);
    }
}
// Starts the dialog in the folder with an empty name. Given to the constructor, a path that
// is no folder would be split, its last part written into the name box.
void openIn(QFileDialog& dialog, const QString& folder)
{
    if (QFileInfo(folder).isDir())
        dialog.setDirectory(folder);
}
} // namespace

void clsCommonDialog::setFilter(const QString& filter)
{
    m_filter = filter;
    QStringList pieces = filter.split(QLatin1Char('|'));
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    m_dialogFilter.clear();
    for (const QString& piece : pieces)
        m_dialogFilter += piece + kNul;
    m_dialogFilter += kNul;
}

void clsCommonDialog::setMaxFileSize(qint16 size)
{
    m_maxFileSize = size;
    m_fileName = QString(qMax<qint16>(size, 0), kNul);
}

void clsCommonDialog::resetFileBuffer()
{
    setMaxFileSize(kFileBufferSize);
}

QStringList clsCommonDialog::qtNameFilters() const
{
    // Description and pattern pairs; Qt reads the patterns from the parentheses.
    QStringList pieces = m_dialogFilter.split(kNul);
    while (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        const QString& description = pieces[i];
        const QString patterns = QString(pieces[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

void clsCommonDialog::takeChosenFiles(const QStringList& files)
{
    const QFileInfo first(files.first());
    m_path = QDir::cleanPath(first.absolutePath());
    if (!m_path.endsWith(QLatin1Char('/')))
        m_path += QLatin1Char('/');
    m_fileTitle = first.fileName();
    if (files.size() == 1) {
        m_fileName = first.absoluteFilePath();
        return;
    }
    // A multiple selection: the folder, then each name, every one followed by a NUL.
    m_fileName = m_path.chopped(m_path.size() > 1 ? 1 : 0) + kNul;
    for (const QString& file : files)
        m_fileName += QFileInfo(file).fileName() + kNul;
}

qint32 clsCommonDialog::showFileDialog(FileMode mode)
{
    resetFileBuffer();
    const DialogSeam::Kind kind =
        mode == FileMode::Open ? DialogSeam::Kind::OpenFile : DialogSeam::Kind::SaveFile;
    if (auto answer =
            DialogSeam::takeFileDialog({kind, m_dialogTitle, m_filter, m_initDir, m_owner})) {
        if (!answer->accepted || answer->files.isEmpty())
            return 0;
        QStringList files = answer->files;
        if (!m_defaultExt.isEmpty() && mode == FileMode::Save &&
            QFileInfo(files.first()).suffix().isEmpty())
            files.first() += QLatin1Char('.') + m_defaultExt;
        takeChosenFiles(files);
        return 1;
    }

    ModalBox<QFileDialog> dialog(new QFileDialog(m_owner, m_dialogTitle));
    openIn(*dialog.get(), m_initDir);
    dialog->setAcceptMode(mode == FileMode::Open ? QFileDialog::AcceptOpen
                                                 : QFileDialog::AcceptSave);
    if (mode == FileMode::Open) {
        const bool many = m_flags & OFN_ALLOWMULTISELECT;
        const bool mustExist = m_flags & OFN_FILEMUSTEXIST;
        dialog->setFileMode(many ? QFileDialog::ExistingFiles
                                 : (mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
    } else {
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, !(m_flags & OFN_OVERWRITEPROMPT));
    }
    dialog->setDefaultSuffix(m_defaultExt);
    const QStringList filters = qtNameFilters();
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        if (m_filterIndex >= 1 && m_filterIndex <= filters.size())
            dialog->selectNameFilter(filters.at(m_filterIndex - 1));
    }
    if (dialog.exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return 0;
    takeChosenFiles(dialog->selectedFiles());
    return 1;
}

qint32 clsCommonDialog::ShowOpen()
{
    return showFileDialog(FileMode::Open);
}

qint32 clsCommonDialog::ShowSave()
{
    return showFileDialog(FileMode::Save);
}

bool clsCommonDialog::ShowFont()
{
    const QString face = m_fontName.left(kFaceNameLength);
    if (auto answer = DialogSeam::takeFontDialog({DialogSeam::Kind::Font, {}, face, {}, m_owner})) {
        if (!answer->accepted)
            return false;
        m_fontName = answer->family;
        return true;
    }
    QFont start(face);
    start.setPointSize(kFontSizeStart);
    start.setWeight(QFont::Normal);
    if (const QString style = regularStyle(face); !style.isEmpty())
        start.setStyleName(style);
    ModalBox<QFontDialog> dialog(new QFontDialog(start, m_owner));
    dialog->setOption(QFontDialog::DontUseNativeDialog);
    limitFontSizes(*dialog.get());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_fontName = dialog->selectedFont().family();
    return true;
}

bool clsCommonDialog::ShowPrinter([[maybe_unused]] qint32 PrintFlags)
{
    QPrinter& printer = ApplicationPrinter::printer();
    m_printerConfirmed = false;
    if (auto answer = DialogSeam::takePrinterDialog(
            {DialogSeam::Kind::Printer, {}, printer.printerName(), {}, m_owner})) {
        if (answer->accepted && !answer->outputFile.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(answer->outputFile);
        }
        m_printerConfirmed = answer->accepted;
        return m_printerConfirmed;
    }
    // Qt's dialog writes the choice into the printer only when it is confirmed.
    ModalBox<QPrintDialog> dialog(new QPrintDialog(&printer, m_owner));
    m_printerConfirmed = dialog.exec() == QDialog::Accepted;
    return m_printerConfirmed;
}

bool clsCommonDialog::PrintDoc()
{
    if (m_printerConfirmed)
        return ApplicationPrinter::EndDoc();
    ApplicationPrinter::KillDoc();
    return true;
}

bool clsCommonDialog::ShowPageSetupDlg()
{
    QPrinter& printer = ApplicationPrinter::printer();
    if (auto answer = DialogSeam::takePageSetupDialog(
            {DialogSeam::Kind::PageSetup, {}, printer.printerName(), {}, m_owner}))
        return *answer;
    ModalBox<QPageSetupDialog> dialog(new QPageSetupDialog(&printer, m_owner));
    return dialog.exec() == QDialog::Accepted;
}

qint32 clsCommonDialog::Browse()
{
    QString folder;
    if (auto answer = DialogSeam::takeFolderDialog(
            {DialogSeam::Kind::Folder, m_dialogTitle, {}, m_initDir, m_owner})) {
        folder = *answer;
    } else {
        ModalBox<QFileDialog> dialog(new QFileDialog(m_owner, m_dialogTitle));
        openIn(*dialog.get(), m_initDir);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        if (dialog.exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
            folder = dialog->selectedFiles().first();
    }
    if (folder.isEmpty())
        return 0;
    m_path = QDir::cleanPath(folder);
    return 1;
}

QStringList clsCommonDialog::ParseFileNames() const
{
    QStringList pieces = m_fileName.split(kNul);
    while (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    if (pieces.size() <= 1)
        return {m_fileName};
    QStringList paths;
    const QString folder = pieces.takeFirst();
    for (const QString& name : pieces)
        paths << (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) + name;
    return paths;
}

qint32 clsCommonDialog::ShowColor(bool bFullOpen, quint32 InitColor)
{
    // A colour value that names no colour starts the dialog on white, as -1 reads.
    quint32 rgb = 0;
    const QColor start = InitColor == 0                            ? QColor(Qt::black)
                         : SystemColors::translate(InitColor, rgb) ? SystemColors::toQColor(rgb)
                                                                   : QColor(Qt::white);
    m_colorFlags = CC_RGBINIT | CC_SOLIDCOLOR | CC_ANYCOLOR | (bFullOpen ? CC_FULLOPEN : 0);
    if (auto answer = DialogSeam::takeColorDialog(
            {DialogSeam::Kind::Color, QString(), start.name(), QString(), m_owner}))
        return answer->isValid() ? SystemColors::toValue(*answer) : kColorCancelled;

    // Every use starts with sixteen black custom colours; only solid colours are offered.
    for (int i = 0; i < kCustomColors; ++i)
        QColorDialog::setCustomColor(i, Qt::black);
    ModalBox<QColorDialog> dialog(new QColorDialog(start, m_owner));
    dialog->setOption(QColorDialog::ShowAlphaChannel, false);
    if (dialog.exec() != QDialog::Accepted)
        return kColorCancelled;
    return SystemColors::toValue(dialog->selectedColor());
}
