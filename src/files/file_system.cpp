#include "files/file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/native_path.h"

namespace genera {
namespace {

namespace fs = std::filesystem;

std::string motivo(int errnum) { return std::strerror(errnum); }

/// Writes through a 64 KB stdio buffer and remembers the first failure.
class FileSink : public ByteSink {
 public:
  FileSink(std::FILE* file, const std::string& path, const std::function<std::string()>& fault)
      : file_(file), path_(path), fault_(fault) {}
  void write(const char* data, std::size_t size) override {
    if (const std::string reason = fault_(); !reason.empty())
      throw ErroreFile("cannot write " + path_ + ": " + reason);
    if (size != 0 && std::fwrite(data, 1, size, file_) != size)
      throw ErroreFile("cannot write " + path_ + ": " + motivo(errno));
  }

 private:
  std::FILE* file_;
  const std::string& path_;
  const std::function<std::string()>& fault_;
};

}  // namespace

char separatore() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::string percorso_file(const std::string& cartella, const std::string& nome) {
  return cartella + separatore() + nome;
}

bool DiskFileSystem::exists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(native_path(path), ec);
}

std::string DiskFileSystem::read(const std::string& path) {
  std::error_code ec;
  if (fs::is_directory(native_path(path), ec))
    throw ErroreFile("cannot read " + path + ": it is a folder");
  std::FILE* file = open_file(path, "rb");
  if (file == nullptr) throw ErroreFile("cannot read " + path + ": " + motivo(errno));
  std::string contents;
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, n);
  const bool failed = std::ferror(file) != 0;
  const int errnum = errno;
  std::fclose(file);
  if (failed) throw ErroreFile("cannot read " + path + ": " + motivo(errnum));
  return contents;
}

void DiskFileSystem::remove(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(native_path(path), ec);
  if (!fs::exists(status)) return;
  if (fs::is_directory(status)) throw ErroreFile("cannot delete " + path + ": it is a folder");
  if (const std::string reason = injected("delete", path); !reason.empty())
    throw ErroreFile("cannot delete " + path + ": " + reason);
  if (remove_file(path) != 0)
    throw ErroreFile("cannot delete " + path + ": " + motivo(errno));
}

void DiskFileSystem::controlla_bersaglio(const std::string& path) {
  std::error_code ec;
  if (fs::is_directory(native_path(path), ec))
    throw ErroreFile("cannot replace " + path + ": it is a folder");
  if (fs::exists(native_path(path), ec)) {
    // A file we may not write (read-only, locked) is left exactly as it is.
    std::FILE* probe = open_file(path, "r+b");
    if (probe == nullptr) throw ErroreFile("cannot replace " + path + ": " + motivo(errno));
    std::fclose(probe);
  }
}

void DiskFileSystem::scrivi_temporaneo(const std::string& path, const std::string& temporary,
                                       const std::function<void(ByteSink&)>& produce) {
  std::FILE* file = open_file(temporary, "wb");
  if (file == nullptr) throw ErroreFile("cannot write " + path + ": " + motivo(errno));
  try {
    const std::function<std::string()> fault = [&] { return injected("write", path); };
    FileSink sink(file, path, fault);
    produce(sink);
    if (std::fflush(file) != 0) throw ErroreFile("cannot write " + path + ": " + motivo(errno));
  } catch (...) {
    std::fclose(file);
    remove_file(temporary);
    throw;
  }
  if (std::fclose(file) != 0) {
    const int errnum = errno;
    remove_file(temporary);
    throw ErroreFile("cannot write " + path + ": " + motivo(errnum));
  }
}

void DiskFileSystem::replace(const std::string& path,
                             const std::function<void(ByteSink&)>& produce) {
  controlla_bersaglio(path);
  // The new bytes go to a temporary file beside the target and take its
  // place only once complete, so a failure never leaves a file cut short.
  const std::string temporary = path + ".genera-new";
  scrivi_temporaneo(path, temporary, produce);
  std::string reason = injected("rename", path);
  if (reason.empty()) reason = rename_file(temporary, path);
  if (!reason.empty()) {
    remove_file(temporary);
    throw ErroreFile("cannot replace " + path + ": " + reason);
  }
}

void DiskFileSystem::replace_all(const std::vector<FileDaScrivere>& insieme) {
  for (const FileDaScrivere& f : insieme) controlla_bersaglio(f.percorso);

  auto nuovo = [](const FileDaScrivere& f) { return f.percorso + ".genera-new"; };
  auto vecchio = [](const FileDaScrivere& f) { return f.percorso + ".genera-old"; };
  std::size_t scritti = 0, spostati = 0, entrati = 0;
  std::vector<bool> esisteva(insieme.size(), false);
  // Puts every old file back and takes every new one away.
  auto ripristina = [&] {
    for (std::size_t i = 0; i < entrati; ++i) remove_file(insieme[i].percorso);
    for (std::size_t i = 0; i < spostati; ++i)
      if (esisteva[i]) rename_file(vecchio(insieme[i]), insieme[i].percorso);
    for (std::size_t i = entrati; i < scritti; ++i) remove_file(nuovo(insieme[i]));
  };
  try {
    for (; scritti < insieme.size(); ++scritti)
      scrivi_temporaneo(insieme[scritti].percorso, nuovo(insieme[scritti]), insieme[scritti].produci);
    for (; spostati < insieme.size(); ++spostati) {
      const FileDaScrivere& f = insieme[spostati];
      std::error_code ec;
      esisteva[spostati] = fs::exists(native_path(f.percorso), ec);
      if (!esisteva[spostati]) continue;
      std::string reason = injected("rename", f.percorso);
      if (reason.empty()) reason = rename_file(f.percorso, vecchio(f));
      if (!reason.empty()) throw ErroreFile("cannot replace " + f.percorso + ": " + reason);
    }
    for (; entrati < insieme.size(); ++entrati) {
      const FileDaScrivere& f = insieme[entrati];
      std::string reason = injected("rename", f.percorso);
      if (reason.empty()) reason = rename_file(nuovo(f), f.percorso);
      if (!reason.empty()) throw ErroreFile("cannot replace " + f.percorso + ": " + reason);
    }
  } catch (...) {
    ripristina();
    throw;
  }
  // The new set is in place; the old copies go.
  for (std::size_t i = 0; i < insieme.size(); ++i)
    if (esisteva[i]) remove_file(vecchio(insieme[i]));
}

void FileSystem::replace_all(const std::vector<FileDaScrivere>& insieme) {
  for (const FileDaScrivere& f : insieme) replace(f.percorso, f.produci);
}

bool MemoryFileSystem::exists(const std::string& path) { return files.count(path) != 0; }

std::string MemoryFileSystem::read(const std::string& path) {
  auto it = files.find(path);
  if (it == files.end()) throw ErroreFile("cannot read " + path + ": No such file or directory");
  return it->second;
}

void MemoryFileSystem::remove(const std::string& path) { files.erase(path); }

void MemoryFileSystem::replace(const std::string& path,
                               const std::function<void(ByteSink&)>& produce) {
  StringSink sink;
  produce(sink);
  files[path] = std::move(sink.bytes);
}

}  // namespace genera
