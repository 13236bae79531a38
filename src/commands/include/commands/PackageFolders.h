#pragma once
// The package's folders and programs as the front-ends need them: the base folder derived from a
// program's own folder, and the programs of BASE/exe that the window and the menu start.

#include "store/PackagePaths.h"

namespace kiv::commands {

using store::baseFolderOf;
using store::kCommandLineProgram;
using store::kMenuProgram;
using store::kWindowProgram;
using store::packageProgramPath;
using store::programFileName;
using store::programFolder;

}  // namespace kiv::commands
