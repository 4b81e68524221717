// String helpers with the program's rules: 8-bit strings, case-insensitive
// comparisons by upper-cased copies (ASCII letters only).
#pragma once
#include <string>

namespace str {
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
bool SameText(const std::string& a, const std::string& b);
// Index of the first case-insensitive occurrence of `needle`, or npos.
std::size_t FindNoCase(const std::string& haystack, const std::string& needle, std::size_t from = 0);
bool ContainsNoCase(const std::string& haystack, const std::string& needle);
// The text up to the first NUL.
std::string CutAtNul(const std::string& s);
}  // namespace str
