#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

// The caret blinks while the user works and stops, shown, after a few seconds without input,
// as the desktop's carets do: a note left alone on the screen then wakes the machine for
// nothing. Any key, click or change of focus makes it blink again.
class CaretBlink : public QObject {
public:
    // Five seconds, as a caret waits on the desktop the notes came from.
    static constexpr std::chrono::milliseconds kDefaultTimeout{5000};

    // Watches the whole application; the watcher lives as long as the application.
    static void install(std::chrono::milliseconds timeout = kDefaultTimeout);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CaretBlink(std::chrono::milliseconds timeout, QObject* parent);
    void wake();
    void rest();

    int m_flashTime; // the platform's blink period, given back on input
    QTimer m_timeout;
};
