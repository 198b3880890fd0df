// The file layer: every file the program reads, writes or deletes goes
// through one FileSystem, so tests can run in memory or inject failures.
// FileSystem holds the small calls a disk offers; output_folder.h builds the
// one way the program replaces files on them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/byte_sink.h"

namespace genera {

/// A file operation that failed; the message names the path and the reason.
struct FileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// One file of a set to be replaced together.
struct FileToWrite {
  std::string path;
  std::function<void(ByteSink&)> produce;
};

/// What stands at a path. A link is reported as a link, never followed,
/// unless the caller asks to follow it.
enum class FileKind { missing, regular, folder, link, other };

/// Which file a name leads to: the device and the inode (on Windows the
/// volume serial number and the file index). Two names of one file have the
/// same identity; a zero identity matches nothing.
struct FileId {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool known() const { return device != 0 || inode != 0; }
  bool operator==(const FileId& o) const {
    return known() && device == o.device && inode == o.inode;
  }
};

struct FileInfo {
  FileKind kind = FileKind::missing;
  FileId id;
  uint64_t size = 0;
  int64_t modified_ns = 0;  // last write, in nanoseconds of the system's clock
  bool mine = true;         // owned by the user the program runs as (always true on Windows)
};

/// A held lock on a folder; released by its destructor.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
  /// The lock file's identity, so that it is never taken for a source.
  virtual FileId id() const = 0;
};

/// How `link` ended.
enum class LinkResult { done, exists, unsupported };

/// The name of the lock file every writing run holds in its output folder.
inline constexpr const char* kFileBlocco = ".genera_scenario.lock";

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// What stands at `path`; links are followed only when `follow`. A
  /// missing path is FileKind::missing. Throws FileError on any other
  /// failure.
  virtual FileInfo stat(const std::string& path, bool follow = false) = 0;

  /// The names in `folder`, without "." and "..", in no set order. Throws
  /// FileError.
  virtual std::vector<std::string> list(const std::string& folder) = 0;

  /// Creates `folder` and every missing folder above it. Throws FileError
  /// when one cannot be made, or a file other than a folder stands in the way.
  virtual void make_folders(const std::string& folder) = 0;

  /// Creates the folder `path`, readable by its owner only; false when
  /// anything already stands there. Throws FileError on other failures.
  virtual bool make_new_folder(const std::string& path) = 0;

  /// Creates the file `path`, which must not exist (no link is followed), with
  /// exactly the bytes `produce` writes, and syncs them to the disk before it
  /// returns. On failure the file is removed again. Throws FileError naming
  /// `shown` (the target the caller writes for) and the reason.
  virtual void write_new(const std::string& path, const std::function<void(ByteSink&)>& produce,
                         const std::string& shown) = 0;

  /// Throws FileError "cannot replace PATH: reason" when the regular file
  /// at `path` may not be written (read-only, locked). Changes nothing.
  virtual void check_writable(const std::string& path) = 0;

  /// Gives the file `existing` the second name `path`. Throws FileError
  /// on failures other than those the result names.
  virtual LinkResult link(const std::string& existing, const std::string& path) = 0;

  /// Renames `from` to `to` in one step, replacing a file there, and with
  /// it the name's old file. Throws FileError.
  virtual void rename(const std::string& from, const std::string& to) = 0;

  /// Deletes the name `path` (a link itself, never what it leads to); a
  /// missing file is no error, a folder is. Throws FileError.
  virtual void remove(const std::string& path) = 0;

  /// Deletes the empty folder `path`. Throws FileError.
  virtual void remove_folder(const std::string& path) = 0;

  /// Makes the names in `folder` (files made, renamed, deleted) survive a
  /// power cut. Throws FileError.
  virtual void sync_folder(const std::string& folder) = 0;

  /// Waits until no other run holds `folder`, then holds it until the
  /// result is destroyed: the lock file kFileBlocco, opened without
  /// following a link. Throws FileError when the lock file cannot be made,
  /// or what stands at its name is not a lock file.
  virtual std::unique_ptr<FolderLock> lock_folder(const std::string& folder) = 0;

  /// The whole content of the file; a link is followed only when `follow`
  /// (a file the user named). Only a regular file is read. Throws FileError.
  virtual std::string read(const std::string& path, bool follow = false) = 0;

  /// True when a regular file stands at `path`, the name itself, not a link.
  bool exists(const std::string& path) { return stat(path).kind == FileKind::regular; }

  /// Replaces every file of `file_set` (all in one folder) or none, under the
  /// folder's lock and after its recovery (output_folder.h). No file of
  /// `untouchable` is ever written, moved or deleted. Throws FileError.
  void replace_all(const std::vector<FileToWrite>& file_set,
                   const std::vector<std::string>& untouchable = {});

  /// replace_all of one file.
  void replace(const std::string& path, const std::function<void(ByteSink&)>& produce,
               const std::vector<std::string>& untouchable = {});
};

/// Lets tests make single disk operations fail. Production code never
/// installs one.
class FaultHook {
 public:
  virtual ~FaultHook() = default;
  /// Called before each stat, list, folder made, block written, sync, link,
  /// rename, delete and lock; a non-empty result makes that operation fail
  /// with this reason.
  virtual std::string fail(const char* operation, const std::string& path) = 0;
};

/// The real disk, through the system's own calls; every path crosses to the
/// system through native_path. Split _posix / _win32.
class DiskFileSystem : public FileSystem {
 public:
  explicit DiskFileSystem(FaultHook* hook = nullptr) : hook_(hook) {}

  FileInfo stat(const std::string& path, bool follow = false) override;
  std::vector<std::string> list(const std::string& folder) override;
  void make_folders(const std::string& folder) override;
  bool make_new_folder(const std::string& path) override;
  void write_new(const std::string& path, const std::function<void(ByteSink&)>& produce,
                 const std::string& shown) override;
  void check_writable(const std::string& path) override;
  LinkResult link(const std::string& existing, const std::string& path) override;
  void rename(const std::string& from, const std::string& to) override;
  void remove(const std::string& path) override;
  void remove_folder(const std::string& path) override;
  void sync_folder(const std::string& folder) override;
  std::unique_ptr<FolderLock> lock_folder(const std::string& folder) override;
  std::string read(const std::string& path, bool follow = false) override;

 private:
  /// Throws FileError `what` + path + the injected reason, if any.
  void injected(const char* operation, const std::string& what, const std::string& path);

  FaultHook* hook_;
};

/// Files kept in memory, by path. Folders are known by name; a file's
/// identity is a number given when it is made.
class MemoryFileSystem : public FileSystem {
 public:
  explicit MemoryFileSystem(FaultHook* hook = nullptr) : hook_(hook) {}

  FileInfo stat(const std::string& path, bool follow = false) override;
  std::vector<std::string> list(const std::string& folder) override;
  void make_folders(const std::string& folder) override;
  bool make_new_folder(const std::string& path) override;
  void write_new(const std::string& path, const std::function<void(ByteSink&)>& produce,
                 const std::string& shown) override;
  void check_writable(const std::string& path) override;
  LinkResult link(const std::string& existing, const std::string& path) override;
  void rename(const std::string& from, const std::string& to) override;
  void remove(const std::string& path) override;
  void remove_folder(const std::string& path) override;
  void sync_folder(const std::string& folder) override;
  std::unique_ptr<FolderLock> lock_folder(const std::string& folder) override;
  std::string read(const std::string& path, bool follow = false) override;

  std::map<std::string, std::string> files;  // path -> bytes
  std::set<std::string> folders;             // besides the implicit ones above every file

 private:
  void injected(const char* operation, const std::string& what, const std::string& path);
  uint64_t id_of(const std::string& path);

  FaultHook* hook_;
  std::map<std::string, uint64_t> ids_;  // path -> identity, given on first sight
  uint64_t next_id_ = 1;
};

/// `dir`, one separator and the name: the separator is always
/// inserted, so a root folder gives two in a row.
std::string join_path(const std::string& dir, const std::string& file_name);

/// The platform's path separator: "\" on Windows, "/" elsewhere.
char path_separator();

/// The folder part of `path` ("." when it has none) and the name after it.
std::string folder_of(const std::string& path);
std::string name_of(const std::string& path);

}  // namespace genera
