#include "special/frmAlert.h"

#include "dialogs/MessageBox.h"
#include "shell/Twips.h"
#include "special/AlertSound.h"
#include "special/CGradient.h"

#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace {
// The layout, in twips.
constexpr int kPictureWidth = 2055;
constexpr int kPictureHeight = 1695;
constexpr int kStartHeight = 90;
constexpr int kSlideStep = 30;
constexpr int kClosedBelow = 121;
constexpr int kSlideInterval = 10; // ms
constexpr QRect kMessagePlace(90, 600, 1815, 735);
constexpr QRect kClosePlace(1680, 120, 195, 180);

const QColor kMessageBlue(0, 0, 255);
constexpr qint32 kGradientTop = 61 | (149 << 8) | (255 << 16);
constexpr qint32 kWhite = 0xFFFFFF;
constexpr float kGradientAngle = -100;

int& alertCounter()
{
    static int count = 0;
    return count;
}

QPixmap closePicture(bool hover)
{
    AlertSound::loadResources();
    const QString path =
        hover ? QStringLiteral(":/alert/close-hover.svg") : QStringLiteral(":/alert/close.svg");
    const QRect place = Twips::rectToPixels(kClosePlace.x(), kClosePlace.y(), kClosePlace.width(),
                                            kClosePlace.height());
    return QIcon(path).pixmap(place.size());
}

QTimer* makeTimer(QObject* owner, int interval)
{
    auto* timer = new QTimer(owner);
    timer->setInterval(interval);
    return timer;
}
} // namespace

frmAlert::frmAlert()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The alert tells; it never takes the keyboard from what the user is doing.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Jottex"));

    m_picBackground = new QLabel(this);
    m_picBackground->setGeometry(Twips::rectToPixels(0, 0, kPictureWidth, kPictureHeight));
    m_lblAlert = new QLabel(tr("Alert Message"), m_picBackground);
    m_lblAlert->setObjectName(QStringLiteral("lblAlert"));
    m_lblAlert->setGeometry(Twips::rectToPixels(kMessagePlace.x(), kMessagePlace.y(),
                                                kMessagePlace.width(), kMessagePlace.height()));
    m_lblAlert->setAlignment(Qt::AlignCenter);
    m_lblAlert->setWordWrap(true);
    m_imgClose = new QLabel(m_picBackground);
    m_imgClose->setObjectName(QStringLiteral("imgClose"));
    m_imgClose->setGeometry(Twips::rectToPixels(kClosePlace.x(), kClosePlace.y(),
                                                kClosePlace.width(), kClosePlace.height()));
    m_closePictures[int(CloseLook::Normal)] = closePicture(false);
    m_closePictures[int(CloseLook::Hover)] = closePicture(true);
    m_imgClose->setPixmap(m_closePictures[int(CloseLook::Normal)]);
    m_imgClose->setCursor(Qt::PointingHandCursor);
    setMessageHighlighted(false);
    for (QWidget* part : {static_cast<QWidget*>(m_picBackground), static_cast<QWidget*>(m_lblAlert),
                          static_cast<QWidget*>(m_imgClose)}) {
        part->setMouseTracking(true);
        part->installEventFilter(this);
    }

    m_tmrOpen = makeTimer(this, kSlideInterval);
    m_tmrAlert = makeTimer(this, 5000);
    m_tmrClose = makeTimer(this, kSlideInterval);
    connect(m_tmrOpen, &QTimer::timeout, this, &frmAlert::tmrOpen_Timer);
    connect(m_tmrAlert, &QTimer::timeout, this, &frmAlert::tmrAlert_Timer);
    connect(m_tmrClose, &QTimer::timeout, this, &frmAlert::tmrClose_Timer);
}

frmAlert::~frmAlert() = default;

int frmAlert::alertCount()
{
    return alertCounter();
}

void frmAlert::DisplayAlert(const QString& message, int durationMs)
{
    m_sequence = ++alertCounter();
    m_lblAlert->setText(message);
    m_tmrAlert->setInterval(durationMs);

    // Frameless: the outer size is the picture's. The first alert's bottom edge stands on the
    // work area's bottom edge; each alert still counted stacks one full height above.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect work = screen->availableGeometry();
    m_widthTwips = kPictureWidth;
    m_heightTwips = kStartHeight;
    m_leftTwips = Twips::fromPixels(work.x() + work.width(), screen) - m_widthTwips;
    m_topTwips = Twips::fromPixels(work.y() + work.height(), screen) - kStartHeight -
                 kPictureHeight * (m_sequence - 1);
    placeInTwips();
    show();
    AlertSound::play();
    paintBackground();
    m_tmrOpen->start();
}

void frmAlert::placeInTwips()
{
    setGeometry(Twips::rectToPixels(m_leftTwips, m_topTwips, m_widthTwips, m_heightTwips));
}

void frmAlert::paintBackground()
{
    QImage picture(m_picBackground->size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    CGradient gradient;
    gradient.setAngle(kGradientAngle);
    gradient.setColor1(kGradientTop);
    gradient.setColor2(kWhite);
    gradient.Draw(picture);
    m_picBackground->setPixmap(QPixmap::fromImage(picture));
}

void frmAlert::tmrOpen_Timer()
{
    if (m_heightTwips >= kPictureHeight) {
        m_tmrOpen->stop();
        m_tmrAlert->start();
        return;
    }
    // The bottom edge stays; the top rises.
    const int grown = std::min(m_heightTwips + kSlideStep, kPictureHeight);
    m_topTwips -= grown - m_heightTwips;
    m_heightTwips = grown;
    placeInTwips();
}

void frmAlert::tmrAlert_Timer()
{
    m_tmrAlert->stop();
    m_tmrClose->start();
}

void frmAlert::tmrClose_Timer()
{
    if (m_heightTwips < kClosedBelow) {
        m_tmrClose->stop();
        // Only the newest alert's closing lets the next one start at the bottom again.
        if (alertCounter() == m_sequence)
            alertCounter() = 0;
        close();
        return;
    }
    m_heightTwips -= kSlideStep;
    m_topTwips += kSlideStep;
    placeInTwips();
}

void frmAlert::setCloseLook(CloseLook look)
{
    if (look == m_closeLook)
        return;
    m_closeLook = look;
    m_imgClose->setPixmap(m_closePictures[int(look)]);
}

void frmAlert::setMessageHighlighted(bool highlighted)
{
    QFont font = m_lblAlert->font();
    font.setUnderline(highlighted);
    m_lblAlert->setFont(font);
    QPalette palette = m_lblAlert->palette();
    palette.setColor(QPalette::WindowText, highlighted ? kMessageBlue : QColor(Qt::black));
    m_lblAlert->setPalette(palette);
}

bool frmAlert::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::Enter) {
        // Moves over the message or the close image stop there, or the background would
        // take them back.
        if (watched == m_imgClose) {
            setCloseLook(CloseLook::Hover);
            return true;
        }
        if (watched == m_lblAlert) {
            if (!m_lblAlert->font().underline())
                setMessageHighlighted(true);
            return true;
        }
        if (watched == m_picBackground) {
            setCloseLook(CloseLook::Normal);
            if (m_lblAlert->font().underline())
                setMessageHighlighted(false);
        }
    } else if (type == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_imgClose) {
            // Hidden at once; the timers still run on and end the window.
            hide();
            return true;
        }
        if (watched == m_lblAlert) {
            lblAlert_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmAlert::lblAlert_Click()
{
    MessageBox::show(this, QMessageBox::NoIcon, QStringLiteral("Jottex"),
                     tr("The time on your reminder note has expired"), QMessageBox::Ok);
}
