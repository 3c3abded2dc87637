#include "window/frmMain.h"

#include "richtext/RichText.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Twips.h"
#include "window/NoteColors.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
constexpr int kDefaultWidthTwips = 2325;
constexpr int kDefaultHeightTwips = 2085;

QList<frmMain*>& windowList()
{
    static QList<frmMain*> windows;
    return windows;
}
} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Jottex"));
    buildControls();
    windowList().append(this);
}

frmMain::~frmMain()
{
    windowList().removeAll(this);
}

QList<frmMain*> frmMain::openWindows()
{
    return windowList();
}

void frmMain::buildControls()
{
    m_caption = new QLabel(QStringLiteral("Jottex"), this);
    m_caption->setObjectName(QStringLiteral("lblCaption"));
    m_caption->setStyleSheet(QStringLiteral("background: rgb(128,128,128); color: white;"));
    m_rtb = new QTextEdit(this);
    m_rtb->setObjectName(QStringLiteral("RTB1"));
    m_rtb->setFrameShape(QFrame::NoFrame);
    m_subCaption = new QLabel(this);
    m_subCaption->setObjectName(QStringLiteral("lblSubCaption"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_caption);
    layout->addWidget(m_rtb, 1);
    layout->addWidget(m_subCaption);
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
    m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
    m_Note.Color = QStringLiteral("yellow");
    m_Note.Alpha = 255;
    m_Note.FontSize = 10;
    m_Note.FileName = m_noteFileName;
    if (m_noteFileName.isEmpty()) {
        m_Note.Width = kDefaultWidthTwips;
        m_Note.Height = kDefaultHeightTwips;
        resize(Twips::toPixels(m_Note.Width), Twips::toPixels(m_Note.Height));
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
    }
    SetNoteColor(m_Note.Color, false);
    m_subCaption->setText(m_Note.TimeDate);
}

QTextEdit* frmMain::RTB1()
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

void frmMain::SetNoteColor(const QString& strColor, bool AllowForeColorChange)
{
    ensureLoaded();
    const auto color = NoteColors::fromStoredText(strColor);
    if (!color)
        return;
    m_Note.Color = strColor;
    QPalette palette = m_rtb->palette();
    palette.setColor(QPalette::Base, *color);
    if (AllowForeColorChange)
        palette.setColor(QPalette::Text, Qt::black);
    m_rtb->setPalette(palette);
    QPalette own = this->palette();
    own.setColor(QPalette::Window, *color);
    setPalette(own);
    setAutoFillBackground(true);
}

void frmMain::setHeightTwips(int twips)
{
    ensureLoaded();
    resize(width(), Twips::toPixels(twips));
}

void frmMain::setWidthTwips(int twips)
{
    ensureLoaded();
    resize(Twips::toPixels(twips), height());
}

void frmMain::setTopTwips(int twips)
{
    ensureLoaded();
    move(x(), Twips::toPixels(twips));
}

void frmMain::setLeftTwips(int twips)
{
    ensureLoaded();
    move(Twips::toPixels(twips), y());
}

QRect frmMain::twipsGeometry() const
{
    return QRect(Twips::fromPixels(x()), Twips::fromPixels(y()), Twips::fromPixels(width()),
                 Twips::fromPixels(height()));
}
