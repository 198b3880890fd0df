// The file layer: every file the run reads, writes or deletes goes through
// one FileSystem, so tests can run in memory or inject failures.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/byte_sink.h"

namespace genera {

/// A file operation that failed; the message names the path and the reason.
struct ErroreFile : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// One file of a set to be replaced together.
struct FileDaScrivere {
  std::string percorso;
  std::function<void(ByteSink&)> produci;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// True when a file (not a folder) stands at `path`.
  virtual bool exists(const std::string& path) = 0;

  /// The whole content of the file. Throws ErroreFile.
  virtual std::string read(const std::string& path) = 0;

  /// Deletes the file; a missing file is no error. Throws ErroreFile.
  virtual void remove(const std::string& path) = 0;

  /// Replaces the file at `path` with exactly the bytes that `produce`
  /// writes. The old file stays whole until the new one is complete: on any
  /// failure the target holds its old bytes (or is still missing). Throws
  /// ErroreFile naming the path and the reason.
  virtual void replace(const std::string& path,
                       const std::function<void(ByteSink&)>& produce) = 0;

  /// Replaces every file of `insieme` or none, as far as the file system
  /// allows: every target is checked, every new file written beside its
  /// target, the old files moved aside, the new ones renamed in, and on any
  /// failure the old files put back. Throws ErroreFile naming the path and
  /// the reason; then every old file is whole and no temporary file is left.
  virtual void replace_all(const std::vector<FileDaScrivere>& insieme);
};

/// Lets tests make single disk operations fail. Production code never
/// installs one.
class FaultHook {
 public:
  virtual ~FaultHook() = default;
  /// Called before each write of a block, rename and delete; a non-empty
  /// result makes that operation fail with this reason.
  virtual std::string fail(const char* operation, const std::string& path) = 0;
};

/// The real disk, through the standard library; every path crosses to the
/// system through native_path.
class DiskFileSystem : public FileSystem {
 public:
  explicit DiskFileSystem(FaultHook* hook = nullptr) : hook_(hook) {}

  bool exists(const std::string& path) override;
  std::string read(const std::string& path) override;
  void remove(const std::string& path) override;
  void replace(const std::string& path,
               const std::function<void(ByteSink&)>& produce) override;
  void replace_all(const std::vector<FileDaScrivere>& insieme) override;

 private:
  void controlla_bersaglio(const std::string& path);
  void scrivi_temporaneo(const std::string& path, const std::string& temporary,
                         const std::function<void(ByteSink&)>& produce);
  std::string injected(const char* operation, const std::string& path) {
    return hook_ != nullptr ? hook_->fail(operation, path) : std::string();
  }

  FaultHook* hook_;
};

/// Files kept in memory, by path.
class MemoryFileSystem : public FileSystem {
 public:
  bool exists(const std::string& path) override;
  std::string read(const std::string& path) override;
  void remove(const std::string& path) override;
  void replace(const std::string& path,
               const std::function<void(ByteSink&)>& produce) override;

  std::map<std::string, std::string> files;
};

/// `cartella`, one separator and the name: the separator is always
/// inserted, so a root folder gives two in a row.
std::string percorso_file(const std::string& cartella, const std::string& nome);

/// The platform's path separator: "\" on Windows, "/" elsewhere.
char separatore();

}  // namespace genera
