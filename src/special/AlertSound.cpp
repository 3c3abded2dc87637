#include "special/AlertSound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

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
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    loadResources();
    // Made once: loading the sound again for every alert would delay the chime.
    static QSoundEffect* effect = [] {
        auto* sound = new QSoundEffect;
        sound->setSource(QUrl(QStringLiteral("qrc:/alert/alert.wav")));
        return sound;
    }();
    effect->play();
}
