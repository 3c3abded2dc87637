#include "shell/Settings.h"

#include "shell/AtomicFile.h"
#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "shell/cRegistry.h"

#include <QFile>
#include <array>

namespace {
using modMain::Setting;
using modMain::SettingDefault;
using modMain::SettingInfo;

constexpr std::array kSettings{
    SettingInfo{Setting::SaveSetting, "SaveSetting", "False", SettingDefault::Fixed},
    SettingInfo{Setting::Color, "Color", "yellow", SettingDefault::Fixed},
    SettingInfo{Setting::ForeColor, "ForeColor", "0", SettingDefault::Fixed},
    SettingInfo{Setting::IsOnTop, "IsOnTop", "True", SettingDefault::Fixed},
    SettingInfo{Setting::Alpha, "Alpha", "255", SettingDefault::Fixed},
    SettingInfo{Setting::FontName, "FontName", "Comic Sans MS", SettingDefault::Fixed},
    SettingInfo{Setting::DefaultFontSize, "DefaultFontSize", "10", SettingDefault::Fixed},
    SettingInfo{Setting::Height, "Height", "2865", SettingDefault::Fixed},
    SettingInfo{Setting::Width, "Width", "3345", SettingDefault::Fixed},
    SettingInfo{Setting::Top, "Top", "", SettingDefault::CentredOnScreen},
    SettingInfo{Setting::Left, "Left", "", SettingDefault::CentredOnScreen},
    SettingInfo{Setting::CaptionType, "CaptionType", "0", SettingDefault::Fixed},
    SettingInfo{Setting::AutoSave, "AutoSave", "True", SettingDefault::Fixed},
    SettingInfo{Setting::SaveNewNoteOnClose, "SaveNewNoteOnClose", "True", SettingDefault::Fixed},
    SettingInfo{Setting::LastFolder, "LastFolder", "", SettingDefault::DesktopFolder},
    SettingInfo{Setting::HTTPProxy, "HTTPProxy", "", SettingDefault::Fixed},
    SettingInfo{Setting::QuoteServer, "QuoteServer", "", SettingDefault::Fixed},
    SettingInfo{Setting::Website, "Website", "", SettingDefault::Fixed},
    SettingInfo{Setting::TrayIcon, "TrayIcon", "True", SettingDefault::Fixed},
    SettingInfo{Setting::RecentFiles, "RecentFiles", "", SettingDefault::Fixed},
    SettingInfo{Setting::NotesFolder, "NotesFolder", "", SettingDefault::Fixed},
};

// settingInfo() indexes the table by the enum's value.
constexpr bool isInEnumOrder()
{
    for (std::size_t i = 0; i < kSettings.size(); ++i) {
        if (kSettings[i].id != static_cast<Setting>(i))
            return false;
    }
    return kSettings.size() == static_cast<std::size_t>(Setting::NotesFolder) + 1;
}
static_assert(isInEnumOrder());

const QString kSettingsKeyText = QString::fromLatin1(modMain::kSettingsKey);

// Characters that make the desktop entry's Exec argument need quotes.
bool needsQuotes(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    for (const QChar c : argument) {
        if (reserved.contains(c))
            return true;
    }
    return argument.isEmpty();
}

// The key file's own string escapes, which a reader undoes first.
QString keyFileEscaped(const QString& text)
{
    QString value;
    for (const QChar c : text) {
        if (c == u'\\')
            value += QStringLiteral("\\\\");
        else if (c == u'\n')
            value += QStringLiteral("\\n");
        else if (c == u'\t')
            value += QStringLiteral("\\t");
        else if (c == u'\r')
            value += QStringLiteral("\\r");
        else
            value += c;
    }
    return value;
}

// Exec= value for one program path: argument quoting first, then field codes, then the
// key file's escapes.
QString execValue(const QString& program)
{
    QString argument = program;
    if (needsQuotes(argument)) {
        QString escaped;
        for (const QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                escaped += u'\\';
            escaped += c;
        }
        argument = u'"' + escaped + u'"';
    }
    argument.replace(u'%', QStringLiteral("%%"));
    return keyFileEscaped(argument);
}

// The keys with which a desktop's settings turn an autostart entry off, and the value that
// does it.
struct DisablingKey {
    QLatin1String key;
    QLatin1String value;
};
constexpr std::array kDisablingKeys{
    DisablingKey{QLatin1String("Hidden"), QLatin1String("true")},
    DisablingKey{QLatin1String("X-GNOME-Autostart-enabled"), QLatin1String("false")},
};

// Whether the user turned the entry off: a disabling key in its [Desktop Entry] group.
bool isTurnedOff(const QString& entry)
{
    bool inMainGroup = false;
    for (QStringView line : QStringView(entry).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals < 0)
            continue;
        const QStringView key = line.first(equals).trimmed();
        const QStringView value = line.sliced(equals + 1).trimmed();
        for (const DisablingKey& disabling : kDisablingKeys) {
            if (key == disabling.key && value.compare(disabling.value, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

// The entry at its place was turned off by the user, in their desktop's settings.
bool autostartTurnedOff()
{
    QFile file(AppPaths::autostartFile());
    constexpr qint64 kLargestEntry = qint64(64) * 1024;
    return file.open(QIODevice::ReadOnly) &&
           isTurnedOff(QString::fromUtf8(file.read(kLargestEntry)));
}

} // namespace

const SettingInfo& modMain::settingInfo(Setting id)
{
    return kSettings[static_cast<std::size_t>(id)];
}

QString modMain::settingName(Setting id)
{
    return QString::fromLatin1(settingInfo(id).name);
}

QString modMain::settingDefault(Setting id)
{
    return QString::fromLatin1(settingInfo(id).defaultText);
}

QString modMain::ReadSetting(const QString& keyPath, const QString& valueName,
                             const QString& defaultText)
{
    cRegistry registry;
    registry.setClassKey(cRegistry::HKEY_CURRENT_USER);
    registry.setSectionKey(keyPath);
    registry.setValueKey(valueName);
    registry.setValueType(cRegistry::REG_SZ);
    registry.setDefault(defaultText);
    const QVariant value = registry.Value();
    if (value.typeId() == QMetaType::QByteArray) // the stored bytes, without the added zero
        return QString::fromUtf8(value.toByteArray().chopped(1));
    return value.toString();
}

Result modMain::WriteSetting(const QString& keyPath, const QString& valueName, const QString& text)
{
    cRegistry registry;
    registry.setClassKey(cRegistry::HKEY_CURRENT_USER);
    registry.setSectionKey(keyPath);
    if (!registry.KeyExists()) {
        const auto created = registry.CreateKey();
        if (created.failed())
            return created.error();
    }
    registry.setValueKey(valueName);
    registry.setValueType(cRegistry::REG_SZ);
    return registry.setValue(text);
}

QString modMain::ReadSetting(Setting id)
{
    return ReadSetting(kSettingsKeyText, settingName(id), settingDefault(id));
}

QString modMain::ReadSetting(Setting id, const QString& defaultText)
{
    return ReadSetting(kSettingsKeyText, settingName(id), defaultText);
}

Result modMain::WriteSetting(Setting id, const QString& text)
{
    return WriteSetting(kSettingsKeyText, settingName(id), text);
}

Result modMain::WriteSettings(const std::vector<std::pair<Setting, QString>>& values)
{
    QList<std::pair<QString, QVariant>> named;
    named.reserve(qsizetype(values.size()));
    for (const auto& [id, text] : values)
        named.append({settingName(id), text});
    cRegistry registry;
    registry.setClassKey(cRegistry::HKEY_CURRENT_USER);
    registry.setSectionKey(kSettingsKeyText);
    registry.setValueType(cRegistry::REG_SZ);
    return registry.setValues(named);
}

void modMain::RunAtStartUp()
{
    // The user's choice stands: the notes wait all the same, and come back whenever the
    // program is started by hand.
    if (autostartTurnedOff())
        return;
    // TryExec: once the program is removed, the desktop passes the entry over.
    const QString program = AppPaths::executablePath();
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Jottex\n"
                                         "TryExec=%1\n"
                                         "Exec=%2\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(keyFileEscaped(program), execValue(program));
    if (Result failure = AtomicFile::write(AppPaths::autostartFile(), entry.toUtf8());
        failure.failed())
        WriteLogEntry(QStringLiteral("modMain: RunAtStartUp"), failure.error());
}

void modMain::RemoveRunAtStartUp()
{
    // A turned-off entry stays: it keeps the user's choice for the next logout.
    const QString entry = AppPaths::autostartFile();
    if (QFile::exists(entry) && !autostartTurnedOff())
        QFile::remove(entry);
}
