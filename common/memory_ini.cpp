#include "common/memory_ini.h"

#include <map>
#include <set>
#include <utility>

#include "common/strutil.h"

namespace ini {
namespace memory {
namespace {

constexpr std::size_t kMaxValue = 2047;  // the profile functions' 2048-byte buffer

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// A name as the profile functions take it: a C string, blanks ignored.
std::string LookupName(const std::string& s) { return Trim(str::CutAtNul(s)); }

std::string Unquote(const std::string& v) {
  if (v.size() > 1 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

struct Store {
  std::map<std::string, std::string> files;  // by upper-cased path
  std::set<std::string> unwritable;
};

Store& TheStore() {
  static Store store;
  return store;
}

std::string PathKey(const std::string& path) { return str::UpperCase(path); }

class MemoryIniFile : public IniFile {
 public:
  explicit MemoryIniFile(std::string path) : path_(std::move(path)) {}

  const std::string& FileName() const override { return path_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) override {
    if (path_.empty() || !HasFile(path_)) return def;
    return Document(FileText(path_)).Read(section, key, def);
  }

  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    CheckWritable();
    Document doc(FileText(path_));
    doc.Write(section, key, value);
    SetFile(path_, doc.Text());
  }

  void EraseSection(const std::string& section) override {
    CheckWritable();
    if (!HasFile(path_)) return;
    Document doc(FileText(path_));
    doc.EraseSection(section);
    SetFile(path_, doc.Text());
  }

 private:
  void CheckWritable() const {
    if (path_.empty() || TheStore().unwritable.count(PathKey(path_))) throw WriteError(path_);
  }

  std::string path_;
};

}  // namespace

Document::Document(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string raw = text.substr(start, end - start);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    lines_.push_back(ParseLine(raw));
    start = end + 1;
  }
}

Document::Line Document::ParseLine(const std::string& raw) {
  Line line;
  line.raw = raw;
  const std::string t = Trim(raw);
  if (t.empty() || t[0] == ';') return line;
  if (t[0] == '[') {
    const std::size_t close = t.rfind(']');
    if (close != std::string::npos) {
      line.kind = Line::kSection;
      line.name = Trim(t.substr(1, close - 1));
      return line;
    }
  }
  line.kind = Line::kKey;
  const std::size_t eq = t.find('=');
  if (eq == std::string::npos) {
    line.name = t;
  } else {
    line.name = Trim(t.substr(0, eq));
    line.value = Trim(t.substr(eq + 1));
    line.hasValue = true;
  }
  return line;
}

std::size_t Document::FindSection(const std::string& name) const {
  const std::string want = LookupName(name);
  if (want.empty()) return std::string::npos;
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Line::kSection && str::SameText(lines_[i].name, want)) return i;
  return std::string::npos;
}

std::size_t Document::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Line::kSection) ++i;
  return i;
}

std::string Document::Read(const std::string& section, const std::string& key,
                           const std::string& def) const {
  const std::string want = LookupName(key);
  const std::size_t header = FindSection(section);
  if (want.empty() || header == std::string::npos) return def;
  for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
    const Line& l = lines_[i];
    if (l.kind != Line::kKey || !str::SameText(l.name, want)) continue;
    if (!l.hasValue) return def;
    const std::string v = Unquote(l.value);
    return v.size() > kMaxValue ? v.substr(0, kMaxValue) : v;
  }
  return def;
}

void Document::Write(const std::string& section, const std::string& key,
                     const std::string& value) {
  const std::string sec = LookupName(OneLine(section));
  const std::string name = LookupName(OneLine(key));
  const std::string entry = OneLine(value);
  std::size_t header = FindSection(sec);
  if (header == std::string::npos) {
    lines_.push_back(ParseLine("[" + sec + "]"));
    lines_.push_back(ParseLine(name + "=" + entry));
    return;
  }
  const std::size_t end = SectionEnd(header);
  std::size_t last = header;  // last non-blank line of the section
  for (std::size_t i = header + 1; i < end; ++i) {
    Line& l = lines_[i];
    if (l.kind == Line::kKey && str::SameText(l.name, name)) {
      l = ParseLine(l.name + "=" + entry);
      return;
    }
    if (!Trim(l.raw).empty()) last = i;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), ParseLine(name + "=" + entry));
}

void Document::EraseSection(const std::string& section) {
  for (std::size_t header = FindSection(section); header != std::string::npos;
       header = FindSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
  }
}

std::vector<std::string> Document::SectionNames() const {
  std::vector<std::string> names;
  for (const Line& l : lines_)
    if (l.kind == Line::kSection) names.push_back(l.name);
  return names;
}

std::vector<std::string> Document::KeyNames(const std::string& section) const {
  std::vector<std::string> names;
  const std::size_t header = FindSection(section);
  if (header == std::string::npos) return names;
  for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
    if (lines_[i].kind == Line::kKey) names.push_back(lines_[i].name);
  return names;
}

std::string Document::Text() const {
  std::string text;
  for (const Line& l : lines_) text += l.raw + "\r\n";
  return text;
}

void SetFile(const std::string& path, const std::string& text) {
  TheStore().files[PathKey(path)] = text;
}

bool HasFile(const std::string& path) { return TheStore().files.count(PathKey(path)) != 0; }

std::string FileText(const std::string& path) {
  const auto it = TheStore().files.find(PathKey(path));
  return it == TheStore().files.end() ? std::string() : it->second;
}

void RemoveFile(const std::string& path) { TheStore().files.erase(PathKey(path)); }

void Clear() {
  TheStore().files.clear();
  TheStore().unwritable.clear();
}

void SetUnwritable(const std::string& path, bool unwritable) {
  if (unwritable)
    TheStore().unwritable.insert(PathKey(path));
  else
    TheStore().unwritable.erase(PathKey(path));
}

std::unique_ptr<IniFile> Open(const std::string& path) {
  return std::unique_ptr<IniFile>(new MemoryIniFile(path));
}

}  // namespace memory
}  // namespace ini
