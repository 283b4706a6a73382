#pragma once

#include "engine/Main.h"

#include <string>

namespace psykrona {

// Reads the project named on a command line into Doc (a fresh document):
// "-" stands for an empty project, a name ending in ".pkr" (in any letter case) for an older
// line-based file, anything else for an XML project file. Failures are
// EProjectFileError with the file named.
void LoadCliProject(const std::string& Path, TMain& Doc);

} // namespace psykrona
