#pragma once

#include "store/NoteRecord.h"

#include <QString>

// Notes for tests to store and load. Every field differs from what a new note gets (yellow,
// the clock's time, the default size, centred), so a test sees that a value came from the
// record.
namespace Samples {
// A note body in RTF: one paragraph of the given text, which may hold RTF control words.
QString rtf(const QString& text);
// A blue note with that body, time stamp 1/2/2020 3:04:05 AM, 3345 x 2865 twips at the place.
NoteRecord note(const QString& text, int left = 6120, int top = 4215);
} // namespace Samples
