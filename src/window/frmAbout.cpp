#include "window/frmAbout.h"

#include "shell/Twips.h"
#include "shell/WindowUtils.h"
#include "shell/version.h"
#include "window/Artwork.h"
#include "window/frmPostCard.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace {
using TwipsRect = Twips::Rect;
constexpr TwipsRect kForm{0, 0, 5760, 4740};
constexpr TwipsRect kPicture1{240, 240, 720, 720};
constexpr TwipsRect kShape1{1080, 0, 4440, 2280};
constexpr int kCreditLeft = 1200;
constexpr int kCreditWidth = 4200;
constexpr int kCreditHeight = 255;
constexpr TwipsRect kBuild{240, 2400, 5280, 255};
constexpr TwipsRect kLabel5{240, 2715, 720, 255};
constexpr TwipsRect kLabel4{1080, 2715, 4440, 255};
constexpr int kLine1Top = 3060;
constexpr TwipsRect kDisclaimer{240, 3150, 5280, 960};
constexpr TwipsRect kCommand2{240, 4200, 1800, 375};
constexpr TwipsRect kCmdOk{4320, 4200, 1200, 375};
constexpr int kTimer1IntervalMs = 100;

// Where the four lines start: spaced evenly, so one keeps entering as another leaves.
constexpr std::array<int, frmAbout::CreditLines> kCreditStartTops{300, 900, 1500, 2100};
constexpr std::array<const char*, frmAbout::CreditLines> kCreditTexts{
    "Jottex", // the program's name, the same in every language
    QT_TRANSLATE_NOOP("frmAbout", "Sticky notes for the Linux desktop"),
    QT_TRANSLATE_NOOP("frmAbout", "built by the Jottex developers"),
    QT_TRANSLATE_NOOP("frmAbout", "Thank you for using it"),
};

QLabel* label(QWidget* parent, const char* name, const QString& text, const TwipsRect& rect)
{
    auto* created = new QLabel(text, parent);
    created->setObjectName(QString::fromLatin1(name));
    created->setGeometry(rect.pixels());
    return created;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const TwipsRect& rect)
{
    auto* created = new QPushButton(text, parent);
    created->setObjectName(QString::fromLatin1(name));
    created->setGeometry(rect.pixels());
    return created;
}

// A label that acts as a link: it reports clicks and looks clickable.
class LinkLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> clicked;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (clicked)
            clicked();
    }
};
} // namespace

CreditStep CreditStep::after(int top)
{
    int moved = top - StepTwips;
    if (moved < 0)
        moved = ReentryTwips;
    return CreditStep{moved, moved <= VisibleBelowTwips};
}

frmAbout::frmAbout(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(kForm.pixels().size());

    auto* picture1 = label(this, "Picture1", QString(), kPicture1);
    picture1->setPixmap(Artwork::appIcon().pixmap(picture1->size()));

    for (int i = 1; i <= CreditLines; ++i) {
        const auto slot = static_cast<std::size_t>(i - 1);
        QLabel* line = label(this, "Label1", tr(kCreditTexts.at(slot)),
                             TwipsRect{kCreditLeft, 0, kCreditWidth, kCreditHeight});
        line->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        line->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        m_credits.at(slot) = line;
    }
    QFont first = m_credits.front()->font();
    first.setBold(true);
    m_credits.front()->setFont(first);

    m_lblBuild = label(this, "lblBuild", QString(), kBuild);
    label(this, "Label5", tr("Email"), kLabel5);

    auto* address = new LinkLabel(QString::fromLatin1(kProjectAddress), this);
    address->setObjectName(QStringLiteral("Label4"));
    address->setGeometry(kLabel4.pixels());
    QFont linkFont = address->font();
    linkFont.setUnderline(true);
    address->setFont(linkFont);
    address->setStyleSheet(QStringLiteral("color: #0000c0;"));
    address->setCursor(Qt::PointingHandCursor);
    address->clicked = [this] { Label4_Click(); };
    m_lblAddress = address;

    m_lblDisclaimer = label(this, "lblDisclaimer",
                            tr("Jottex is free software: you can redistribute it and/or modify it "
                               "under the terms of the GNU General Public License, version 3 or "
                               "(at your option) any later version. It comes without any "
                               "warranty."),
                            kDisclaimer);
    m_lblDisclaimer->setWordWrap(true);
    m_lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_command2 = button(this, "Command2", tr("Postcard Ware"), kCommand2);
    m_command2->setToolTip(tr("Click for information about PostcardWare"));
    m_command2->setAutoDefault(false);
    connect(m_command2, &QPushButton::clicked, this, &frmAbout::Command2_Click);
    m_cmdOk = button(this, "cmdOk", tr("OK"), kCmdOk);
    m_cmdOk->setDefault(true);
    connect(m_cmdOk, &QPushButton::clicked, this, &QDialog::accept);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kTimer1IntervalMs);
    connect(m_timer1, &QTimer::timeout, this, &frmAbout::Timer1_Timer);
    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load()
{
    m_lblBuild->setText(buildLabel(Version::Major, Version::Minor, Version::Revision));
    m_creditTops = kCreditStartTops;
    for (int i = 1; i <= CreditLines; ++i) {
        placeCredit(i);
        Label1(i)->setVisible(creditTop(i) <= CreditStep::VisibleBelowTwips);
    }
    m_timer1->start();
}

void frmAbout::showModal(QWidget* owner)
{
    ModalOnce<frmAbout>::show(owner);
}

frmAbout* frmAbout::current()
{
    return ModalOnce<frmAbout>::current();
}

QString frmAbout::buildLabel(int major, int minor, int revision)
{
    return tr("Build - %1.%2.0.%3").arg(major).arg(minor).arg(revision);
}

void frmAbout::placeCredit(int index)
{
    QLabel* line = Label1(index);
    line->move(line->x(), Twips::toPixels(creditTop(index)));
}

void frmAbout::Timer1_Timer()
{
    for (int i = 1; i <= CreditLines; ++i) {
        const CreditStep step = CreditStep::after(creditTop(i));
        m_creditTops.at(static_cast<std::size_t>(i - 1)) = step.top;
        placeCredit(i);
        Label1(i)->setVisible(step.visible);
    }
}

void frmAbout::Label4_Click()
{
    // A desktop without a mail program changes nothing here: the failure is ignored.
    (void)modMain::ShellOpen(QStringLiteral("open"), QStringLiteral("mailto:") +
                                                         QString::fromLatin1(kProjectAddress) +
                                                         QStringLiteral("?subject=Jottex"));
}

void frmAbout::Command2_Click()
{
    frmPostCard::showModal(this);
}

void frmAbout::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Shape1: the pale band the credits rise through.
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawRoundedRect(QRectF(kShape1.pixels()).adjusted(0.5, -4, -0.5, -0.5), 6, 6);
    // Line1: between the address and the terms of use.
    const int y = Twips::toPixels(kLine1Top);
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.drawLine(Twips::toPixels(kBuild.left), y, Twips::toPixels(kBuild.left + kBuild.width),
                     y);
}
