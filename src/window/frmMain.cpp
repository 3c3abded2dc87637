#include "window/frmMain.h"

#include "dialogs/MessageBox.h"
#include "richtext/RichText.h"
#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "shell/LocaleFormat.h"
#include "shell/Settings.h"
#include "shell/Twips.h"
#include "shell/WindowUtils.h"
#include "shell/modFileFunctions.h"
#include "store/modNote.h"
#include "window/NoteColors.h"
#include "window/NoteSize.h"
#include "window/NoteTextEdit.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr int kNewNoteOffsetTwips = 200;
const QString kCaption = QStringLiteral("Jottex");
const QString kChangedCaption = QStringLiteral("Jottex *");

QList<frmMain*>& windowList()
{
    static QList<frmMain*> windows;
    return windows;
}

bool quitWhenLastNoteCloses = false;

bool isTrueText(const QString& text)
{
    return text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

QString flagText(bool flag)
{
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

// A flag setting that is neither word keeps the value it had.
void readFlag(modMain::Setting id, bool& field)
{
    const QString text = modMain::ReadSetting(id);
    if (isTrueText(text))
        field = true;
    else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        field = false;
}

// A number setting that does not convert keeps the value it had.
void readNumber(modMain::Setting id, qint32& field, const QString& defaultText = {})
{
    const QString text =
        defaultText.isNull() ? modMain::ReadSetting(id) : modMain::ReadSetting(id, defaultText);
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (ok && number >= std::numeric_limits<qint32>::min() &&
        number <= std::numeric_limits<qint32>::max())
        field = static_cast<qint32>(std::nearbyint(number));
}

QRect screenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}
} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(QIcon(QStringLiteral(":/icons/jottex.svg")));
    resize(Twips::toPixels(NoteSize::InitialWidth), Twips::toPixels(NoteSize::InitialHeight));
    buildControls();
    buildMenus();
    windowList().append(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            &frmMain::onApplicationStateChanged);
}

frmMain::~frmMain()
{
    windowList().removeAll(this);
}

QList<frmMain*> frmMain::openWindows()
{
    return windowList();
}

void frmMain::setQuitWhenLastNoteCloses(bool quit)
{
    quitWhenLastNoteCloses = quit;
}

void frmMain::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    Form_Load();
}

void frmMain::Form_Load()
{
    const bool storedNote = !m_noteFileName.isEmpty();
    if (isTrueText(modMain::ReadSetting(modMain::Setting::SaveSetting))) {
        loadFromSettings(storedNote);
    } else {
        m_Note.CaptionType = 0;
        loadBuiltInDefaults(storedNote);
    }
    QFont font = m_rtb->font();
    font.setPointSize(m_Note.FontSize > 0 ? m_Note.FontSize : 10);
    m_rtb->setFont(font);
    m_rtb->document()->setDefaultFont(font);
    CheckFontSizeMenu(m_Note.FontSize);
    SetNoteColor(m_Note.Color, false);
    setWidthTwips(m_Note.Width);
    setHeightTwips(m_Note.Height);
    m_Note.FileName = m_noteFileName;
    readFlag(modMain::Setting::AutoSave, m_Note.AutoSave);
    readFlag(modMain::Setting::SaveNewNoteOnClose, m_Note.SaveNewNoteOnClose);
    menuItem(QStringLiteral("mnuAutoSave"))->setChecked(m_Note.AutoSave);
    menuItem(QStringLiteral("mnuNewNoteSaveOnClose"))->setChecked(m_Note.SaveNewNoteOnClose);
    menuItem(QStringLiteral("mnuTop"))->setChecked(m_Note.IsOnTop);
    ChangeForeColor(m_Note.ForeColor);
    applyCaptionType();
    SetupMenuIcons();
    modMain::SetDropShadow(this);
    // Fading needs a compositor; without a real window system there is none to ask.
    const QString platform = QGuiApplication::platformName();
    const bool translucencySupported =
        platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    if (!translucencySupported)
        menuItem(QStringLiteral("mnuTransparentMain"))->setVisible(false);
    CheckTransparencyMenu(m_Note.Alpha);
    m_rtb->setFocus();
}

void frmMain::loadBuiltInDefaults(bool storedNote)
{
    m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
    QFont font = m_rtb->font();
    font.setFamily(QStringLiteral("Comic Sans MS"));
    m_rtb->setFont(font);
    m_Note.FontSize = 10;
    m_Note.Alpha = 255;
    m_Note.Color = QStringLiteral("yellow");
    m_Note.ForeColor = 0;
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
    modMain::SetTopMost(this, 0);
    m_Note.IsOnTop = true;
}

void frmMain::loadFromSettings(bool storedNote)
{
    using modMain::Setting;
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
    modMain::SetTopMost(this, m_Note.IsOnTop ? 0 : 1);
    readNumber(Setting::ForeColor, m_Note.ForeColor);
    menuItem(QStringLiteral("mnuSaveSettings"))->setChecked(true);
    readNumber(Setting::CaptionType, m_Note.CaptionType);
    QFont font = m_rtb->font();
    font.setFamily(modMain::ReadSetting(Setting::FontName));
    m_rtb->setFont(font);
    readNumber(Setting::DefaultFontSize, m_Note.FontSize);
}

void frmMain::applyCaptionType()
{
    switch (m_Note.CaptionType) {
    case 0:
        m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
        break;
    case 1:
    case 2:
    case 3:
        break;
    default:
        return;
    }
    mnuCaptionType_Click(m_Note.CaptionType);
}

NoteTextEdit* frmMain::RTB1()
{
    ensureLoaded();
    return m_rtb;
}

QLabel* frmMain::lblCaption()
{
    ensureLoaded();
    return m_caption;
}

QLabel* frmMain::lblSubCaption()
{
    ensureLoaded();
    return m_subCaption;
}

QString frmMain::TextRTF()
{
    ensureLoaded();
    return QString::fromLatin1(RichText::textRTF(m_rtb));
}

void frmMain::setTextRTF(const QString& rtf)
{
    ensureLoaded();
    RichText::setTextRTF(m_rtb, rtf.toUtf8());
}

QString frmMain::Text()
{
    ensureLoaded();
    return m_rtb->Text();
}

void frmMain::SetNoteColor(const QString& strColor, bool AllowForeColorChange)
{
    ensureLoaded();
    const auto color = NoteColors::fromStoredText(strColor);
    if (!color)
        return;
    m_Note.Color = strColor;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, *color);
    palette.setColor(QPalette::Base, *color);
    setPalette(palette);
    setAutoFillBackground(true);
    int checked = 9;
    for (int i = 0; i < NoteColors::namedCount(); ++i) {
        if (strColor.trimmed().compare(QLatin1String(NoteColors::named(i)->name),
                                       Qt::CaseInsensitive) == 0)
            checked = i;
    }
    checkFamily(QStringLiteral("mnuSetColor"), checked, 10);
    if (AllowForeColorChange)
        ChangeForeColor(0);
    update();
}

void frmMain::ChangeForeColor(qint32 colorValue)
{
    m_Note.ForeColor = colorValue;
    QPalette palette = m_rtb->palette();
    palette.setColor(QPalette::Text, NoteColors::fromColorRef(static_cast<quint32>(colorValue)));
    m_rtb->setPalette(palette);
}

void frmMain::setHeightTwips(int twips)
{
    ensureLoaded();
    twips = std::max(twips, NoteSize::MinHeight);
    rememberTwips(HeightField, twips); // first, so the resize handler reads the new value
    resize(width(), Twips::toPixels(twips));
}

void frmMain::setWidthTwips(int twips)
{
    ensureLoaded();
    twips = std::max(twips, NoteSize::MinWidth);
    rememberTwips(WidthField, twips); // first, so the resize handler reads the new value
    resize(Twips::toPixels(twips), height());
}

void frmMain::setSizeTwips(int width, int height)
{
    setWidthTwips(width);
    setHeightTwips(height);
}

void frmMain::setTopTwips(int twips)
{
    ensureLoaded();
    rememberTwips(TopField, twips); // first, so the resize handler reads the new value
    move(x(), Twips::toPixels(twips));
}

void frmMain::setLeftTwips(int twips)
{
    ensureLoaded();
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
    m_caption->setText(changed ? kChangedCaption : kCaption);
    setWindowTitle(m_caption->text());
}

bool frmMain::isChanged() const
{
    return m_caption->text().endsWith(QLatin1Char('*'));
}

void frmMain::setOnTopFromRecord()
{
    if (m_Note.IsOnTop)
        modMain::SetTopMost(this, 0);
}

NoteRecord frmMain::recordFromWindow()
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

void frmMain::PerformSave(int Index)
{
    ensureLoaded();
    modMain::SetTopMost(this, 1);
    const NoteRecord record = recordFromWindow();
    if (Index == 2) {
        // The note keeps its own file and its marker: appending copies it elsewhere.
        modNote::AppendNote(record, QString());
        setOnTopFromRecord();
        return;
    }
    QString result;
    if (Index == 1 || record.FileName.isEmpty()) {
        result = modNote::SaveNote(record, QString());
        if (result.compare(modNote::NoneSentinel, Qt::CaseInsensitive) != 0)
            m_tag = result;
    } else {
        result = modNote::SaveNote(record, record.FileName);
    }
    if (result.compare(modNote::NoneSentinel, Qt::CaseInsensitive) != 0) {
        setChanged(false);
        m_Note.FileName = result;
        if (menuItem(QStringLiteral("mnuCaptionType"), 3)->isChecked())
            m_subCaption->setText(QStringLiteral("File: ") + modFileFunctions::GetFileName(m_tag));
    }
    setOnTopFromRecord();
}

void frmMain::OpenNoteFile()
{
    ensureLoaded();
    modMain::SetTopMost(this, 1);
    const NoteRecordList list = modNote::LoadNote(false, QString());
    for (qsizetype i = 0; i < list.size(); ++i) {
        const NoteRecord& record = list[i];
        if (i == 0) {
            setTextRTF(record.Data);
            SetNoteColor(record.Color, false);
            setHeightTwips(record.Height);
            setWidthTwips(record.Width);
            const QRect place = twipsGeometry();
            m_Note.Height = place.height();
            m_Note.Width = place.width();
            m_subCaption->setText(record.TimeDate);
            m_Note.TimeDate = m_subCaption->text();
            m_tag = record.FileName;
            m_Note.FileName = record.FileName;
            m_isDirty = true;
            if (m_Note.CaptionType == 3)
                m_subCaption->setText(QStringLiteral("File: ") +
                                      modFileFunctions::GetFileName(m_tag));
            continue;
        }
        auto* window = new frmMain;
        window->setTextRTF(record.Data);
        window->SetNoteColor(record.Color, false);
        window->setHeightTwips(record.Height);
        window->setWidthTwips(record.Width);
        window->setTopTwips(record.Top);
        window->setLeftTwips(record.Left);
        window->setTagText(record.FileName);
        window->setIsDirty(true);
        window->show();
    }
    setOnTopFromRecord();
}

void frmMain::NewNoteWindow()
{
    ensureLoaded();
    auto* window = new frmMain;
    window->RTB1(); // loads as a new note, size and place from the settings
    const QRect place = twipsGeometry();
    window->setLeftTwips(place.left() + kNewNoteOffsetTwips);
    window->setTopTwips(place.top() + kNewNoteOffsetTwips);
    window->show();
}

void frmMain::SaveSettings()
{
    using modMain::Setting;
    ensureLoaded();
    const bool remember = menuItem(QStringLiteral("mnuSaveSettings"))->isChecked();
    if (remember) {
        const QRect place = twipsGeometry();
        const std::pair<Setting, QString> values[] = {
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
        for (const auto& [id, text] : values)
            (void)modMain::WriteSetting(id, text);
        const int captionType = firstCheckedCaptionType(4);
        if (captionType >= 0)
            (void)modMain::WriteSetting(Setting::CaptionType, QString::number(captionType));
    }
    (void)modMain::WriteSetting(Setting::SaveSetting, flagText(remember));
    (void)modMain::WriteSetting(Setting::AutoSave, flagText(m_Note.AutoSave));
    (void)modMain::WriteSetting(Setting::SaveNewNoteOnClose, flagText(m_Note.SaveNewNoteOnClose));
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
    // Unloaded from here on, though the object itself goes a little later.
    windowList().removeAll(this);
    event->accept();
    // Menus and message boxes may outlive the notes; the notes are the application.
    if (windowList().isEmpty() && quitWhenLastNoteCloses)
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void frmMain::refreshRecordOnClose()
{
    const QRect place = twipsGeometry();
    m_Note.Data = TextRTF();
    m_Note.TimeDate = m_subCaption->text();
    m_Note.Left = place.left();
    m_Note.Top = place.top();
    const int captionType = firstCheckedCaptionType(3);
    if (captionType >= 0)
        m_Note.CaptionType = captionType;
}

bool frmMain::Form_QueryUnload(CloseReason reason)
{
    ensureLoaded();
    SaveSettings();
    refreshRecordOnClose();
    if (reason == CloseReason::SessionEnding) {
        modMain::RunAtStartUp();
        // A note comes back at the size it has now; a minimised one at its full size.
        NoteRecord stored = m_Note;
        if (!m_minimized) {
            const QRect place = twipsGeometry();
            stored.Height = place.height();
            stored.Width = place.width();
        }
        modNote::SaveMainNote(stored);
        return true;
    }
    if (isChanged()) {
        modMain::SetTopMost(this, 1);
        QMessageBox::StandardButton answer = QMessageBox::Yes;
        if (m_Note.FileName.isEmpty() || !m_Note.AutoSave) {
            answer = MessageBox::show(this, QMessageBox::NoIcon, QStringLiteral("Perform Save"),
                                      QStringLiteral("Changes have been made to this note.\r\n"
                                                     "Would you like to save now?"),
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        }
        if (answer == QMessageBox::Yes) {
            PerformSave(m_Note.FileName.isEmpty() ? 1 : 0);
        } else if (answer != QMessageBox::No) {
            setOnTopFromRecord();
            return false;
        }
    }
    if (openWindows().size() == 1)
        modMain::RemoveRunAtStartUp();
    return true;
}

void frmMain::showEvent(QShowEvent* event)
{
    ensureLoaded();
    QWidget::showEvent(event);
    placeOnReachableScreen();
}

// A note stored where no screen is now (a monitor was removed) is shown on the nearest one.
void frmMain::placeOnReachableScreen()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    const QRect frame = geometry();
    const QRect strip(frame.topLeft(), QSize(frame.width(), Twips::toPixels(360)));
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

void frmMain::onApplicationStateChanged(Qt::ApplicationState state)
{
    if (!m_loaded)
        return;
    if (state == Qt::ApplicationActive) {
        setWindowOpacity(1.0);
        modMain::SetTopMost(this, m_Note.IsOnTop ? 0 : 1);
    } else if (m_Note.Alpha != 255) {
        setWindowOpacity(std::clamp(m_Note.Alpha, 0, 255) / 255.0);
    }
}
