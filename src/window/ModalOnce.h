#pragma once

#include "dialogs/ModalBox.h"

#include <QPointer>

class QWidget;

// One window of a kind at a time, shown modally: asking again while it shows does nothing.
// Window makes this its friend when its constructor is private.
template <typename Window> class ModalOnce {
public:
    // Shows a window over owner and returns once it is closed.
    static void show(QWidget* owner)
    {
        if (shown())
            return;
        ModalBox<Window> window(new Window(owner));
        shown() = window.get();
        window.exec();
    }

    // The window while it is open, else null.
    static Window* current() { return shown(); }

private:
    static QPointer<Window>& shown()
    {
        static QPointer<Window> window;
        return window;
    }
};
