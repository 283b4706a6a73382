#pragma once

#include <string>
#include <vector>

namespace psykrona {

// psykrona-cli state --batch: many states, one per row of standard input,
// solved as the single state command solves them and streamed to standard
// output as CSV. Returns the exit code: 0 when every row was solved, 1 when
// any row failed (each is named on standard error and the others go on).
int RunStateBatch(const std::vector<std::string>& Args);

} // namespace psykrona
