// The jottex-sound module: plays a short WAV over Qt Multimedia.
#include "special/SoundModule.h"

#include <QAudioDevice>
#include <QHash>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

extern "C" Q_DECL_EXPORT void jottex_play_sound(const char* url)
{
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    // Each sound is loaded once: loading it again for every alert would delay it. Kept to the
    // end of the process, as a sound may still be playing when it ends.
    static auto* const effects = new QHash<QString, QSoundEffect*>;
    const QString source = QString::fromUtf8(url);
    QSoundEffect*& effect = (*effects)[source];
    if (!effect) {
        effect = new QSoundEffect;
        effect->setSource(QUrl(source));
    }
    effect->play();
}
