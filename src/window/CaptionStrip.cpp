#include "window/CaptionStrip.h"

#include "shell/Twips.h"
#include "window/Artwork.h"
#include "window/FrameLabel.h"
#include "window/FrameLayout.h"

#include <QAbstractButton>
#include <QPainter>

namespace {
using FrameLayout::placeTwips;

const QColor kStripGrey(128, 128, 128);
// A conflict copy's strip: amber, told apart from the grey at a glance.
const QColor kConflictAmber(184, 98, 0);

// A picture that acts as a button: it is clicked by a release over it, and shows neither a
// frame nor a hover panel.
class PictureButton : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        icon().paint(&painter, rect());
    }
};

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
    m_icons[int(Icon::Note)] = makeIcon("imgIcon", Artwork::noteIcon(), tr("Note menu"));
    m_icons[int(Icon::Reminder0)] =
        makeIcon("imgIconReminder(0)", Artwork::reminderIcon(0), tr("Note menu, reminder due"));
    m_icons[int(Icon::Reminder1)] =
        makeIcon("imgIconReminder(1)", Artwork::reminderIcon(1), tr("Note menu, reminder set"));
    showIcon(Icon::Note);

    m_caption = new FrameLabel(this);
    m_caption->setObjectName(QStringLiteral("lblCaption"));
    m_caption->setText(title());
    m_caption->setFont(verdana(9));
    // White on the strip's grey, which the strip paints beneath the label.
    m_caption->setTextColor(Qt::white);
    placeTwips(m_caption, FrameLayout::Caption);
    connectDrag(m_caption);

    m_help = makeButton("imgHelp", Artwork::helpPicture(), tr("Help"), tr("Display help"));
    placeTwips(m_help, FrameLayout::HelpPicture);
    connect(m_help, &QAbstractButton::clicked, this, &CaptionStrip::helpClicked);
    m_close =
        makeButton("CloseImage", Artwork::closePicture(), tr("Close note"), tr("Closes the note"));
    placeTwips(m_close, FrameLayout::ClosePicture);
    connect(m_close, &QAbstractButton::clicked, this, &CaptionStrip::closeClicked);
}

FrameLabel* CaptionStrip::makeIcon(const char* name, const QIcon& artwork,
                                   const QString& accessibleName)
{
    auto* icon = new FrameLabel(this);
    icon->setObjectName(QString::fromLatin1(name));
    icon->setActsAsButton(true);
    icon->setAccessibleName(accessibleName);
    icon->setAccessibleDescription(tr("Opens the note's menu"));
    const int pixels = Twips::toPixels(FrameLayout::NoteIcon.width);
    icon->setPixmap(artwork.pixmap(QSize(pixels, pixels), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignCenter);
    icon->setToolTip(tr("Right-click for options"));
    placeTwips(icon, FrameLayout::NoteIcon);
    connectDrag(icon);
    connect(icon, &FrameLabel::pressed, this, [this](Qt::MouseButton button) {
        if (button == Qt::RightButton)
            emit iconMenuRequested();
    });
    connect(icon, &FrameLabel::activated, this, &CaptionStrip::iconMenuRequested);
    connect(icon, &FrameLabel::doubleClicked, this, &CaptionStrip::iconDoubleClicked);
    return icon;
}

QAbstractButton* CaptionStrip::makeButton(const char* name, const QIcon& artwork,
                                          const QString& accessibleName, const QString& toolTip)
{
    auto* button = new PictureButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(artwork);
    button->setToolTip(toolTip);
    button->setAccessibleName(accessibleName);
    button->setFocusPolicy(Qt::NoFocus);
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
    QPainter(this).fillRect(rect(), m_conflictCopy ? kConflictAmber : kStripGrey);
}

QString CaptionStrip::title()
{
    return QStringLiteral("Jottex");
}

void CaptionStrip::showChanged(bool changed)
{
    m_changed = changed;
    showCaption();
}

void CaptionStrip::showConflictCopy(bool conflictCopy)
{
    m_conflictCopy = conflictCopy;
    m_caption->setToolTip(conflictCopy ? tr("Another computer changed this note at the same time "
                                            "as this one. This is its version; the other note "
                                            "keeps this computer's.")
                                       : QString());
    showCaption();
    update();
}

void CaptionStrip::showCaption()
{
    QString text = title();
    if (m_conflictCopy)
        text += QStringLiteral(" - ") + tr("Conflict Copy");
    if (m_changed)
        text += QStringLiteral(" *");
    m_caption->setText(text);
}
