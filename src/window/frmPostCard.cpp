#include "window/frmPostCard.h"

#include "shell/Twips.h"
#include "window/Artwork.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {
using TwipsRect = Twips::Rect;
constexpr TwipsRect kForm{0, 0, 5400, 3840};
constexpr TwipsRect kPicture1{240, 240, 600, 600};
constexpr TwipsRect kLabel3{1020, 330, 4140, 420};
constexpr TwipsRect kLabel2{240, 1020, 4920, 255};
constexpr TwipsRect kLabel1{240, 1290, 4920, 780};
constexpr TwipsRect kFrame1{240, 2160, 3720, 1440};
constexpr TwipsRect kLabel4{120, 300, 3480, 255}; // inside Frame1
constexpr int kLabel5Top = 600;                   // inside Frame1, one line after another
constexpr int kLabel5Height = 255;
constexpr TwipsRect kImage1{4200, 2280, 720, 720};
constexpr TwipsRect kCmdOk{4080, 3225, 1080, 375};

constexpr std::array<const char*, 3> kSendTo{
    QT_TRANSLATE_NOOP("frmPostCard", "The Jottex project"),
    QT_TRANSLATE_NOOP("frmPostCard", "Share a picture of your city"),
    QT_TRANSLATE_NOOP("frmPostCard", "on the project's page"),
};

QLabel* label(QWidget* parent, const QString& name, const QString& text, const TwipsRect& rect)
{
    auto* created = new QLabel(text, parent);
    created->setObjectName(name);
    created->setGeometry(rect.pixels());
    return created;
}

void makeBold(QLabel* target, double scale = 1.0)
{
    QFont font = target->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * scale);
    target->setFont(font);
}
} // namespace

frmPostCard::frmPostCard(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmPostCard"));
    setWindowTitle(tr("Postcardware"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(kForm.pixels().size());

    QLabel* picture1 = label(this, QStringLiteral("Picture1"), QString(), kPicture1);
    picture1->setPixmap(Artwork::appIcon().pixmap(picture1->size()));
    makeBold(label(this, QStringLiteral("Label3"), tr("Send us a postcard"), kLabel3), 1.4);
    makeBold(label(this, QStringLiteral("Label2"), tr("Postcard Ware - "), kLabel2));
    m_label1 = label(this, QStringLiteral("Label1"), QString(), kLabel1);
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(kFrame1.pixels());
    makeBold(label(frame1, QStringLiteral("Label4"), tr("Send To:"), kLabel4));
    for (std::size_t i = 0; i < kSendTo.size(); ++i) {
        const int top = kLabel5Top + static_cast<int>(i) * kLabel5Height;
        m_label5.at(i) = label(frame1, QStringLiteral("Label5(%1)").arg(i), tr(kSendTo.at(i)),
                               TwipsRect{kLabel4.left, top, kLabel4.width, kLabel5Height});
    }

    QLabel* image1 = label(this, QStringLiteral("Image1"), QString(), kImage1);
    image1->setPixmap(Artwork::menuIcon(QStringLiteral("Email")).pixmap(image1->size()));

    m_cmdOk = new QPushButton(tr("OK"), this);
    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));
    m_cmdOk->setGeometry(kCmdOk.pixels());
    m_cmdOk->setDefault(true);
    connect(m_cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    Form_Load();
}

frmPostCard::~frmPostCard() = default;

void frmPostCard::Form_Load()
{
    m_label1->setText(tr("If you like the application, DLL, or OCX then we would appreciate a "
                         "Postcard from your city.  Be creative, show us what makes your city "
                         "unique or interesting"));
}

void frmPostCard::showModal(QWidget* owner)
{
    ModalOnce<frmPostCard>::show(owner);
}

frmPostCard* frmPostCard::current()
{
    return ModalOnce<frmPostCard>::current();
}
