#pragma once

#include "window/ModalOnce.h"

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;
class QTimer;

// Where mail about the program goes: the About window's e-mail link.
inline constexpr char kProjectAddress[] = "jottex@example.org";

// One step of the About window's credits roll for a line whose top is at `top` twips: it rises
// 50 twips, re-enters at 3000 once it has passed the window's top edge, and shows only while
// its top is at most 2000.
struct CreditStep {
    int top;
    bool visible;
    static constexpr int StepTwips = 50;
    static constexpr int ReentryTwips = 3000;
    static constexpr int VisibleBelowTwips = 2000;
    static CreditStep after(int top);
};

// The About window: build number, the credits roll, the project's e-mail address, the terms
// of use, and the way to the postcard window. One at a time, modal to the program.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    static constexpr int CreditLines = 4;

    // Shows the window modally over owner and returns once it is closed.
    static void showModal(QWidget* owner);
    // The window while it is open, else null.
    static frmAbout* current();
    ~frmAbout() override;

    // "Build - major.minor.0.revision"; the third number is always 0.
    static QString buildLabel(int major, int minor, int revision);

    QLabel* lblBuild() const { return m_lblBuild; }
    // Credit lines 1 to 4.
    QLabel* Label1(int index) const { return m_credits.at(static_cast<std::size_t>(index - 1)); }
    int creditTop(int index) const { return m_creditTops.at(static_cast<std::size_t>(index - 1)); }
    QLabel* Label4() const { return m_lblAddress; }
    QLabel* lblDisclaimer() const { return m_lblDisclaimer; }
    QPushButton* Command2() const { return m_command2; }
    QPushButton* cmdOk() const { return m_cmdOk; }
    QTimer* Timer1() const { return m_timer1; }

    void Timer1_Timer();
    void Label4_Click();
    void Command2_Click();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class ModalOnce<frmAbout>;
    explicit frmAbout(QWidget* owner);
    void Form_Load();
    void placeCredit(int index);

    QLabel* m_lblBuild = nullptr;
    std::array<QLabel*, CreditLines> m_credits{};
    std::array<int, CreditLines> m_creditTops{};
    QLabel* m_lblAddress = nullptr;
    QLabel* m_lblDisclaimer = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QTimer* m_timer1 = nullptr;
};
