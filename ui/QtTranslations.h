#pragma once

#include <string>

namespace psykrona {

// Makes Qt's own dialogs (the file dialogs, the printer dialog, the edit
// fields' context menus) speak the language with this code, from the
// translations installed for Qt: "qtbase_<code>", else the older complete
// catalogue "qt_<code>"; a language without either leaves them in English.
// True when a translation was loaded.
bool FollowLanguageInQtDialogs(const std::string& Code);

} // namespace psykrona
