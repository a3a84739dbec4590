#pragma once

// What the fuzz targets share: a check that stops the run with a message, and
// the temporary folder the page files are written to.

#include <string>

namespace qf::fuzz {

// Stops the run (and so reports the input) when `condition` is false.
void Require(bool condition, const char* what);

// A folder of this process's own, made at the first call and removed with its
// files when the process ends; on a memory file system where there is one, so
// that the writer's syncs cost little. Ends in "/".
const std::string& TemporaryFolder();

} // namespace qf::fuzz
