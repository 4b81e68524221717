#include "i18n/language.h"

#include "common/app_paths.h"
#include "common/ini.h"
#include "common/strutil.h"
#include "hive/system.h"
#include "settings/options.h"

namespace {
constexpr std::size_t kMaxLanguageName = 64;
}

bool IsSafeLanguageName(const std::string& language) {
  if (language.size() > kMaxLanguageName) return false;
  for (const char c : language) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

std::string LanguageFilePath(const std::string& language) {
  if (!IsSafeLanguageName(language)) return std::string();
  const std::string name = "DLan_" + language + ".ini";
  const std::string beside = app::ExeDir() + name;
  if (sys::Sys().FileExists(beside)) return beside;
  return app::ExeDir() + "Languages\\" + name;
}

bool IsEnglish(const std::string& lan) { return str::SameText(lan, "English"); }

std::string LoadLanString(const std::string& key, const std::string& builtInText) {
  if (IsEnglish(OptionsSetting.Lan)) return builtInText;
  const auto file = ini::OpenIni(LanguageFilePath(OptionsSetting.Lan));
  return file->ReadString("ResourceString", key, builtInText);
}
