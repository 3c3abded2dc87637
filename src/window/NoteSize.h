#pragma once

// Sizes of a note window, in twips.
namespace NoteSize {
// "Default Size", and a new note when settings are not remembered.
inline constexpr int DefaultWidth = 2325;
inline constexpr int DefaultHeight = 2085;
// The size the window was designed at, before a note's own size is applied.
inline constexpr int InitialWidth = 5340;
inline constexpr int InitialHeight = 4170;
// The smallest window: the caption strip with the note icon, as a minimised note shows it.
inline constexpr int MinWidth = 500;
inline constexpr int MinHeight = 425;
} // namespace NoteSize
