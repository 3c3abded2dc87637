#include "window/NoteMenuSet.h"

#include "window/Artwork.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

using NoteMenus::Entry;

NoteMenuSet::NoteMenuSet(frmMain* owner) : m_owner(owner)
{
    const std::span<const Entry> entries = NoteMenus::entries();
    m_bits.reserve(entries.size());
    for (const Entry& entry : entries) {
        unsigned char bits = EnabledBit;
        if (entry.flags & NoteMenus::Checked)
            bits |= CheckedBit;
        if (!(entry.flags & NoteMenus::Hidden))
            bits |= VisibleBit;
        m_bits.push_back(bits);
    }
}

bool NoteMenuSet::isChecked(const char* name, int index) const
{
    return bit(name, index, CheckedBit, false);
}

bool NoteMenuSet::isEnabled(const char* name, int index) const
{
    return bit(name, index, EnabledBit, true);
}

void NoteMenuSet::setChecked(const char* name, int index, bool checked)
{
    setBit(name, index, CheckedBit, checked);
}

bool NoteMenuSet::toggle(const char* name, int index)
{
    const bool checked = !isChecked(name, index);
    setChecked(name, index, checked);
    return checked;
}

void NoteMenuSet::checkFamily(const char* name, int checkedIndex)
{
    const int count = NoteMenus::familySize(name);
    for (int i = 0; i < count; ++i)
        setChecked(name, i, i == checkedIndex);
}

void NoteMenuSet::setEnabled(const char* name, int index, bool enabled)
{
    setBit(name, index, EnabledBit, enabled);
}

void NoteMenuSet::setTextItemsEnabled(bool enabled)
{
    for (const NoteMenus::Entry& entry : NoteMenus::entries()) {
        if (entry.flags & NoteMenus::EditsText)
            setEnabled(entry.name, entry.index, enabled);
    }
}

void NoteMenuSet::setVisible(const char* name, int index, bool visible)
{
    setBit(name, index, VisibleBit, visible);
}

bool NoteMenuSet::bit(const char* name, int index, Bit which, bool fallback) const
{
    const int place = NoteMenus::position(name, index);
    if (place < 0)
        return fallback;
    if (!m_built)
        return m_bits[size_t(place)] & which;
    const QAction* action = m_built->actions[size_t(place)];
    if (!action)
        return fallback;
    switch (which) {
    case CheckedBit:
        return action->isChecked();
    case EnabledBit:
        return action->isEnabled();
    case VisibleBit:
        return action->isVisible();
    }
    return fallback;
}

void NoteMenuSet::setBit(const char* name, int index, Bit which, bool on)
{
    const int place = NoteMenus::position(name, index);
    if (place < 0)
        return;
    if (!m_built) {
        unsigned char& bits = m_bits[size_t(place)];
        bits = static_cast<unsigned char>(on ? (bits | which) : (bits & ~which));
        return;
    }
    QAction* action = m_built->actions[size_t(place)];
    if (!action)
        return;
    switch (which) {
    case CheckedBit:
        action->setChecked(on);
        break;
    case EnabledBit:
        action->setEnabled(on);
        break;
    case VisibleBit:
        action->setVisible(on);
        break;
    }
}

namespace {
void showImage(QAction* action, const QString& imageKey)
{
    const QIcon icon = Artwork::menuIcon(imageKey);
    action->setIcon(action->isCheckable() ? Artwork::checkableMenuIcon(icon) : icon);
}
} // namespace

void NoteMenuSet::setImageKey(const char* name, int index, const QString& imageKey)
{
    const int place = NoteMenus::position(name, index);
    if (place < 0)
        return;
    if (m_built) {
        if (QAction* action = m_built->actions[size_t(place)])
            showImage(action, imageKey);
        return;
    }
    const auto found = std::find_if(m_imageKeys.begin(), m_imageKeys.end(),
                                    [place](const auto& key) { return key.first == place; });
    if (found != m_imageKeys.end())
        found->second = imageKey;
    else
        m_imageKeys.emplace_back(place, imageKey);
}

QString NoteMenuSet::imageKey(int place) const
{
    for (const auto& [keyPlace, key] : m_imageKeys) {
        if (keyPlace == place)
            return key;
    }
    return QString::fromLatin1(NoteMenus::entries()[size_t(place)].imageKey);
}

QAction* NoteMenuSet::action(const char* name, int index)
{
    const int place = NoteMenus::position(name, index);
    if (place < 0)
        return nullptr;
    build();
    return m_built->actions[size_t(place)];
}

QMenu* NoteMenuSet::menu(const char* name)
{
    build();
    return m_built->menus.value(NoteMenus::objectName(name));
}

void NoteMenuSet::build()
{
    if (m_built)
        return;
    NoteMenus::Built built = NoteMenus::build(m_owner);
    for (size_t place = 0; place < built.actions.size(); ++place) {
        QAction* action = built.actions[place];
        if (!action)
            continue;
        const unsigned char bits = m_bits[place];
        action->setChecked(bits & CheckedBit);
        action->setEnabled(bits & EnabledBit);
        action->setVisible(bits & VisibleBit);
        if (const QString key = imageKey(int(place)); !key.isEmpty())
            showImage(action, key);
    }
    m_built = std::move(built);
    // From here on the actions hold the state.
    m_bits = {};
    m_imageKeys = {};
}
