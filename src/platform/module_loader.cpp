#include "platform/module_loader.h"

#include <dlfcn.h>

#include "platform/platform_log.h"

namespace pimrose {

ModuleHandle LoadModule(const QByteArray& name) {
  if (name.isEmpty()) return nullptr;  // dlopen(nullptr) would hand out the program itself
  // The name is copied so that it is terminated wherever the caller's bytes came from.
  const QByteArray copy(name.constData(), name.size());
  ModuleHandle module = dlopen(copy.constData(), RTLD_NOW | RTLD_LOCAL);
  if (!module) qCDebug(lcPlatform) << "cannot load" << copy << dlerror();
  return module;
}

ModuleProcAddress ModuleProc(ModuleHandle module, const QByteArray& name) {
  if (!module || name.isEmpty()) return nullptr;
  const QByteArray copy(name.constData(), name.size());
  return dlsym(module, copy.constData());
}

bool FreeModule(ModuleHandle module) {
  return module && dlclose(module) == 0;
}

}  // namespace pimrose
