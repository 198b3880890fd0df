// File layers that keep the author's files safe: one that never deletes
// or overwrites the sources it is given, and one that writes nothing.
#pragma once

#include <string>
#include <vector>

#include "files/file_system.h"

namespace genera {

/// Passes every operation to `base`, except that removing one of the
/// `sorgenti` does nothing and replacing one of them fails.
class SorgentiIntatte : public FileSystem {
 public:
  /// `base` must outlive this layer.
  SorgentiIntatte(FileSystem& base, std::vector<std::string> sorgenti)
      : base_(base), sorgenti_(std::move(sorgenti)) {}

  bool exists(const std::string& path) override { return base_.exists(path); }
  std::string read(const std::string& path) override { return base_.read(path); }
  void remove(const std::string& path) override;
  /// Throws errore_file when `path` is one of the sources (by name or on disk).
  void replace(const std::string& path, const std::function<void(ByteSink&)>& produce) override;

 private:
  bool e_sorgente(const std::string& path) const;

  FileSystem& base_;
  std::vector<std::string> sorgenti_;
};

/// Reads through `base`; replacing and removing do nothing at all.
class SoloLettura : public FileSystem {
 public:
  /// `base` must outlive this layer.
  explicit SoloLettura(FileSystem& base) : base_(base) {}

  bool exists(const std::string& path) override { return base_.exists(path); }
  std::string read(const std::string& path) override { return base_.read(path); }
  void remove(const std::string&) override {}
  void replace(const std::string&, const std::function<void(ByteSink&)>&) override {}

 private:
  FileSystem& base_;
};

}  // namespace genera
