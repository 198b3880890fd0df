// The command line's exit statuses and its usage failure.
#pragma once

#include <stdexcept>

namespace genera {

inline constexpr int kUscitaBuona = 0;   // no failure code recorded
inline constexpr int kUscitaCodice = 1;  // a failure code was recorded
inline constexpr int kUscitaUso = 2;     // the command line was wrong
inline constexpr int kUscitaFile = 3;    // a file could not be read, written or decoded

/// A command line that cannot be carried out as given (exit 2).
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace genera
