#include "common/win/ini_win.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace ini {
namespace {

constexpr DWORD kBufferSize = 2048;

// A value cannot equal both, so a key is missing exactly when both reads
// return their own default; the second read is needed only in that case.
const char kSentinelA[] = "\x01";
const char kSentinelB[] = "\x02";

class ProfileIniFile : public IniFile {
 public:
  explicit ProfileIniFile(std::string path) : path_(std::move(path)) {}

  const std::string& FileName() const override { return path_; }

  // GetPrivateProfileStringA trims trailing blanks off the default and cuts
  // it to the buffer; callers hand in texts that must come back unchanged
  // ("Checking: "), so a missing key is told apart by sentinel defaults and
  // `def` itself never passes through the API.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) override {
    if (path_.empty()) return def;
    std::string value;
    if (!Read(section, key, kSentinelA, &value)) return value;
    if (!Read(section, key, kSentinelB, &value)) return value;
    return def;
  }

  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (path_.empty() ||
        !WritePrivateProfileStringA(OneLine(section).c_str(), OneLine(key).c_str(),
                                    OneLine(value).c_str(), path_.c_str()))
      throw WriteError(path_);
  }

  void EraseSection(const std::string& section) override {
    if (path_.empty() ||
        !WritePrivateProfileStringA(OneLine(section).c_str(), nullptr, nullptr, path_.c_str()))
      throw WriteError(path_);
  }

 private:
  // False when the answer was not the sentinel, that is, a real value.
  bool Read(const std::string& section, const std::string& key, const char* sentinel,
            std::string* value) const {
    std::vector<char> buffer(kBufferSize, '\0');
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), sentinel, buffer.data(),
                                             kBufferSize, path_.c_str());
    value->assign(buffer.data(), n < kBufferSize ? n : kBufferSize - 1);
    return *value == sentinel;
  }

  std::string path_;
};

}  // namespace

std::unique_ptr<IniFile> OpenProfileIni(const std::string& path) {
  return std::unique_ptr<IniFile>(new ProfileIniFile(path));
}

}  // namespace ini
