#pragma once

#include <QByteArray>

namespace pimrose {

// The three library routines handed to the engine loader: load a shared library, look up one of its
// exported symbols, release it. Handles are opaque; a null handle means failure and is safe to pass on.
using ModuleHandle = void*;
using ModuleProcAddress = void*;

// Loads the shared library `name` (a file name searched the usual way, or a path); null on failure.
ModuleHandle LoadModule(const QByteArray& name);
// The address of the exported symbol `name`; null when the module or the symbol is absent.
ModuleProcAddress ModuleProc(ModuleHandle module, const QByteArray& name);
// Releases a module; answers whether it was released (false for a null handle).
bool FreeModule(ModuleHandle module);

}  // namespace pimrose
