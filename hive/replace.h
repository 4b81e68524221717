// Scheduling a hive's swap for its snapshot, and the restart that makes it.
#pragma once
#include <string>

namespace hive {

// Asks Windows to load `newFile` as the hive at the next start and keep the
// current file as `oldFile` (an existing `oldFile` is deleted first). A hive
// path holding neither REGISTRY\MACHINE\ nor REGISTRY\USER\ has no root key:
// it is skipped, nothing deleted and nothing asked. True when Windows accepted.
bool ReplaceHive(const std::string& hivePath, const std::string& newFile, const std::string& oldFile);

// Enables the shutdown privilege and asks for a restart; `force` closes
// applications without asking them.
bool RestartWindows(bool force);

}  // namespace hive
