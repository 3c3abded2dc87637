#include "window/NoteColors.h"

#include "dialogs/SystemColors.h"
#include "window/MenuFamilies.h"

#include <array>

namespace {
constexpr std::array kNamedColors{
    NoteColors::NamedColor{"yellow", "Yellow", 12648447},
    NoteColors::NamedColor{"blue", "Blue", 16763955},
    NoteColors::NamedColor{"green", "Green", 13434795},
    NoteColors::NamedColor{"red", "Red", 12632319},
    NoteColors::NamedColor{"grey", "Grey", 12632256},
    NoteColors::NamedColor{"peach", "Peach", 10079487},
    NoteColors::NamedColor{"purple", "Purple", 15902182},
    NoteColors::NamedColor{"tang", "Tang", 6275824},
};
static_assert(kNamedColors.size() == size_t(ColorItem::Separator),
              "the named colours are the Color menu's items before its separator");
// The order in which a colour text is tested against the names.
constexpr std::array kNameTestOrder{0, 1, 3, 2, 4, 5, 6, 7};
} // namespace

const NoteColors::NamedColor* NoteColors::named(int index)
{
    if (index < 0 || index >= namedCount())
        return nullptr;
    return &kNamedColors[static_cast<size_t>(index)];
}

int NoteColors::namedCount()
{
    return static_cast<int>(kNamedColors.size());
}

std::optional<QColor> NoteColors::fromStoredText(const QString& text)
{
    if (const int index = menuIndex(text); index < namedCount())
        return SystemColors::toQColor(kNamedColors[size_t(index)].value);
    const QString trimmed = text.trimmed();
    bool ok = false;
    const qlonglong value = trimmed.toLongLong(&ok);
    if (!ok || value < 0 || value > 0xFFFFFF)
        return std::nullopt;
    return SystemColors::toQColor(static_cast<quint32>(value));
}

int NoteColors::menuIndex(const QString& text)
{
    const QString trimmed = text.trimmed();
    for (const int i : kNameTestOrder) {
        if (trimmed.compare(QLatin1String(kNamedColors[size_t(i)].name), Qt::CaseInsensitive) == 0)
            return i;
    }
    return int(ColorItem::CustomColor);
}
