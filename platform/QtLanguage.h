// The language of Qt's own texts (standard buttons, the file dialog, the
// calendar's month and day names) for an interface code page: simplified
// Chinese for "936", traditional Chinese for "950", English otherwise. The
// program module and the host shell share this library, so one translator
// serves the whole process, whoever chose it last.
#pragma once

#include <string>

namespace plat {

// The Qt locale name of an interface code page: "zh_CN", "zh_TW" or "en_US".
std::string QtLocaleNameOf(const std::string& uiCodePage);

// Makes Qt speak the language of `uiCodePage`: the default locale (month and
// day names, which the calendar takes from it) and Qt's translation file
// "qtbase_<locale>" from Qt's translations folder, replacing the one an
// earlier call loaded. Choosing the language already in use changes
// nothing. Answers false when a Chinese language's file cannot be loaded
// (Qt's texts then stay English) or when there is no application yet to
// install it in; the locale is set either way.
bool UseQtLanguage(const std::string& uiCodePage);

}  // namespace plat
