// The one way the program changes a folder: a set of files replaced all or
// nothing, durably, under the folder's lock, after the folder has been
// brought back from any run that was killed in it. docs/ARCHITECTURE.md
// tells the protocol step by step.
//
// A commit works in a staging folder of its own, ".genera_scenario-XXXXXXXXXXXX",
// made new inside the output folder (so no name in it can be anyone else's):
//   1. every new file written there ("new-0", ...) and synced;
//   2. every target that exists given a second name there ("old-0", ...);
//   3. the journal: written as "journal.tmp", synced, renamed to "journal",
//      and the staging folder synced. This is the commit point;
//   4. every new file renamed over its target, the output folder synced;
//   5. the staging folder emptied (the journal first) and removed.
// A run that opens the folder finds a staging folder left by a killed one:
// with no journal, nothing outside it was touched and it is removed; with
// a journal that says "commit", the renames of step 4 are finished; with one
// that says "abort", every target that holds its new file gets its old one
// back (or is removed when it had none).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "files/file_system.h"

namespace genera {

/// The prefix of every staging folder's name.
inline constexpr const char* kPrefissoAppoggio = ".genera_scenario-";

/// How `OutputFolder::place` found the name.
enum class Placed { created, identical, different };

class OutputFolder {
 public:
  /// Locks `folder` (waiting for another run to finish) and recovers it.
  /// The files of `untouchable` (an author's sources) are compared by
  /// identity and are never written, moved or deleted. Throws FileError.
  OutputFolder(FileSystem& fs, std::string folder,
               const std::vector<std::string>& untouchable = {});
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;

  /// Replaces the files of `file_set`, each of them directly in the folder,
  /// all or none. Every target is checked first (a folder, a link, a FIFO,
  /// a read-only file, a source stop it before anything changes). When it
  /// returns, the new set is on disk for good; when it throws, the old set
  /// is whole, or the message says that the next run puts it back.
  void commit(const std::vector<FileToWrite>& file_set);

  /// The checks commit makes before it writes anything, on their own.
  void check(const std::vector<FileToWrite>& file_set);

  /// Gives `path` (in the folder) exactly `bytes` only where no file stands;
  /// a regular file of the same bytes is left as it is. Anything else is
  /// left untouched and reported as `different`. Throws FileError.
  Placed place(const std::string& path, const std::string& bytes);

  /// What a clean-up could not remove after a commit that succeeded (the
  /// next run removes it): one line each, for the user.
  const std::vector<std::string>& leftovers() const { return leftovers_; }

  const std::string& folder() const { return folder_; }

 private:
  std::vector<bool> check_targets(const std::vector<FileToWrite>& file_set);
  void recover();
  void recover_staging(const std::string& staging);
  void sweep(const std::string& staging);
  bool untouchable(const FileInfo& info) const;
  std::string make_staging();

  FileSystem& fs_;
  std::string folder_;
  std::vector<FileId> untouchable_;
  std::unique_ptr<FolderLock> lock_;
  std::vector<std::string> leftovers_;
};

}  // namespace genera
