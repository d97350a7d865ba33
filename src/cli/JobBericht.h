#pragma once
// What the console says when a job has ended: the M4B files that are really in the
// audiobook folder, those a job there did not write this time, and after a failure or
// a cancel how many complete parts stay.

#include "engine/JobState.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace lorvane::cli {

// Files a job makes (".m4b", ".m4a", ".mp3") in the audiobook folder that are not among
// the files this job finished, in natural order of their names.
std::vector<std::filesystem::path> FremdeHoerbuchDateien(const TJobState& state);

// The ".m4b" files this job finished, in their order.
std::vector<std::filesystem::path> FertigeM4bDateien(const TJobState& state);

// The lines after a successful job, not flushed: the caller checks the output. False
// when a finished file is missing now.
bool ErfolgBerichten(std::ostream& out, const TJobState& state);

// The lines after a failed or cancelled job: the complete parts that stay, and where.
std::string AbbruchBericht(const TJobState& state);

} // namespace lorvane::cli
