#pragma once

#include <QPointer>
#include <QWidget>

// Makes one window translucent: either at a constant opacity (alpha) or with one colour made
// see-through (colour key). On X11 both come down to the window's opacity, which shows only
// while a compositing manager runs; where it cannot show, the object never touches a window.
// Releasing the object makes its window opaque again.
class CTranslucentForm {
public:
    enum Mode : qint32 { Off = 0, ColorKeyMode = 1, AlphaMode = 2 };
    // The system colour of the 3-D face: index 15 with the system-colour bit.
    static constexpr quint32 kDefaultColorKey = 0x8000000Fu;

    CTranslucentForm() = default;
    CTranslucentForm(const CTranslucentForm&) = delete;
    CTranslucentForm& operator=(const CTranslucentForm&) = delete;
    ~CTranslucentForm();

    // Whether the desktop shows window opacity at all.
    static bool Supported();

    QWidget* hWnd() const { return m_window; }
    void setHWnd(QWidget* window);
    qint32 mode() const { return m_mode; }
    void setMode(qint32 mode);
    quint8 Alpha() const { return m_alpha; }
    void setAlpha(quint8 alpha);
    quint32 ColorKey() const { return m_colorKey; }
    void setColorKey(quint32 colorKey);

    // A colour with the system-colour bit set becomes that system colour, as 0x00BBGGRR.
    static quint32 TranslateColor(quint32 color);

private:
    bool RemoveLayering(QWidget* window);
    bool AddLayering(QWidget* window);
    bool ApplyLayering(QWidget* window);

    QPointer<QWidget> m_window;
    qint32 m_mode = AlphaMode;
    quint8 m_alpha = 255;
    quint32 m_colorKey = kDefaultColorKey;
};
