#pragma once

#include "store/NoteKinds.h"

// The members of each menu family, in the order the menu table lists them. The table's rows
// are written with these names, and NoteMenus.cpp checks at compile time that every family
// runs 0, 1, 2, ... in table order and has exactly the members named here.

// mnuSave
enum class SaveKind { Save, SaveAs, AppendTo };
// mnuEdit
enum class EditItem { Paste, PastePlainText, Undo, ClearAll };
// mnuInsert; its first member is the submenu of mnuInsertDateTime.
enum class InsertItem { DateTimeStamp, Degree, Copyright, Ellipsis, RegisteredTrademark, Pound };
// mnuInsertDateTime
enum class DateTimeItem { GeneralDate, LongDate, ShortDate };
// mnuFontSize, mnuSelectFontSize
enum class FontSizeItem { Small, Normal, Medium, Large, Largest };
// mnuAlignment, mnuSelectAlignment
enum class AlignmentItem { Left, Center, Right };
// mnuBullets, mnuSelectBullet
enum class BulletItem { AddNew, RemoveExisting };
// mnuIndent, mnuSelectIndent
enum class IndentItem { Increase, Decrease };
// mnuSetColor
enum class ColorItem {
    Yellow,
    Blue,
    Green,
    Red,
    Grey,
    Peach,
    Purple,
    Tang,
    Separator,
    CustomColor
};
// mnuTransparent
enum class TransparencyItem { Low, Medium, High, Off };
// mnuStrikeOut
enum class StrikeItem { StrikeOut, Remove };
// mnuSelectEdit
enum class SelectEditItem { Cut, Copy, Paste, Undo };
// mnuSelectStyle
enum class StyleItem { Italic, Underline, Bold };
// mnuCaptionType: CaptionKind, in store/NoteKinds.h.

// The number of members of a family enum: one past its last member.
template <typename Family> constexpr int familyCount();
template <> constexpr int familyCount<SaveKind>()
{
    return int(SaveKind::AppendTo) + 1;
}
template <> constexpr int familyCount<EditItem>()
{
    return int(EditItem::ClearAll) + 1;
}
template <> constexpr int familyCount<InsertItem>()
{
    return int(InsertItem::Pound) + 1;
}
template <> constexpr int familyCount<DateTimeItem>()
{
    return int(DateTimeItem::ShortDate) + 1;
}
template <> constexpr int familyCount<FontSizeItem>()
{
    return int(FontSizeItem::Largest) + 1;
}
template <> constexpr int familyCount<AlignmentItem>()
{
    return int(AlignmentItem::Right) + 1;
}
template <> constexpr int familyCount<BulletItem>()
{
    return int(BulletItem::RemoveExisting) + 1;
}
template <> constexpr int familyCount<IndentItem>()
{
    return int(IndentItem::Decrease) + 1;
}
template <> constexpr int familyCount<ColorItem>()
{
    return int(ColorItem::CustomColor) + 1;
}
template <> constexpr int familyCount<TransparencyItem>()
{
    return int(TransparencyItem::Off) + 1;
}
template <> constexpr int familyCount<StrikeItem>()
{
    return int(StrikeItem::Remove) + 1;
}
template <> constexpr int familyCount<SelectEditItem>()
{
    return int(SelectEditItem::Undo) + 1;
}
template <> constexpr int familyCount<StyleItem>()
{
    return int(StyleItem::Bold) + 1;
}
template <> constexpr int familyCount<CaptionKind>()
{
    return int(CaptionKind::FileName) + 1;
}
