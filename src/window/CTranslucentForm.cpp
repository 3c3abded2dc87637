#include "window/CTranslucentForm.h"

#include "dialogs/SystemColors.h"
#include "shell/Seams.h"
#include "shell/WindowUtils.h"

namespace {
// Marks a window as layered: only a layered window takes an opacity.
const char* const kLayeredProperty = "jottexLayered";
constexpr quint8 kOpaque = 255;

bool isLayered(const QWidget* window)
{
    return window && window->property(kLayeredProperty).toBool();
}

bool setLayered(QWidget* window, bool layered)
{
    if (!window)
        return false;
    window->setProperty(kLayeredProperty, layered);
    return true;
}

// The opacity of a layered window; false (and no change) for one that is not layered.
bool setLayeredAlpha(QWidget* window, quint8 alpha)
{
    if (!isLayered(window))
        return false;
    window->setWindowOpacity(alpha / 255.0);
    return true;
}

} // namespace

CTranslucentForm::~CTranslucentForm()
{
    RemoveLayering(m_window);
}

bool CTranslucentForm::Supported()
{
    return Seams::current().windowOpacityShown();
}

void CTranslucentForm::setHWnd(QWidget* window)
{
    if (!Supported())
        return;
    RemoveLayering(m_window);
    m_window = window;
    AddLayering(m_window);
}

void CTranslucentForm::setMode(qint32 mode)
{
    if (mode == Off) {
        m_mode = mode;
        RemoveLayering(m_window);
    } else if (mode == ColorKeyMode || mode == AlphaMode) {
        m_mode = mode;
        ApplyLayering(m_window);
    }
}

void CTranslucentForm::setAlpha(quint8 alpha)
{
    if (!Supported())
        return;
    if (m_mode == AlphaMode) {
        if (setLayeredAlpha(m_window, alpha))
            m_alpha = alpha;
        return;
    }
    m_alpha = alpha;
    m_mode = AlphaMode;
    ApplyLayering(m_window);
}

void CTranslucentForm::setColorKey(quint32 colorKey)
{
    if (!Supported())
        return;
    if (m_mode == ColorKeyMode) {
        // No colour key on X11: the window shows at its alpha instead.
        if (setLayeredAlpha(m_window, m_alpha))
            m_colorKey = colorKey;
        return;
    }
    m_colorKey = colorKey;
    m_mode = ColorKeyMode;
    ApplyLayering(m_window);
}

quint32 CTranslucentForm::TranslateColor(quint32 color)
{
    quint32 rgb = color;
    SystemColors::translate(color, rgb);
    return rgb;
}

bool CTranslucentForm::RemoveLayering(QWidget* window)
{
    if (!window)
        return false;
    setLayeredAlpha(window, kOpaque);
    // Opaque and no longer layered: the window carries no opacity at all.
    modMain::DropOpacityHint(window);
    return setLayered(window, false);
}

bool CTranslucentForm::AddLayering(QWidget* window)
{
    if (!setLayered(window, true))
        return false;
    m_alpha = kOpaque;
    return setLayeredAlpha(window, kOpaque);
}

bool CTranslucentForm::ApplyLayering(QWidget* window)
{
    if (!window || m_mode == Off)
        return false;
    setLayered(window, false);
    setLayered(window, true);
    // Mode 1 keys out a colour; X11 has no such thing, so it shows as the alpha as well.
    return setLayeredAlpha(window, m_alpha);
}
