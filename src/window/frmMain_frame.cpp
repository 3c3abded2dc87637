// The note window's frame: its controls at their design places, the resize layout, moving and
// sizing, minimising to the caption strip, the subcaption kinds and the text change handler.
#include "dialogs/MessageBox.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Settings.h"
#include "shell/Twips.h"
#include "shell/WindowUtils.h"
#include "shell/modFileFunctions.h"
#include "window/Artwork.h"
#include "window/CaptionStrip.h"
#include "window/FrameLabel.h"
#include "window/FrameLayout.h"
#include "window/NoteDrag.h"
#include "window/NoteSize.h"
#include "window/NoteTextEdit.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {
using FrameLayout::placeTwips;

constexpr int kExcerptLength = 35;
const QColor kLineColor(Qt::black);

QLine lineTwips(int x1, int y, int x2)
{
    return QLine(Twips::toPixels(x1), Twips::toPixels(y), Twips::toPixels(x2), Twips::toPixels(y));
}
} // namespace

void frmMain::buildControls()
{
    using namespace FrameLayout;
    setMinimumSize(Twips::toPixels(NoteSize::MinWidth), Twips::toPixels(NoteSize::MinHeight));

    m_rtb = new NoteTextEdit(this);
    m_rtb->setFont(QFont(modMain::settingDefault(modMain::Setting::FontName), 9));
    m_rtb->setAccessibleDescription(tr("The text of this Jottex note"));
    placeTwips(m_rtb, TextArea);
    setShownFile(QString());

    m_resize = new FrameLabel(this);
    m_resize->setObjectName(QStringLiteral("imgResize"));
    const int gripPixels = Twips::toPixels(ResizeGrip.width);
    m_resize->setPixmap(
        Artwork::resizeGrip().pixmap(QSize(gripPixels, gripPixels), devicePixelRatioF()));
    m_resize->setToolTip(tr("Resize note"));
    m_resize->setCursor(Qt::SizeFDiagCursor);
    placeTwips(m_resize, ResizeGrip);

    m_subCaption = new FrameLabel(this);
    m_subCaption->setObjectName(QStringLiteral("lblSubCaption"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(8.25);
    m_subCaption->setFont(verdana);
    m_subCaption->setToolTip(tr("Double-click to refresh caption"));
    m_subCaption->setAttribute(Qt::WA_TranslucentBackground);
    m_subCaption->setTextColor(Qt::black);
    placeTwips(m_subCaption, SubCaption);

    // The strip clips the note icon to itself, so the icon never covers the text.
    m_strip = new CaptionStrip(this);
    m_strip->layOut(NoteSize::InitialWidth);

    m_line1 =
        lineTwips(SeparatorLine.left, SeparatorLine.top, SeparatorLine.left + SeparatorLine.width);
}

void frmMain::connectControls()
{
    m_drag->attach(m_strip, m_resize);
    connect(m_strip, &CaptionStrip::iconMenuRequested, this,
            [this] { popUp(NoteMenus::SystemMenu); });
    connect(m_strip, &CaptionStrip::iconDoubleClicked, this, &frmMain::ToggleMinimize);
    // Dialogs these open must not start inside the click, which would leave the mouse with
    // the button and the dialog deaf to it.
    connect(m_strip, &CaptionStrip::helpClicked, this, &frmMain::ShowNotImplemented,
            Qt::QueuedConnection);
    connect(m_strip, &CaptionStrip::closeClicked, this, &QWidget::close, Qt::QueuedConnection);

    connect(m_subCaption, &FrameLabel::released, this, [this](Qt::MouseButton button) {
        if (button == Qt::RightButton)
            popUp(NoteMenus::PopupCaption);
    });
    connect(m_subCaption, &FrameLabel::doubleClicked, this, &frmMain::lblSubCaption_DblClick);

    connect(m_rtb, &QTextEdit::textChanged, this, &frmMain::RTB1_Change);
    connect(m_rtb, &NoteTextEdit::menuRequested, this, &frmMain::popUpTextMenu);
    connect(m_rtb, &NoteTextEdit::linkClicked, this,
            // A link the policy refuses or no handler takes leaves the note as it is.
            [](const QString& link) { (void)modMain::ShellOpen(QStringLiteral("open"), link); });
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
    emit noteChanged();
}

void frmMain::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    emit noteChanged();
}

void frmMain::Form_Resize()
{
    using namespace FrameLayout;
    const QRect place = twipsGeometry();
    const int w = std::max(place.width(), NoteSize::MinWidth);
    const int h = std::max(place.height(), NoteSize::MinHeight);
    // Below this the text area would need a negative height: keep the last layout, which is
    // what the minimised strip shows.
    if (h < TextAreaHeightMargin)
        return;
    placeTwips(m_rtb,
               {TextArea.left, TextArea.top, w - TextAreaWidthMargin, h - TextAreaHeightMargin});
    placeTwips(m_subCaption, {SubCaption.left, h - SubCaptionFromBottom, w - ResizeGrip.width,
                              SubCaption.height});
    m_line1 = lineTwips(SeparatorLeft, h - SeparatorFromBottom, w - TextAreaWidthMargin);
    placeTwips(m_resize, {w - ResizeGrip.width - GripInset, h - ResizeGrip.height - GripInset,
                          ResizeGrip.width, ResizeGrip.height});
    m_strip->layOut(w);
    update();
}

void frmMain::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(kLineColor, 1));
    painter.drawLine(m_line1);
    // A hairline edge keeps a pale note apart from a pale desktop.
    painter.setPen(QPen(palette().color(QPalette::Window).darker(135), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// Presses on the window's own surface, where no control covers it.
void frmMain::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_drag->startMove(event->globalPosition().toPoint());
    else if (event->button() == Qt::RightButton)
        popUp(NoteMenus::PopUpMenu);
}

void frmMain::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        m_drag->followMove(event->globalPosition().toPoint());
}

void frmMain::mouseReleaseEvent(QMouseEvent*)
{
    m_drag->end();
}

void frmMain::popUp(const char* menuName, const QPoint& where)
{
    if (QMenu* popup = menu(menuName))
        popup->popup(where);
}

void frmMain::popUp(const char* menuName)
{
    popUp(menuName, QCursor::pos());
}

void frmMain::popUpTextMenu(const QPoint& where)
{
    popUp(m_rtb->textCursor().hasSelection() ? NoteMenus::PopUpSelect : NoteMenus::PopUpMenu,
          where);
}

void frmMain::ToggleMinimize()
{
    // Compared in pixels: a note shrunk to the strip by hand is as wide as the strip.
    if (width() == Twips::toPixels(NoteSize::MinWidth))
        RestoreNote();
    else
        MinimizeNote();
}

void frmMain::MinimizeNote()
{
    const QRect place = twipsGeometry();
    m_Note.Height = place.height();
    m_Note.Width = place.width();
    setSizeTwips(NoteSize::MinWidth, NoteSize::MinHeight);
    m_minimized = true;
    QString excerpt = m_rtb->Text().left(kExcerptLength);
    excerpt.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    m_strip->setIconToolTip(excerpt);
    setItemEnabled(NoteMenus::mnuSystemMinimize, -1, false);
}

void frmMain::RestoreNote()
{
    setSizeTwips(m_Note.Width, m_Note.Height);
    m_minimized = false;
    setItemEnabled(NoteMenus::mnuSystemMinimize, -1, true);
}

void frmMain::showFileCaption()
{
    m_subCaption->setText(tr("File: ") + modFileFunctions::GetFileName(m_Note.ShownFile));
}

void frmMain::setShownFile(const QString& path)
{
    m_Note.ShownFile = path;
    const QString name = modFileFunctions::GetFileName(path);
    m_rtb->setAccessibleName(name.isEmpty() ? tr("Note text") : tr("Note text, %1").arg(name));
}

void frmMain::showCaptionKind(CaptionKind kind)
{
    switch (kind) {
    case CaptionKind::TimeDate:
        m_subCaption->setText(m_Note.TimeDate);
        break;
    case CaptionKind::WordCount:
        countWords();
        m_subCaption->setText(tr("Word Count: ") + QString::number(m_wordCount));
        break;
    case CaptionKind::CharacterCount:
        m_subCaption->setText(tr("Character Count: ") + QString::number(m_rtb->Text().size()));
        break;
    case CaptionKind::FileName:
        showFileCaption();
        break;
    }
}

void frmMain::mnuCaptionType_Click(CaptionKind kind)
{
    showCaptionKind(kind);
    m_Note.CaptionType = kind;
    m_menus.checkFamily(NoteMenus::mnuCaptionType, int(kind));
}

std::optional<CaptionKind> frmMain::captionKind() const
{
    const CaptionKind kind = m_Note.CaptionType;
    if (kind < CaptionKind::TimeDate || kind > CaptionKind::FileName)
        return std::nullopt;
    return kind;
}

void frmMain::lblSubCaption_DblClick()
{
    const auto kind = captionKind();
    if (kind == CaptionKind::TimeDate) {
        m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
        m_subCaption->setText(m_Note.TimeDate);
    } else if (kind == CaptionKind::WordCount || kind == CaptionKind::CharacterCount) {
        RTB1_Change();
    }
}

void frmMain::RTB1_Change()
{
    if (m_specialNotes->takeTextChange())
        return;
    emit noteChanged();
    updateCountsAndCaption();
}

void frmMain::updateCountsAndCaption()
{
    if (m_Note.SaveNewNoteOnClose || m_Note.TracksChanges)
        setChanged(true);
    // The counts are only seen in the subcaption; a long note is not counted on every change
    // while the subcaption shows something else.
    const auto kind = captionKind();
    if (kind == CaptionKind::WordCount) {
        showCaptionKind(CaptionKind::WordCount);
    } else if (kind == CaptionKind::CharacterCount) {
        const qsizetype count = m_rtb->Text().size() - m_specialNotes->uncountedCharacters();
        m_subCaption->setText(tr("Character Count: ") + QString::number(count));
    }
}

void frmMain::countWords()
{
    const QString text = m_rtb->Text();
    // Pieces between single blanks, as the classic count did: line breaks join words.
    m_wordCount = text.isEmpty() ? 0 : static_cast<int>(text.count(QLatin1Char(' ')) + 1);
}

void frmMain::ShowNotImplemented()
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    MessageBox::show(this, QMessageBox::Information, CaptionStrip::title(),
                     tr("This feature has not been implemented in this release"), QMessageBox::Ok);
    setOnTopFromRecord();
}
