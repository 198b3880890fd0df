// DiskFileSystem on POSIX: open with O_NOFOLLOW and O_NONBLOCK where a name
// may have been planted (a link is never followed, a FIFO never waited on),
// O_EXCL for every file made, fsync for every file and folder that must
// survive a power cut.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/file_system.h"
#include "files/native_path.h"

namespace genera {
namespace {

std::string why(int errnum) { return std::strerror(errnum); }

/// The path as the system takes it.
std::string system_path(const std::string& path) { return native_path(path).native(); }

FileInfo info_of(const struct stat& st) {
  FileInfo info;
  if (S_ISREG(st.st_mode)) {
    info.kind = FileKind::regular;
  } else if (S_ISDIR(st.st_mode)) {
    info.kind = FileKind::folder;
  } else if (S_ISLNK(st.st_mode)) {
    info.kind = FileKind::link;
  } else {
    info.kind = FileKind::other;
  }
  // Device 0 exists (some virtual file systems): keep the identity known.
  info.id = {static_cast<uint64_t>(st.st_dev) + 1, static_cast<uint64_t>(st.st_ino)};
  info.size = static_cast<uint64_t>(st.st_size);
  info.modified_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  info.mine = st.st_uid == ::geteuid();
  return info;
}

/// A file descriptor closed when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

/// Writes through a 64 KB buffer and remembers nothing: a failure throws.
class FdSink : public ByteSink {
 public:
  FdSink(int fd, const std::function<void()>& before_write, const std::string& shown)
      : fd_(fd), before_write_(before_write), shown_(shown) {}
  void write(const char* data, std::size_t size) override {
    if (buffer_.size() + size > kBlocco) flush();
    if (size >= kBlocco) {
      scrivi(data, size);
    } else {
      buffer_.append(data, size);
    }
  }
  void flush() {
    if (!buffer_.empty()) scrivi(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kBlocco = 1 << 16;
  void scrivi(const char* data, std::size_t size) {
    before_write_();
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) throw FileError("cannot write " + shown_ + ": " + why(n < 0 ? errno : ENOSPC));
      data += n;
      size -= static_cast<std::size_t>(n);
    }
  }
  int fd_;
  const std::function<void()>& before_write_;
  const std::string& shown_;
  std::string buffer_;
};

class PosixLock : public FolderLock {
 public:
  PosixLock(int fd, std::string path, FileId id) : fd_(fd), path_(std::move(path)), id_(id) {}
  ~PosixLock() override {
    // Removed while still held, and only when the name is still this
    // file: the next run makes its own, and a waiter that held the old one
    // sees that the name moved on and starts again.
    struct stat sul_disco {};
    if (::lstat(path_.c_str(), &sul_disco) == 0 && info_of(sul_disco).id == id_)
      ::unlink(path_.c_str());
    ::close(fd_);
  }
  FileId id() const override { return id_; }

 private:
  int fd_;
  std::string path_;
  FileId id_;
};

}  // namespace

void DiskFileSystem::injected(const char* operation, const std::string& what,
                              const std::string& path) {
  if (hook_ == nullptr) return;
  if (const std::string reason = hook_->fail(operation, path); !reason.empty())
    throw FileError(what + path + ": " + reason);
}

FileInfo DiskFileSystem::stat(const std::string& path, bool follow) {
  injected("stat", "cannot look at ", path);
  struct stat st {};
  const int r =
      follow ? ::stat(system_path(path).c_str(), &st) : ::lstat(system_path(path).c_str(), &st);
  if (r != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    throw FileError("cannot look at " + path + ": " + why(errno));
  }
  return info_of(st);
}

std::vector<std::string> DiskFileSystem::list(const std::string& folder) {
  injected("list", "cannot list ", folder);
  const int fd = ::open(system_path(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw FileError("cannot list " + folder + ": " + why(errno));
  DIR* d = ::fdopendir(fd);
  if (d == nullptr) {
    const int errnum = errno;
    ::close(fd);
    throw FileError("cannot list " + folder + ": " + why(errnum));
  }
  std::vector<std::string> nomi;
  errno = 0;
  while (const dirent* e = ::readdir(d)) {
    const std::string n = e->d_name;
    if (n != "." && n != "..") nomi.push_back(n);
    errno = 0;
  }
  const int errnum = errno;
  ::closedir(d);
  if (errnum != 0) throw FileError("cannot list " + folder + ": " + why(errnum));
  return nomi;
}

void DiskFileSystem::make_folders(const std::string& folder) {
  const FileInfo info = stat(folder, true);
  if (info.kind == FileKind::folder) return;
  if (info.kind != FileKind::missing)
    throw FileError("cannot write into " + folder + ": it is not a folder");
  const std::string sopra = folder_of(folder);
  if (sopra != folder && sopra != "." && !sopra.empty()) make_folders(sopra);
  injected("make folder", "cannot create the folder ", folder);
  if (::mkdir(system_path(folder).c_str(), 0777) != 0 && errno != EEXIST)
    throw FileError("cannot create the folder " + folder + ": " + why(errno));
  if (stat(folder, true).kind != FileKind::folder)
    throw FileError("cannot write into " + folder + ": it is not a folder");
}

bool DiskFileSystem::make_new_folder(const std::string& path) {
  injected("make folder", "cannot create the folder ", path);
  if (::mkdir(system_path(path).c_str(), 0700) == 0) return true;
  if (errno == EEXIST) return false;
  throw FileError("cannot create the folder " + path + ": " + why(errno));
}

void DiskFileSystem::write_new(const std::string& path,
                               const std::function<void(ByteSink&)>& produce,
                               const std::string& shown) {
  injected("create", "cannot write ", shown);
  Fd fd(::open(system_path(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
               0666));
  if (fd.get() < 0) throw FileError("cannot write " + shown + ": " + why(errno));
  try {
    const std::function<void()> prima = [&] { injected("write", "cannot write ", shown); };
    FdSink sink(fd.get(), prima, shown);
    produce(sink);
    sink.flush();
    injected("sync", "cannot write ", shown);
    if (::fsync(fd.get()) != 0) throw FileError("cannot write " + shown + ": " + why(errno));
    if (::close(fd.release()) != 0) throw FileError("cannot write " + shown + ": " + why(errno));
  } catch (...) {
    ::unlink(system_path(path).c_str());  // made by this call with O_EXCL: ours to remove
    throw;
  }
}

void DiskFileSystem::check_writable(const std::string& path) {
  Fd fd(::open(system_path(path).c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) throw FileError("cannot replace " + path + ": " + why(errno));
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
    throw FileError("cannot replace " + path + ": it is not a regular file");
}

LinkResult DiskFileSystem::link(const std::string& existing, const std::string& path) {
  injected("link", "cannot link ", path);
  // linkat without AT_SYMLINK_FOLLOW: a link gets a second name, never its target.
  if (::linkat(AT_FDCWD, system_path(existing).c_str(), AT_FDCWD, system_path(path).c_str(), 0) ==
      0)
    return LinkResult::done;
  switch (errno) {
    case EEXIST:
      return LinkResult::exists;
    case EPERM:
    case ENOTSUP:
    case EXDEV:
    case EMLINK:
      return LinkResult::unsupported;
    default:
      throw FileError("cannot link " + existing + " as " + path + ": " + why(errno));
  }
}

void DiskFileSystem::rename(const std::string& from, const std::string& to) {
  injected("rename", "cannot replace ", to);
  if (::rename(system_path(from).c_str(), system_path(to).c_str()) != 0)
    throw FileError("cannot replace " + to + ": " + why(errno));
}

void DiskFileSystem::remove(const std::string& path) {
  const FileInfo info = stat(path);
  if (info.kind == FileKind::missing) return;
  if (info.kind == FileKind::folder) throw FileError("cannot delete " + path + ": it is a folder");
  injected("delete", "cannot delete ", path);
  if (::unlink(system_path(path).c_str()) != 0 && errno != ENOENT)
    throw FileError("cannot delete " + path + ": " + why(errno));
}

void DiskFileSystem::remove_folder(const std::string& path) {
  injected("remove folder", "cannot remove the folder ", path);
  if (::rmdir(system_path(path).c_str()) != 0 && errno != ENOENT)
    throw FileError("cannot remove the folder " + path + ": " + why(errno));
}

void DiskFileSystem::sync_folder(const std::string& folder) {
  injected("sync", "cannot sync ", folder);
  Fd fd(::open(system_path(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) throw FileError("cannot sync " + folder + ": " + why(errno));
  // Some file systems cannot sync a folder at all; they keep names in order.
  if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
    throw FileError("cannot sync " + folder + ": " + why(errno));
}

std::unique_ptr<FolderLock> DiskFileSystem::lock_folder(const std::string& folder) {
  const std::string path = join_path(folder, kFileBlocco);
  injected("lock", "cannot lock ", folder);
  for (;;) {
    Fd fd(::open(system_path(path).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                 0644));
    if (fd.get() < 0) {
      if (errno == ELOOP)
        throw FileError("cannot lock " + folder + ": " + path + " is a symbolic link; remove it");
      throw FileError("cannot lock " + folder + ": " + path + ": " + why(errno));
    }
    struct stat aperto {};
    if (::fstat(fd.get(), &aperto) != 0)
      throw FileError("cannot lock " + folder + ": " + path + ": " + why(errno));
    // The run holding the lock removed the file between our open and our
    // look at it: its name is free again, so start over.
    if (aperto.st_nlink == 0) continue;
    // An empty regular file of one name is a lock file; anything else at
    // that name is someone's, and stays as it is.
    if (!S_ISREG(aperto.st_mode) || aperto.st_nlink != 1 || aperto.st_size != 0)
      throw FileError("cannot lock " + folder + ": " + path +
                      " is not a lock file of this program; move it away");
    int status = 0;
    while ((status = ::flock(fd.get(), LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (status != 0) throw FileError("cannot lock " + folder + ": " + why(errno));
    // The run before may have removed the file while this one waited: then
    // the lock is on a file no one else sees, and it starts again.
    struct stat sul_disco {};
    if (::fstat(fd.get(), &aperto) == 0 && ::lstat(system_path(path).c_str(), &sul_disco) == 0 &&
        aperto.st_ino == sul_disco.st_ino && aperto.st_dev == sul_disco.st_dev)
      return std::make_unique<PosixLock>(fd.release(), system_path(path), info_of(aperto).id);
  }
}

std::string DiskFileSystem::read(const std::string& path, bool follow) {
  const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW);
  Fd fd(::open(system_path(path).c_str(), flags));
  if (fd.get() < 0) {
    if (errno == ELOOP && !follow)
      throw FileError("cannot read " + path + ": it is a symbolic link");
    throw FileError("cannot read " + path + ": " + why(errno));
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) throw FileError("cannot read " + path + ": " + why(errno));
  if (S_ISDIR(st.st_mode)) throw FileError("cannot read " + path + ": it is a folder");
  if (!S_ISREG(st.st_mode)) throw FileError("cannot read " + path + ": it is not a regular file");
  std::string contents;
  contents.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw FileError("cannot read " + path + ": " + why(errno));
    if (n == 0) break;
    contents.append(buffer, static_cast<std::size_t>(n));
  }
  return contents;
}

}  // namespace genera
