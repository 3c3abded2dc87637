#include "shell/Translations.h"

#include "shell/Paths.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

namespace {
// "de-AT" tried as "de_AT", then "de"; the names the translation files carry.
QStringList fileLanguages(const QString& uiLanguage)
{
    QString name = uiLanguage;
    name.replace(u'-', u'_');
    QStringList names;
    for (;;) {
        names.append(name);
        const qsizetype cut = name.lastIndexOf(u'_');
        if (cut <= 0)
            return names;
        name.truncate(cut);
    }
}

bool isSourceLanguage(const QString& uiLanguage)
{
    const QLocale::Language language = QLocale(uiLanguage).language();
    return language == QLocale::English || language == QLocale::C;
}

// A translator the application owns, or nullptr when the file is missing or unreadable.
QTranslator* installedFrom(const QString& file)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!file.isEmpty() && translator->load(file) &&
        QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}
} // namespace

QString Translations::install(const QLocale& locale)
{
    for (const QString& uiLanguage : locale.uiLanguages()) {
        // The user put English before any language we could offer.
        if (isSourceLanguage(uiLanguage))
            return {};
        for (const QString& language : fileLanguages(uiLanguage)) {
            const QString own = AppPaths::installedDataFile(
                QStringLiteral("translations/jottex_%1.qm").arg(language));
            if (!installedFrom(own))
                continue;
            // Qt's own texts only beside ours: an English program with translated standard
            // buttons reads worse than either. Qt's file may be missing (qt6-translations-l10n).
            installedFrom(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                          QStringLiteral("/qtbase_%1.qm").arg(language));
            return language;
        }
    }
    return {};
}
