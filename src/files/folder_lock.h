// A lock on an output folder, so that two runs that write the same folder
// at once leave one complete set of files, never a mix: the lock file
// ".genera_scenario.lock" in the folder, locked with flock on POSIX and
// LockFileEx on Windows while the set is replaced, removed afterwards.
#pragma once

#include <string>

namespace genera {

inline constexpr const char* kFileBlocco = ".genera_scenario.lock";

class BloccoCartella {
 public:
  /// Waits until the folder `cartella` is this run's alone. Throws
  /// ErroreFile when the lock file cannot be made.
  explicit BloccoCartella(const std::string& cartella);
  /// Releases the lock and removes its file.
  ~BloccoCartella();
  BloccoCartella(const BloccoCartella&) = delete;
  BloccoCartella& operator=(const BloccoCartella&) = delete;

 private:
  std::string percorso_;
  void* maniglia_ = nullptr;  // the open lock file, as the platform holds it
};

}  // namespace genera
