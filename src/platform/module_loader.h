#pragma once

#include <QByteArray>

namespace pimrose {

// Loading a shared library by name, looking up one of its exported symbols, releasing it (dlopen,
// dlsym, dlclose). Handles are opaque; a null handle means failure and is safe to pass on.
// The program links its libraries when it is built, so nothing in it calls these; kept as part of
// the system's helpers.
using ModuleHandle = void*;
using ModuleProcAddress = void*;

// Loads the shared library `name` (a file name searched the usual way, or a path); null on failure.
ModuleHandle LoadModule(const QByteArray& name);
// The address of the exported symbol `name`; null when the module or the symbol is absent.
ModuleProcAddress ModuleProc(ModuleHandle module, const QByteArray& name);
// Releases a module; answers whether it was released (false for a null handle).
bool FreeModule(ModuleHandle module);

}  // namespace pimrose
