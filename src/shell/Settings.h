#pragma once

#include "shell/AppError.h"

#include <QString>
#include <utility>
#include <vector>

namespace modMain {
// The per-user key that holds every preference.
inline constexpr char kSettingsKey[] = "SOFTWARE\\Ulmar\\Jottex";

// The stored preferences, in the order of the settings table.
enum class Setting {
    SaveSetting,
    Color,
    ForeColor,
    IsOnTop,
    Alpha,
    FontName,
    DefaultFontSize,
    Height,
    Width,
    Top,
    Left,
    CaptionType,
    AutoSave,
    SaveNewNoteOnClose,
    LastFolder,
    HTTPProxy,   // "host:port" of an HTTP proxy for feeds and quotes; empty: the system's
    QuoteServer, // address of the stock quote service; empty: none
    Website,     // the page the About menu's website item opens; empty: the installed about.html
    TrayIcon,    // "False" keeps the status icon off the desktop's panel
    RecentFiles, // the note files opened lately, with when (store/RecentFiles)
    NotesFolder, // a folder a sync tool carries, holding every open note as a file; empty: none
};

// How the default of a preference is found.
enum class SettingDefault {
    Fixed,           // the text in the table
    CentredOnScreen, // half of (screen extent minus window extent), computed by the window
    DesktopFolder,   // the user's Desktop folder, computed by the note store
};

struct SettingInfo {
    Setting id;
    const char* name;
    const char* defaultText; // empty unless the default is Fixed
    SettingDefault defaultKind;
};

const SettingInfo& settingInfo(Setting id);
QString settingName(Setting id);
QString settingDefault(Setting id);

// The stored text of a value of HKEY_CURRENT_USER, defaultText when the key or value is missing;
// a double word comes back as its decimal text.
QString ReadSetting(const QString& keyPath, const QString& valueName, const QString& defaultText);
// Creates the key when needed and stores text as a plain string value.
Result WriteSetting(const QString& keyPath, const QString& valueName, const QString& text);

// The same under the settings key, by table entry; the first uses the table's default.
QString ReadSetting(Setting id);
QString ReadSetting(Setting id, const QString& defaultText);
Result WriteSetting(Setting id, const QString& text);
// Writes all the values as WriteSetting would, in one locked update of the store: all of them
// or, on a failure, none.
Result WriteSettings(const std::vector<std::pair<Setting, QString>>& values);

// Writes the login autostart entry for the running executable; failures are logged. An entry the
// user turned off (Hidden=true, X-GNOME-Autostart-enabled=false) stays as it is.
void RunAtStartUp();
// Removes the login autostart entry, unless the user turned it off: it then keeps that choice.
// Failures are ignored.
void RemoveRunAtStartUp();
} // namespace modMain
