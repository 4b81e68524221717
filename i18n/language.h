// Language files: DLan_<language>.ini beside the executable or in its
// Languages folder, and the lookup of the few translated messages.
#pragma once
#include <string>

// True for a name that can only ever name a file in the program's own
// folders: at most 64 ASCII letters, digits, "_" or "-" (an empty name gives
// DLan_.ini). The name comes from options.ini, which the program, running
// elevated, must not let point it at another file.
bool IsSafeLanguageName(const std::string& language);

// The file beside the executable if it exists, else the one in Languages
// (not tested). Empty, which reads as no file, when the name is not safe.
std::string LanguageFilePath(const std::string& language);

// The language name equals "English" without regard to ASCII case.
bool IsEnglish(const std::string& lan);

// The message `key` of section ResourceString in the current language, or
// `builtInText` when it is missing. English touches no file at all; any other
// language opens its file for this lookup alone.
std::string LoadLanString(const std::string& key, const std::string& builtInText);
