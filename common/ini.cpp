#include "common/ini.h"

#include <cstdint>
#include <utility>

#ifdef _WIN32
#include "common/win/ini_win.h"
#else
#include "common/memory_ini.h"
#endif

namespace ini {
namespace {

Opener& CurrentOpener() {
  static Opener opener;
  return opener;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseInteger(const std::string& text, int* value) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < n && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == n) return false;  // no digits at all

  // Accumulate in 64 bits and stop as soon as the 32-bit range is left, so
  // that any number of digits is safe.
  std::uint64_t magnitude = 0;
  const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  for (; i < n; ++i) {
    const int d = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (d < 0) return false;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
    if (magnitude > limit) return false;
  }

  // A hexadecimal number names a 32-bit pattern: $FFFFFFFF is -1.
  std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  if (value) *value = static_cast<int>(static_cast<std::int32_t>(bits));
  return true;
}

std::string OneLine(const std::string& text) {
  const std::size_t end = text.find_first_of(std::string("\r\n\0", 3));
  return end == std::string::npos ? text : text.substr(0, end);
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) {
  int value = 0;
  return ParseInteger(ReadString(section, key, std::string()), &value) ? value : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::unique_ptr<IniFile> OpenIni(const std::string& path) {
  if (CurrentOpener()) return CurrentOpener()(path);
#ifdef _WIN32
  return OpenProfileIni(path);
#else
  return memory::Open(path);
#endif
}

void SetOpener(Opener opener) { CurrentOpener() = std::move(opener); }

}  // namespace ini
