// INI files as the Windows profile-string functions see them. The program
// opens them through OpenIni; host tests swap in an in-memory store.
#pragma once
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace ini {

// Raised when a write does not reach the file; the text is the user's message.
class WriteError : public std::runtime_error {
 public:
  explicit WriteError(const std::string& path) : std::runtime_error("Unable to write to " + path) {}
};

class IniFile {
 public:
  virtual ~IniFile() = default;
  virtual const std::string& FileName() const = 0;
  // The value, at most 2047 characters, or `def` when the key is missing.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) = 0;
  // Throws WriteError.
  virtual void WriteString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
  // Throws WriteError.
  virtual void EraseSection(const std::string& section) = 0;

  // The integer reading rules of the settings: decimal with leading blanks
  // and a sign, or hexadecimal after "$" or "0x"; anything else gives `def`.
  int ReadInteger(const std::string& section, const std::string& key, int def);
  bool ReadBool(const std::string& section, const std::string& key, bool def);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
};

// Parses an integer by the rules above; false when the text is not one
// (empty, trailing characters, or outside 32 bits). A hexadecimal number is a
// 32-bit pattern, so "$FFFFFFFF" is -1.
bool ParseInteger(const std::string& text, int* value);

// The text up to its first line break or NUL. An INI entry is one line, so
// writers store only this much: a value can never open a section or key.
std::string OneLine(const std::string& text);

using Opener = std::function<std::unique_ptr<IniFile>(const std::string& path)>;
// Opening never fails: a missing file reads as empty. An empty path stands
// for no file at all: it reads as empty and every write fails.
std::unique_ptr<IniFile> OpenIni(const std::string& path);
// Replaces the backend OpenIni uses; an empty opener restores the default
// (the profile-string functions on Windows, the in-memory store elsewhere).
void SetOpener(Opener opener);

}  // namespace ini
