#pragma once
// The plugin library's own module, for its resources and window class.

#include <windows.h>

namespace Logic::Npp {

/// The handle of the library this code is linked into.
HINSTANCE PluginModule();

} // namespace Logic::Npp
