#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QTimer;

// The small alert that slides up at the bottom right of the screen with a gradient background
// and a chime, stays for a while and slides away. Alerts shown while others are still open
// stack above them.
class frmAlert : public QWidget {
    Q_OBJECT

public:
    frmAlert();
    ~frmAlert() override;

    // Shows the message for durationMs once fully open; the window deletes itself at the end.
    void DisplayAlert(const QString& message, int durationMs);

    // Alerts shown since the newest one last closed.
    static int alertCount();

    QLabel* lblAlert() const { return m_lblAlert; }
    QLabel* imgClose() const { return m_imgClose; }
    int heightTwips() const { return m_heightTwips; }
    int topTwips() const { return m_topTwips; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tmrOpen_Timer();
    void tmrAlert_Timer();
    void tmrClose_Timer();
    void placeInTwips();
    void paintBackground();
    enum class CloseLook { Normal, Hover };
    void setCloseLook(CloseLook look);
    void setMessageHighlighted(bool highlighted);
    void lblAlert_Click();

    QLabel* m_picBackground = nullptr;
    QLabel* m_lblAlert = nullptr;
    QLabel* m_imgClose = nullptr;
    QPixmap m_closePictures[2];
    CloseLook m_closeLook = CloseLook::Normal;
    QTimer* m_tmrOpen = nullptr;
    QTimer* m_tmrAlert = nullptr;
    QTimer* m_tmrClose = nullptr;
    int m_sequence = 0;
    int m_leftTwips = 0;
    int m_topTwips = 0;
    int m_widthTwips = 0;
    int m_heightTwips = 0;
};
