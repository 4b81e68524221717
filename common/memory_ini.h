// An in-memory stand-in for the Windows profile-string functions, for builds
// without them (the host tests). Files live in one global map from path to
// text; reads and writes follow GetPrivateProfileStringA and
// WritePrivateProfileStringA closely enough that a file written for Windows
// reads the same here.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "common/ini.h"

namespace ini {
namespace memory {

// One INI text, kept line by line so that a write changes only its own line.
// Names match without regard to ASCII case and with blanks around them
// ignored; a value loses the blanks around it and one pair of surrounding
// quotes, and is cut to 2047 characters. Lines starting with ";" are comments.
class Document {
 public:
  explicit Document(const std::string& text = std::string());

  // The value of the first such key in the first such section, or `def`.
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& def) const;
  // Replaces the value in place, or adds the key at the end of the first
  // such section, or adds the section at the end of the text.
  void Write(const std::string& section, const std::string& key, const std::string& value);
  // Removes every section of that name with its lines.
  void EraseSection(const std::string& section);

  // Section names as spelled in the text, in order, repeats included.
  std::vector<std::string> SectionNames() const;
  // Key names of the first such section as spelled, in order, repeats included.
  std::vector<std::string> KeyNames(const std::string& section) const;

  // The text with CR LF line ends.
  std::string Text() const;

 private:
  struct Line {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string raw;    // as read or written, without its line end
    std::string name;   // section or key name, trimmed
    std::string value;  // key only, trimmed
    bool hasValue = false;
  };
  static Line ParseLine(const std::string& raw);
  // Index of the header of the first section called `name`, or npos.
  std::size_t FindSection(const std::string& name) const;
  // Index one past the last line of the section whose header is at `header`.
  std::size_t SectionEnd(std::size_t header) const;

  std::vector<Line> lines_;
};

// The global store. Paths match without regard to ASCII case.
void SetFile(const std::string& path, const std::string& text);
bool HasFile(const std::string& path);
// The file's text, or empty when there is no such file.
std::string FileText(const std::string& path);
void RemoveFile(const std::string& path);
// Forgets every file and every unwritable mark.
void Clear();
// Writes to an unwritable path throw WriteError and change nothing.
void SetUnwritable(const std::string& path, bool unwritable);

// An IniFile over the store. Each call reads or writes the store afresh.
std::unique_ptr<IniFile> Open(const std::string& path);

}  // namespace memory
}  // namespace ini
