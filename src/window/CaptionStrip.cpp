#include "window/CaptionStrip.h"

#include "shell/Twips.h"
#include "window/Artwork.h"
#include "window/FrameLabel.h"
#include "window/FrameLayout.h"

#include <QPainter>
#include <QToolButton>

namespace {
const QColor kStripGrey(128, 128, 128);
const char* const kIconToolTip = "Right-click for options";

void placeTwips(QWidget* control, const FrameLayout::Place& place)
{
    control->setGeometry(Twips::rectToPixels(place.left, place.top, place.width, place.height));
}

QFont verdana(double points)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    return font;
}
} // namespace

CaptionStrip::CaptionStrip(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("captionStrip"));
    m_icons[int(Icon::Note)] = makeIcon("imgIcon", Artwork::noteIcon());
    m_icons[int(Icon::Reminder0)] = makeIcon("imgIconReminder(0)", Artwork::reminderIcon(0));
    m_icons[int(Icon::Reminder1)] = makeIcon("imgIconReminder(1)", Artwork::reminderIcon(1));
    showIcon(Icon::Note);

    m_caption = new FrameLabel(this);
    m_caption->setObjectName(QStringLiteral("lblCaption"));
    m_caption->setText(QStringLiteral("Jottex"));
    m_caption->setFont(verdana(9));
    m_caption->setStyleSheet(QStringLiteral("color: white; background: rgb(128,128,128);"));
    placeTwips(m_caption, FrameLayout::Caption);
    connectDrag(m_caption);

    m_help = makeButton("imgHelp", Artwork::helpPicture(), "Display help");
    placeTwips(m_help, FrameLayout::HelpPicture);
    connect(m_help, &QToolButton::clicked, this, &CaptionStrip::helpClicked);
    m_close = makeButton("CloseImage", Artwork::closePicture(), "Close note");
    placeTwips(m_close, FrameLayout::ClosePicture);
    connect(m_close, &QToolButton::clicked, this, &CaptionStrip::closeClicked);
}

FrameLabel* CaptionStrip::makeIcon(const char* name, const QIcon& artwork)
{
    auto* icon = new FrameLabel(this);
    icon->setObjectName(QString::fromLatin1(name));
    const int pixels = Twips::toPixels(FrameLayout::NoteIcon.width);
    icon->setPixmap(artwork.pixmap(QSize(pixels, pixels), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignCenter);
    icon->setToolTip(QString::fromLatin1(kIconToolTip));
    placeTwips(icon, FrameLayout::NoteIcon);
    connectDrag(icon);
    connect(icon, &FrameLabel::pressed, this, [this](Qt::MouseButton button) {
        if (button == Qt::RightButton)
            emit iconMenuRequested();
    });
    connect(icon, &FrameLabel::doubleClicked, this, &CaptionStrip::iconDoubleClicked);
    return icon;
}

QToolButton* CaptionStrip::makeButton(const char* name, const QIcon& artwork, const char* toolTip)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(artwork);
    const int pixels = Twips::toPixels(FrameLayout::ClosePicture.width);
    button->setIconSize(QSize(pixels, pixels));
    button->setToolTip(QString::fromLatin1(toolTip));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    return button;
}

void CaptionStrip::connectDrag(FrameLabel* label)
{
    connect(label, &FrameLabel::pressed, this, [this](Qt::MouseButton button, QPoint globalPos) {
        if (button == Qt::LeftButton)
            emit moveStarted(globalPos);
    });
    connect(label, &FrameLabel::dragged, this, &CaptionStrip::dragged);
    connect(label, &FrameLabel::released, this, &CaptionStrip::dragEnded);
}

QLabel* CaptionStrip::caption() const
{
    return m_caption;
}

QWidget* CaptionStrip::icon(Icon which) const
{
    return m_icons[int(which)];
}

void CaptionStrip::showIcon(Icon which)
{
    for (int i = 0; i < 3; ++i)
        m_icons[i]->setVisible(i == int(which));
}

void CaptionStrip::setIconToolTip(const QString& text)
{
    m_icons[int(Icon::Note)]->setToolTip(text);
}

void CaptionStrip::layOut(int widthTwips)
{
    using namespace FrameLayout;
    setGeometry(Twips::rectToPixels(0, 0, widthTwips, StripHeight));
    placeTwips(m_caption,
               {Caption.left, Caption.top, widthTwips - CaptionWidthMargin, Caption.height});
    placeTwips(m_close, {widthTwips - ClosePicture.width - CloseRightGap, ClosePicture.top,
                         ClosePicture.width, ClosePicture.height});
    placeTwips(m_help, {widthTwips - 2 * HelpPicture.width - HelpRightGap, HelpPicture.top,
                        HelpPicture.width, HelpPicture.height});
}

void CaptionStrip::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), kStripGrey);
}
