#pragma once

#include "engine/Main.h"

#include <string>
#include <vector>

namespace psykrona {

// Reads the project named on a command line into Doc (a fresh document):
// "-" stands for an empty project, a name ending in ".pkr" (in any letter case) for an older
// line-based file, anything else for an XML project file. Failures are
// EProjectFileError with the file named.
void LoadCliProject(const std::string& Path, TMain& Doc);

// Refuses, as a wrong call (EUsageError), an output file that would destroy
// one of Inputs or, unless MayReplaceProject, an existing project
// (CheckOutputFile).
void CheckCliOutputFile(const std::string& Path, const std::vector<std::string>& Inputs,
                        bool MayReplaceProject = false);

} // namespace psykrona
