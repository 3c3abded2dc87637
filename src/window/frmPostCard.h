#pragma once

#include "window/ModalOnce.h"

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;

// Asks users who like the program to share a picture of their city. One at a time, modal.
class frmPostCard : public QDialog {
    Q_OBJECT

public:
    static void showModal(QWidget* owner);
    // The window while it is open, else null.
    static frmPostCard* current();
    ~frmPostCard() override;

    QLabel* Label1() const { return m_label1; }
    // The three lines of the "Send To:" block, 0 to 2.
    QLabel* Label5(int index) const { return m_label5.at(static_cast<std::size_t>(index)); }
    QPushButton* cmdOk() const { return m_cmdOk; }

private:
    friend class ModalOnce<frmPostCard>;
    explicit frmPostCard(QWidget* owner);
    void Form_Load();

    QLabel* m_label1 = nullptr;
    std::array<QLabel*, 3> m_label5{};
    QPushButton* m_cmdOk = nullptr;
};
