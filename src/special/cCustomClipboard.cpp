#include "special/cCustomClipboard.h"

#include <QWidget>

cCustomClipboard::~cCustomClipboard()
{
    ClipboardClose();
}

void cCustomClipboard::ClipboardClose()
{
    m_open = false;
    m_owner = nullptr;
}
