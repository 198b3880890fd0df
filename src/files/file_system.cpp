#include "files/file_system.h"

#include <algorithm>

namespace genera {

char path_separator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::string join_path(const std::string& dir, const std::string& file_name) {
  return dir + path_separator() + file_name;
}

namespace {

std::size_t last_separator(const std::string& path) {
#ifdef _WIN32
  return path.find_last_of("\\/");
#else
  return path.find_last_of('/');
#endif
}

}  // namespace

std::string folder_of(const std::string& path) {
  const std::size_t at = last_separator(path);
  if (at == std::string::npos) return ".";
  if (at == 0) return path.substr(0, 1);
  return path.substr(0, at);
}

std::string name_of(const std::string& path) {
  const std::size_t at = last_separator(path);
  return at == std::string::npos ? path : path.substr(at + 1);
}

// ---- MemoryFileSystem ----

namespace {

/// A lock no one else can want: one process, one thread, one folder.
class MemoryLock : public FolderLock {
 public:
  FileId id() const override { return {}; }
};

/// True when `path` lies inside `folder` (at any depth).
bool is_inside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == path_separator();
}

}  // namespace

void MemoryFileSystem::injected(const char* operation, const std::string& what,
                                const std::string& path) {
  if (hook_ == nullptr) return;
  if (const std::string reason = hook_->fail(operation, path); !reason.empty())
    throw FileError(what + path + ": " + reason);
}

uint64_t MemoryFileSystem::id_of(const std::string& path) {
  auto it = ids_.find(path);
  if (it == ids_.end()) it = ids_.emplace(path, next_id_++).first;
  return it->second;
}

FileInfo MemoryFileSystem::stat(const std::string& path, bool) {
  injected("stat", "cannot look at ", path);
  FileInfo info;
  if (auto it = files.find(path); it != files.end()) {
    info.kind = FileKind::regular;
    info.size = it->second.size();
    info.id = {1, id_of(path)};
    return info;
  }
  const bool dir = folders.count(path) != 0 ||
                   std::any_of(files.begin(), files.end(),
                               [&](const auto& f) { return is_inside(f.first, path); });
  if (dir) info.kind = FileKind::folder;
  return info;
}

std::vector<std::string> MemoryFileSystem::list(const std::string& folder) {
  injected("list", "cannot list ", folder);
  std::set<std::string> nomi;
  auto aggiungi = [&](const std::string& p) {
    if (!is_inside(p, folder)) return;
    const std::string resto = p.substr(folder.size() + 1);
    nomi.insert(resto.substr(0, resto.find(path_separator())));
  };
  for (const auto& f : files) aggiungi(f.first);
  for (const std::string& d : folders) aggiungi(d);
  return {nomi.begin(), nomi.end()};
}

void MemoryFileSystem::make_folders(const std::string& folder) {
  injected("make folder", "cannot create the folder ", folder);
  if (files.count(folder) != 0)
    throw FileError("cannot write into " + folder + ": it is not a folder");
  folders.insert(folder);
}

bool MemoryFileSystem::make_new_folder(const std::string& path) {
  injected("make folder", "cannot create the folder ", path);
  if (stat(path).kind != FileKind::missing) return false;
  folders.insert(path);
  return true;
}

void MemoryFileSystem::write_new(const std::string& path,
                                 const std::function<void(ByteSink&)>& produce,
                                 const std::string& shown) {
  if (stat(path).kind != FileKind::missing)
    throw FileError("cannot write " + shown + ": " + path + " exists already");
  class Sink : public ByteSink {
   public:
    Sink(MemoryFileSystem& fs, const std::string& shown) : fs_(fs), shown_(shown) {}
    void write(const char* data, std::size_t size) override {
      fs_.injected("write", "cannot write ", shown_);
      bytes.append(data, size);
    }
    std::string bytes;

   private:
    MemoryFileSystem& fs_;
    const std::string& shown_;
  } sink(*this, shown);
  produce(sink);
  injected("sync", "cannot write ", shown);
  ids_.erase(path);
  files[path] = std::move(sink.bytes);
}

void MemoryFileSystem::check_writable(const std::string&) {}

LinkResult MemoryFileSystem::link(const std::string& existing, const std::string& path) {
  injected("link", "cannot link ", path);
  if (stat(path).kind != FileKind::missing) return LinkResult::exists;
  auto it = files.find(existing);
  if (it == files.end()) throw FileError("cannot link " + existing + ": No such file or directory");
  const uint64_t id = id_of(existing);
  files[path] = it->second;
  ids_[path] = id;
  return LinkResult::done;
}

void MemoryFileSystem::rename(const std::string& from, const std::string& to) {
  injected("rename", "cannot replace ", to);
  auto it = files.find(from);
  if (it == files.end()) throw FileError("cannot replace " + to + ": No such file or directory");
  if (stat(to).kind == FileKind::folder)
    throw FileError("cannot replace " + to + ": it is a folder");
  const uint64_t id = id_of(from);
  std::string bytes = std::move(it->second);
  files.erase(it);
  ids_.erase(from);
  files[to] = std::move(bytes);
  ids_[to] = id;
}

void MemoryFileSystem::remove(const std::string& path) {
  const FileInfo info = stat(path);
  if (info.kind == FileKind::missing) return;
  if (info.kind == FileKind::folder) throw FileError("cannot delete " + path + ": it is a folder");
  injected("delete", "cannot delete ", path);
  files.erase(path);
  ids_.erase(path);
}

void MemoryFileSystem::remove_folder(const std::string& path) {
  injected("remove folder", "cannot remove the folder ", path);
  if (!list(path).empty())
    throw FileError("cannot remove the folder " + path + ": Directory not empty");
  folders.erase(path);
}

void MemoryFileSystem::sync_folder(const std::string& folder) {
  injected("sync", "cannot sync ", folder);
}

std::unique_ptr<FolderLock> MemoryFileSystem::lock_folder(const std::string& folder) {
  injected("lock", "cannot lock ", folder);
  return std::make_unique<MemoryLock>();
}

std::string MemoryFileSystem::read(const std::string& path, bool) {
  auto it = files.find(path);
  if (it == files.end()) {
    if (stat(path).kind == FileKind::folder)
      throw FileError("cannot read " + path + ": it is a folder");
    throw FileError("cannot read " + path + ": No such file or directory");
  }
  return it->second;
}

}  // namespace genera
