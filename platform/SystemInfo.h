// What the suite asks of the operating system about itself: the ANSI code
// page, the signed-in user, where the program and its libraries live, the
// shell's "open" and "properties" verbs, the warning beep, and the mapping
// of Windows-style paths found in settings onto native paths.
#pragma once

#include <functional>
#include <string>

namespace plat {

// The system ANSI code page. Linux has none, so it is a setting: the
// environment variable ORTK_ACP (for example 936, 950 or 1252); 936 when it
// is unset or not a positive number.
int GetACP();

// The login name of the user running the process (from the password
// database, else $USER / $LOGNAME), at most 32 characters; "" when none is
// known. A "/" in the name becomes "_", so the name is always usable as one
// folder name.
std::string GetUserName();

// Full path of the running executable; "" when it cannot be determined.
std::string ExecutablePath();

// Full path of the executable or shared library that contains `address`
// (GetModuleFileName of the module handle); "" when no loaded module
// contains it.
std::string ModuleFileNameOf(const void* address);

// The shell's verbs on a file:
// - "open": opens the file (or an URL such as "https://..." / "mailto:...")
//   with the desktop's associated application; a local file that does not
//   exist fails.
// - "properties": shows a small non-modal window (object name
//   "ShellPropertiesDialog") with the file's full path, size and last
//   modification time; fails when the file does not exist.
// Any other verb fails. Verbs compare case-insensitively. Returns success.
bool ShellExecute(const std::string& verb, const std::string& file);

// Replaces what "open" does (tests and tools record instead of launching a
// program); an empty function restores the desktop opener. The handler
// receives the file or URL and answers success.
using ShellOpenHandler = std::function<bool(const std::string& target)>;
void SetShellOpenHandler(ShellOpenHandler handler);

// The system's warning sound.
void Beep();

// ---- Windows-style paths ----
//
// Settings written for Windows name folders like "D:\app\", "\lib" or
// "pkg\". NativePath maps such a value to a native path:
// - every "\" becomes "/", and runs of "/" collapse to one;
// - a drive "X:" at the start maps to the folder in the environment variable
//   ORTK_DRIVE_X (X upper-case) when it is set and not empty, else to "/":
//   "D:\app\" -> "/app/", or "/srv/d/app/" with ORTK_DRIVE_D=/srv/d.
//   "D:" alone is the drive's root; "D:app" is read as "D:\app";
// - a UNC name "\\host\share\x" maps to "/host/share/x";
// - a value starting with a single "\" is relative to `base` (to "/" when
//   `base` is empty): "\lib" with base "/app/" -> "/app/lib";
// - a value starting with "/" is already a native absolute path and stays;
// - anything else is relative to `base`: "pkg\" with base "/app/" -> "/app/pkg/".
//   With an empty base a relative value stays relative.
// A trailing separator is kept, so a folder written "...\" ends in "/".
// An empty value answers "".
std::string NativePath(const std::string& windowsStylePath, const std::string& base = {});

// True when the value names a drive ("X:" at the start) or a UNC share.
bool HasDrive(const std::string& path);

// Appends "/" unless the path is empty or already ends in "/" or "\".
std::string IncludeTrailingPathDelimiter(const std::string& path);

}  // namespace plat
