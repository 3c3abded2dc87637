#pragma once

// The alert's chime, built into the program. It plays without holding anything up, and a
// machine without sound output stays silent without a word.
namespace AlertSound {
void play();
// The sound and the alert's pictures, in the program's resources.
void loadResources();
} // namespace AlertSound
