// The note window's frame: its controls at their design places, the resize layout, moving and
// sizing, minimising to the caption strip, the subcaption kinds and the text change handler.
#include "dialogs/MessageBox.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Twips.h"
#include "shell/WindowUtils.h"
#include "shell/modFileFunctions.h"
#include "window/Artwork.h"
#include "window/NoteSize.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {
constexpr int kStripHeightTwips = 345;
constexpr int kResizeGripTwips = 180;
constexpr int kPictureTwips = 255;
constexpr int kIconTwips = 480;
constexpr int kExcerptLength = 35;
const QColor kStripGrey(128, 128, 128);
const QColor kLineColor(96, 96, 96);

QFont verdana(double points)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    return font;
}
} // namespace

QLabel* frmMain::makePicture(const char* name, const QIcon& icon, int twips, const char* tooltip)
{
    auto* picture = new QLabel(this);
    picture->setObjectName(QString::fromLatin1(name));
    const int pixels = Twips::toPixels(twips);
    picture->setPixmap(icon.pixmap(QSize(pixels, pixels), devicePixelRatioF()));
    picture->setAlignment(Qt::AlignCenter);
    if (*tooltip)
        picture->setToolTip(QString::fromLatin1(tooltip));
    picture->installEventFilter(this);
    return picture;
}

void frmMain::setControlTwips(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(Twips::rectToPixels(left, top, width, height));
}

void frmMain::buildControls()
{
    setMinimumSize(Twips::toPixels(NoteSize::MinWidth), Twips::toPixels(NoteSize::MinHeight));

    m_help = makePicture("imgHelp", Artwork::helpPicture(), kPictureTwips, "Display help");
    setControlTwips(m_help, 3360, 10, kPictureTwips, kPictureTwips);
    m_close = makePicture("CloseImage", Artwork::closePicture(), kPictureTwips, "Close note");
    setControlTwips(m_close, 3600, 10, kPictureTwips, kPictureTwips);

    m_rtb = new NoteTextEdit(this);
    m_rtb->setFont(QFont(QStringLiteral("Comic Sans MS"), 9));
    setControlTwips(m_rtb, 45, 360, 5220, 3255);
    m_rtb->installEventFilter(this);
    m_rtb->viewport()->installEventFilter(this);
    connect(m_rtb, &QTextEdit::textChanged, this, &frmMain::RTB1_Change);
    connect(m_rtb, &NoteTextEdit::linkClicked, this,
            [](const QString& link) { modMain::ShellOpen(QStringLiteral("open"), link); });

    for (int i = 0; i < 2; ++i) {
        m_reminderIcons[i] =
            makePicture(i == 0 ? "imgIconReminder(0)" : "imgIconReminder(1)",
                        Artwork::reminderIcon(i), kIconTwips, "Right-click for options");
        setControlTwips(m_reminderIcons[i], 0, 15, kIconTwips, kIconTwips);
        m_reminderIcons[i]->hide();
    }
    m_resize = makePicture("imgResize", Artwork::resizeGrip(), kResizeGripTwips, "Resize note");
    m_resize->setCursor(Qt::SizeFDiagCursor);
    setControlTwips(m_resize, 3600, 3840, kResizeGripTwips, kResizeGripTwips);

    m_subCaption = new QLabel(this);
    m_subCaption->setObjectName(QStringLiteral("lblSubCaption"));
    m_subCaption->setFont(verdana(8.25));
    m_subCaption->setToolTip(QStringLiteral("Double-click to refresh caption"));
    m_subCaption->setAttribute(Qt::WA_TranslucentBackground);
    m_subCaption->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    m_subCaption->installEventFilter(this);
    setControlTwips(m_subCaption, 40, 3840, 4815, 255);

    m_icon = makePicture("imgIcon", Artwork::noteIcon(), kIconTwips, "Right-click for options");
    setControlTwips(m_icon, 0, 15, kIconTwips, kIconTwips);

    m_caption = new QLabel(QStringLiteral("Jottex"), this);
    m_caption->setObjectName(QStringLiteral("lblCaption"));
    m_caption->setFont(verdana(9));
    m_caption->setAutoFillBackground(true);
    m_caption->setStyleSheet(QStringLiteral("color: white; background: rgb(128,128,128);"));
    m_caption->installEventFilter(this);
    setControlTwips(m_caption, 480, 10, 2655, 250);

    m_line1 = QLine(Twips::toPixels(120), Twips::toPixels(3720), Twips::toPixels(5280),
                    Twips::toPixels(3720));
    m_icon->raise();
    m_help->raise();
    m_close->raise();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    const QRect place = twipsGeometry();
    const int w = std::max(place.width(), NoteSize::MinWidth);
    const int h = std::max(place.height(), NoteSize::MinHeight);
    // Below this the text area would need a negative height: keep the last layout.
    if (h < 700)
        return;
    setControlTwips(m_rtb, 45, 360, w - 220, h - 700);
    setControlTwips(m_subCaption, 40, h - 320, w - kResizeGripTwips, 255);
    m_line1 = QLine(Twips::toPixels(50), Twips::toPixels(h - 350), Twips::toPixels(w - 220),
                    Twips::toPixels(h - 350));
    setControlTwips(m_resize, w - kResizeGripTwips - 50, h - kResizeGripTwips - 50,
                    kResizeGripTwips, kResizeGripTwips);
    setControlTwips(m_caption, 480, 10, w - 1100, 250);
    setControlTwips(m_close, w - kPictureTwips - 30, 10, kPictureTwips, kPictureTwips);
    setControlTwips(m_help, w - 2 * kPictureTwips - 50, 10, kPictureTwips, kPictureTwips);
    update();
}

void frmMain::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), Twips::toPixels(kStripHeightTwips)), kStripGrey);
    painter.setPen(QPen(kLineColor, 1));
    painter.drawLine(m_line1);
    // A hairline edge keeps a pale note apart from a pale desktop.
    painter.setPen(QPen(palette().color(QPalette::Window).darker(135), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void frmMain::startMove(QMouseEvent* event)
{
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemMove())
        return;
    m_drag = Drag::Move;
    m_dragStart = event->globalPosition().toPoint();
    m_dragGeometry = geometry();
}

void frmMain::startResize(QMouseEvent* event)
{
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge)) {
        update();
        return;
    }
    m_drag = Drag::Resize;
    m_dragStart = event->globalPosition().toPoint();
    m_dragGeometry = geometry();
}

void frmMain::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        startMove(event);
    else if (event->button() == Qt::RightButton)
        popUp(NoteMenus::PopUpMenu);
}

void frmMain::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drag == Drag::None || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint delta = event->globalPosition().toPoint() - m_dragStart;
    if (m_drag == Drag::Move)
        move(m_dragGeometry.topLeft() + delta);
    else
        resize(m_dragGeometry.size() + QSize(delta.x(), delta.y()));
}

void frmMain::mouseReleaseEvent(QMouseEvent*)
{
    m_drag = Drag::None;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == m_rtb && type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        m_lastKeyDown = key->key();
        const Qt::KeyboardModifiers mods = key->modifiers();
        // The area must not paste rich text itself; the key handler pastes plain text.
        if (key->key() == Qt::Key_V && (mods & Qt::ControlModifier) && (mods & Qt::ShiftModifier))
            return true;
        if (key->key() == Qt::Key_Menu) {
            popUpTextMenu();
            return true;
        }
        return false;
    }
    if (watched == m_rtb && type == QEvent::KeyRelease) {
        // Handled here once; the text area has no use for releases.
        keyReleaseEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    if (watched == m_rtb->viewport() && type == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            popUpTextMenu();
            return true;
        }
        return false;
    }
    const bool mouseEvent = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                            type == QEvent::MouseButtonRelease ||
                            type == QEvent::MouseButtonDblClick;
    if (!mouseEvent)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool press = type == QEvent::MouseButtonPress;
    const bool icon =
        watched == m_icon || watched == m_reminderIcons[0] || watched == m_reminderIcons[1];
    if (watched == m_caption || icon) {
        if (press && mouse->button() == Qt::LeftButton)
            startMove(mouse);
        else if (type == QEvent::MouseMove)
            mouseMoveEvent(mouse);
        else if (type == QEvent::MouseButtonRelease)
            mouseReleaseEvent(mouse);
        else if (icon && press && mouse->button() == Qt::RightButton)
            popUp(NoteMenus::SystemMenu);
        else if (icon && type == QEvent::MouseButtonDblClick)
            ToggleMinimize();
        return false;
    }
    if (watched == m_subCaption) {
        if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton)
            popUp(NoteMenus::PopupCaption);
        else if (type == QEvent::MouseButtonDblClick)
            lblSubCaption_DblClick();
        return false;
    }
    if (watched == m_resize && press) {
        startResize(mouse);
        return true;
    }
    if (watched == m_resize && (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)) {
        type == QEvent::MouseMove ? mouseMoveEvent(mouse) : mouseReleaseEvent(mouse);
        return true;
    }
    // Dialogs these open must not start inside the click, which would leave the mouse with
    // the picture and the dialog deaf to it.
    if (watched == m_help && type == QEvent::MouseButtonRelease &&
        mouse->button() == Qt::LeftButton)
        QMetaObject::invokeMethod(this, &frmMain::ShowNotImplemented, Qt::QueuedConnection);
    if (watched == m_close && type == QEvent::MouseButtonRelease &&
        mouse->button() == Qt::LeftButton)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void frmMain::popUp(const char* menuName)
{
    if (QMenu* popup = menu(QString::fromLatin1(menuName)))
        popup->popup(QCursor::pos());
}

void frmMain::popUpTextMenu()
{
    popUp(m_rtb->textCursor().hasSelection() ? NoteMenus::PopUpSelect : NoteMenus::PopUpMenu);
}

void frmMain::ToggleMinimize()
{
    if (twipsGeometry().width() == NoteSize::MinWidth)
        RestoreNote();
    else
        MinimizeNote();
}

void frmMain::MinimizeNote()
{
    ensureLoaded();
    const QRect place = twipsGeometry();
    m_Note.Height = place.height();
    m_Note.Width = place.width();
    setSizeTwips(NoteSize::MinWidth, NoteSize::MinHeight);
    m_minimized = true;
    refreshIconTooltip();
    menuItem(QStringLiteral("mnuSystemMinimize"))->setEnabled(false);
}

void frmMain::RestoreNote()
{
    ensureLoaded();
    setSizeTwips(m_Note.Width, m_Note.Height);
    m_minimized = false;
    m_icon->setProperty("tag", QString());
    menuItem(QStringLiteral("mnuSystemMinimize"))->setEnabled(true);
}

void frmMain::refreshIconTooltip()
{
    QString excerpt = m_rtb->Text().left(kExcerptLength);
    excerpt.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    m_icon->setToolTip(excerpt);
}

void frmMain::mnuCaptionType_Click(int Index)
{
    switch (Index) {
    case 0:
        m_subCaption->setText(m_Note.TimeDate);
        break;
    case 1:
        m_subCaption->setText(QStringLiteral("Word Count: ") + QString::number(m_wordCount));
        break;
    case 2:
        m_subCaption->setText(QStringLiteral("Character Count: ") +
                              QString::number(m_rtb->Text().size()));
        break;
    case 3:
        m_subCaption->setText(QStringLiteral("File: ") + modFileFunctions::GetFileName(m_tag));
        break;
    default:
        return;
    }
    checkFamily(QStringLiteral("mnuCaptionType"), Index, 4);
    m_Note.CaptionType = Index;
}

void frmMain::lblSubCaption_DblClick()
{
    if (menuItem(QStringLiteral("mnuCaptionType"), 0)->isChecked()) {
        m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
        m_subCaption->setText(m_Note.TimeDate);
    } else if (menuItem(QStringLiteral("mnuCaptionType"), 1)->isChecked() ||
               menuItem(QStringLiteral("mnuCaptionType"), 2)->isChecked()) {
        RTB1_Change();
    }
}

void frmMain::RTB1_Change()
{
    if (m_Note.SaveNewNoteOnClose || m_isDirty)
        setChanged(true);
    const QString text = m_rtb->Text();
    // Pieces between single blanks, as the classic count did: line breaks join words.
    m_wordCount = text.isEmpty() ? 0 : static_cast<int>(text.count(QLatin1Char(' ')) + 1);
    if (menuItem(QStringLiteral("mnuCaptionType"), 1)->isChecked()) {
        m_subCaption->setText(QStringLiteral("Word Count: ") + QString::number(m_wordCount));
    } else if (menuItem(QStringLiteral("mnuCaptionType"), 2)->isChecked()) {
        // The clipboard notes' header "Clipboard Viewer:" and its line break are not counted.
        const bool clipboardNote = m_Note.SpecialType == 5 || m_Note.SpecialType == 6;
        const qsizetype count = text.size() - (clipboardNote ? 19 : 0);
        m_subCaption->setText(QStringLiteral("Character Count: ") + QString::number(count));
    }
}

void frmMain::ShowNotImplemented()
{
    modMain::SetTopMost(this, 1);
    MessageBox::show(this, QMessageBox::Information, QStringLiteral("Jottex"),
                     QStringLiteral("This feature has not been implemented in this release"),
                     QMessageBox::Ok);
    if (m_Note.IsOnTop)
        modMain::SetTopMost(this, 0);
}

void frmMain::mnuInsertDateTime_Click(int Index)
{
    const QDateTime now = Clock::now();
    QString text;
    switch (Index) {
    case 0:
        text = LocaleFormat::generalDate(now);
        break;
    case 1:
        text = LocaleFormat::longDate(now.date());
        break;
    case 2:
        text = LocaleFormat::shortDate(now.date());
        break;
    default:
        return;
    }
    m_rtb->textCursor().insertText(text);
}

void frmMain::pastePlainText()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QString text = data && data->hasText() ? data->text() : QString();
    QTextCursor cursor = m_rtb->textCursor();
    if (text.isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertText(text);
}
