#pragma once

#include <QLocale>
#include <QString>

// The program speaks the first of the user's languages it has a translation for; its texts are
// written in English, so an English speaker (or a language nobody translated) needs nothing.
namespace Translations {
// Installs this program's translation and Qt's own (standard buttons, file dialogs) for the
// locale's UI languages, in the user's order, on the running application, which owns them.
// The language installed ("de"), or empty when the texts stay English.
QString install(const QLocale& locale = QLocale::system());
} // namespace Translations
