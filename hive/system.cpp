#include "hive/system.h"

namespace sys {
namespace {
System* g_system = nullptr;
}
System& Sys() { return *g_system; }
void SetSys(System* system) { g_system = system; }
}  // namespace sys
