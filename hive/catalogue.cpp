#include "hive/catalogue.h"

#include "common/strutil.h"
#include "hive/system.h"

namespace hive {
namespace {

const char kHiveListKey[] = "SYSTEM\\CurrentControlSet\\Control\\hivelist";

constexpr std::uint32_t kDriveStringsLength = 104;
// Far more than 26 roots of four characters; a list that asks for more is not trusted.
constexpr std::uint32_t kDriveStringsLimit = 4096;
constexpr std::uint32_t kFixedDeviceLength = 127;
constexpr std::uint32_t kLetterDeviceLength = 1000;

class KeyGuard {
 public:
  explicit KeyGuard(sys::Handle key) : key_(key) {}
  ~KeyGuard() { sys::Sys().RegCloseKey(key_); }
  KeyGuard(const KeyGuard&) = delete;
  KeyGuard& operator=(const KeyGuard&) = delete;

 private:
  sys::Handle key_;
};

// The first device name QueryDosDeviceA gives for `drive`, or "" when the call
// fails or the name did not fit the buffer with its terminating NUL.
std::string DeviceOf(const std::string& drive, std::uint32_t bufferLength) {
  std::string buffer;
  std::uint32_t n = sys::Sys().QueryDosDeviceA(drive, bufferLength, &buffer);
  if (n == 0) return std::string();
  if (buffer.size() > bufferLength) buffer.resize(bufferLength);
  std::size_t nul = buffer.find('\0');
  if (nul == std::string::npos) return std::string();  // cut short: too long to trust
  return buffer.substr(0, nul);
}

// The drive roots, or "" when the list cannot be had whole. With all 26
// letters in use the roots need 105 characters, one more than the first
// buffer; the call then says how much it needs and is asked once more.
std::string DriveStrings() {
  std::string buffer;
  std::uint32_t length = kDriveStringsLength;
  std::uint32_t n = sys::Sys().GetLogicalDriveStringsA(length, &buffer);
  if (n >= length) {
    if (n > kDriveStringsLimit) return std::string();
    length = n;
    n = sys::Sys().GetLogicalDriveStringsA(length, &buffer);
    if (n >= length) return std::string();
  }
  if (buffer.size() > n) buffer.resize(n);
  return buffer;
}

// Position of the backslash that ends the device part: the `count`-th one
// found from the second character on.
std::size_t NthBackslash(const std::string& s, int count) {
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    pos = s.find('\\', i == 0 ? 1 : pos + 1);
    if (pos == std::string::npos) return pos;
  }
  return pos;
}

}  // namespace

void ReadHiveList(bool isWow64, std::vector<std::string>& hiveNames,
                  std::vector<std::string>& hiveFiles) {
  hiveNames.clear();
  hiveFiles.clear();
  sys::Handle key = 0;
  if (sys::Sys().RegOpenKeyExA(sys::kHKEY_LOCAL_MACHINE, kHiveListKey, 0, sys::kKEY_ALL_ACCESS,
                               &key) != sys::kERROR_SUCCESS)
    return;
  KeyGuard guard(key);

  std::vector<std::string> names;
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    if (sys::Sys().RegEnumValueA(key, index, &name) != sys::kERROR_SUCCESS) break;
    names.push_back(name);
  }

  for (const std::string& name : names) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (sys::Sys().RegQueryValueExA(key, name, &type, &data) != sys::kERROR_SUCCESS) continue;
    if (type != sys::kREG_SZ && type != sys::kREG_EXPAND_SZ) continue;
    std::string text = str::CutAtNul(std::string(data.begin(), data.end()));
    if (text.empty()) continue;
    std::string file = HivePathToFileName(text, isWow64);
    if (file.empty()) continue;
    hiveNames.push_back(name);
    hiveFiles.push_back(file);
  }
}

std::string HivePathToFileName(const std::string& data, bool isWow64) {
  auto existing = [isWow64](std::string path) {
    if (isWow64) path = RedirectSystem32(path);
    if (path.empty() || !sys::Sys().FileExists(path)) return std::string();
    return path;
  };
  std::string result;
  if (str::ContainsNoCase(data, "Device\\Harddisk")) result = existing(FixedDrivePathToDosPath(data));
  if (result.empty()) result = existing(DevicePathToDosPath(data));
  return result;
}

std::string FixedDrivePathToDosPath(const std::string& devicePath) {
  const std::string roots = DriveStrings();
  const std::size_t count = roots.size() / 4;
  for (std::size_t k = 0; k < count; ++k) {
    const std::string root = str::CutAtNul(roots.substr(4 * k));
    if (root.size() < 2) continue;
    if (sys::Sys().GetDriveTypeA(root) != sys::kDRIVE_FIXED) continue;
    const std::string drive = root.substr(0, 2);
    const std::string device = DeviceOf(drive, kFixedDeviceLength);
    if (device.empty()) continue;
    std::size_t pos = str::FindNoCase(devicePath, device);
    if (pos == std::string::npos) continue;
    return drive + devicePath.substr(pos + device.size());
  }
  return std::string();
}

std::string DevicePathToDosPath(const std::string& devicePath) {
  std::string part = devicePath;
  std::string rest;
  if (part.compare(0, 1, "\\") != 0 && str::FindNoCase(part, "Device") == 0) part = "\\" + part;

  int split = 0;
  if (str::ContainsNoCase(part, "Device\\HarddiskVolume"))
    split = 2;
  else if (str::ContainsNoCase(part, "Device\\Harddisk"))
    split = 3;
  if (split != 0) {
    std::size_t pos = NthBackslash(part, split);
    // Without that many backslashes the whole path is the device part.
    if (pos != std::string::npos) {
      rest = part.substr(pos);
      part.resize(pos);
    }
  }

  for (char letter = 'a'; letter <= 'z'; ++letter) {
    const std::string drive = std::string(1, letter) + ":";
    const std::string device = DeviceOf(drive, kLetterDeviceLength);
    if (device.empty()) continue;
    if (str::SameText(part, device) || str::SameText(part, "\\" + device)) return drive + rest;
  }
  return std::string();
}

std::string RedirectSystem32(const std::string& path) {
  static const std::string kSystem32 = "system32";
  std::size_t pos = str::FindNoCase(path, kSystem32);
  if (pos == std::string::npos) return path;
  std::string redirected = path.substr(0, pos) + "sysnative" + path.substr(pos + kSystem32.size());
  return sys::Sys().FileExists(redirected) ? redirected : path;
}

}  // namespace hive
