#include "special/AlertSound.h"

#include "shell/ModuleLoader.h"
#include "special/SoundModule.h"

static void initAlertResources()
{
    Q_INIT_RESOURCE(alert);
}

void AlertSound::loadResources()
{
    static const bool loaded = (initAlertResources(), true);
    Q_UNUSED(loaded);
}

void AlertSound::play()
{
    // The module reads the sound from the program's resources.
    loadResources();
    static const auto playSound = reinterpret_cast<PlaySoundFunction>(
        ModuleLoader::resolve(kSoundModule, kPlaySoundFunction));
    if (playSound)
        playSound("qrc:/alert/alert.wav");
}
