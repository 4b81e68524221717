#include "common/strutil.h"

namespace str {
std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}
std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}
bool SameText(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }
std::size_t FindNoCase(const std::string& haystack, const std::string& needle, std::size_t from) {
  return UpperCase(haystack).find(UpperCase(needle), from);
}
bool ContainsNoCase(const std::string& haystack, const std::string& needle) {
  return FindNoCase(haystack, needle) != std::string::npos;
}
std::string CutAtNul(const std::string& s) { return s.substr(0, s.find('\0')); }
}  // namespace str
