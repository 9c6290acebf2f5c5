// The language the shell speaks: its menu, its own windows (lookup list,
// calendar, help notice, document window) and Qt's standard texts follow the
// interface code page, as the program modules do: simplified Chinese for
// "936", traditional Chinese for "950", English for "437".
#pragma once

#include <string>

namespace shell {

// Chooses the language for the shell's windows and Qt's own texts (the
// latter needs the application to exist).
void UseShellLanguage(const std::string& uiCodePage);
// The code page chosen last; "936" before any choice.
const std::string& ShellCodePage();

// A word of the shell's own vocabulary, designed in simplified Chinese, in
// the language of `uiCodePage`; a text outside the vocabulary (document
// data, names) comes back as it is. Accelerators ("(&P)") are part of the word.
std::string ShellWord(const std::string& simplified, const std::string& uiCodePage);
// The same in the language chosen last.
std::string ShellWord(const std::string& simplified);

}  // namespace shell
