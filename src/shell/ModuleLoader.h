#pragma once

#include <QFunctionPointer>

// The program's optional parts that pull in large libraries (sound, network) are shared modules
// loaded on first use, so a start does not pay for them. A module is looked for in the install
// layout next to the running program, then in the build tree it was built in.
namespace ModuleLoader {
// The named function of module (e.g. "jottex-http"), loading the module once; nullptr when the
// module or the function is missing. The first miss of each module is logged once.
QFunctionPointer resolve(const char* module, const char* function);
} // namespace ModuleLoader
