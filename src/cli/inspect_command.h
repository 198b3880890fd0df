// `inspect`: decodes compact files given on the command line.
#pragma once

#include <string>
#include <vector>

namespace genera {

/// Prints each file's table (or, with `json`, one JSON object holding all
/// of them). Throws UsageError for a file of no known kind, before anything
/// is read. Returns 0, or 3 when a file could not be read or decoded.
int comando_ispeziona(const std::vector<std::string>& file, bool json);

}  // namespace genera
