// DiskFileSystem on Windows: the wide calls only (a folder may have any
// name), CREATE_NEW for every file made, FILE_FLAG_OPEN_REPARSE_POINT where a
// name may have been planted (a link is never followed), FlushFileBuffers
// for the data and MoveFileExW with MOVEFILE_WRITE_THROUGH for the names.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "files/file_system.h"
#include "files/native_path.h"
#include "files/utf16_win32.h"

namespace genera {
namespace {

std::wstring system_path(const std::string& path) { return native_path(path).native(); }

/// The system's text for `codice`, as a user reads it inside a message.
std::string why(DWORD codice) {
  wchar_t* message = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, codice, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::wstring m = n > 0 ? std::wstring(message, n) : L"";
  if (message != nullptr) LocalFree(message);
  // "Access is denied.\r\n" reads "Access is denied" inside a message.
  while (!m.empty() &&
         (m.back() == L'\n' || m.back() == L'\r' || m.back() == L' ' || m.back() == L'.'))
    m.pop_back();
  return m.empty() ? "Windows error " + std::to_string(codice) : utf8_from_utf16(m);
}

std::string ultimo() { return why(GetLastError()); }

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }

 private:
  HANDLE h_;
};

FileInfo info_of(const BY_HANDLE_FILE_INFORMATION& d) {
  FileInfo info;
  if (d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    info.kind = FileKind::link;
  } else if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    info.kind = FileKind::folder;
  } else {
    info.kind = FileKind::regular;
  }
  info.id = {static_cast<uint64_t>(d.dwVolumeSerialNumber) + 1,
             (static_cast<uint64_t>(d.nFileIndexHigh) << 32) | d.nFileIndexLow};
  info.size = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  const uint64_t t = (static_cast<uint64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) |
                     d.ftLastWriteTime.dwLowDateTime;
  info.modified_ns = static_cast<int64_t>(t) * 100;
  return info;
}

/// Opens `path` to look at it, or to read it, without following a link
/// unless `follow`.
HANDLE open_handle(const std::string& path, DWORD access, bool follow) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
  if (!follow) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  return CreateFileW(system_path(path).c_str(), access,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     flags, nullptr);
}

class HandleSink : public ByteSink {
 public:
  HandleSink(HANDLE h, const std::function<void()>& before_write, const std::string& shown)
      : h_(h), before_write_(before_write), shown_(shown) {}
  void write(const char* data, std::size_t size) override {
    if (buffer_.size() + size > kBlocco) flush();
    buffer_.append(data, size);
    if (buffer_.size() >= kBlocco) flush();
  }
  void flush() {
    if (buffer_.empty()) return;
    before_write_();
    const char* p = buffer_.data();
    std::size_t resto = buffer_.size();
    while (resto > 0) {
      DWORD scritti = 0;
      const DWORD chiesti = static_cast<DWORD>(resto > (1u << 30) ? (1u << 30) : resto);
      if (!WriteFile(h_, p, chiesti, &scritti, nullptr) || scritti == 0)
        throw FileError("cannot write " + shown_ + ": " + ultimo());
      p += scritti;
      resto -= scritti;
    }
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kBlocco = 1 << 16;
  HANDLE h_;
  const std::function<void()>& before_write_;
  const std::string& shown_;
  std::string buffer_;
};

class WindowsLock : public FolderLock {
 public:
  WindowsLock(HANDLE h, FileId id) : h_(h), id_(id) {}
  ~WindowsLock() override {
    OVERLAPPED tutto{};
    UnlockFileEx(h_, 0, MAXDWORD, MAXDWORD, &tutto);
    CloseHandle(h_);  // the file goes with the last handle (FILE_FLAG_DELETE_ON_CLOSE)
  }
  FileId id() const override { return id_; }

 private:
  HANDLE h_;
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
  Handle h(open_handle(path, 0, follow));
  if (!h.valid()) {
    const DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_INVALID_NAME)
      return {};
    // A file another program holds without sharing still stands there.
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (GetFileAttributesExW(system_path(path).c_str(), GetFileExInfoStandard, &a)) {
      FileInfo info;
      info.kind = (a.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? FileKind::link
                  : (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)   ? FileKind::folder
                                                                      : FileKind::regular;
      info.size = (static_cast<uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
      return info;
    }
    throw FileError("cannot look at " + path + ": " + why(e));
  }
  BY_HANDLE_FILE_INFORMATION d{};
  if (!GetFileInformationByHandle(h.get(), &d))
    throw FileError("cannot look at " + path + ": " + ultimo());
  FileInfo info = info_of(d);
  if (info.kind == FileKind::regular && GetFileType(h.get()) != FILE_TYPE_DISK)
    info.kind = FileKind::other;
  return info;
}

std::vector<std::string> DiskFileSystem::list(const std::string& folder) {
  injected("list", "cannot list ", folder);
  WIN32_FIND_DATAW d{};
  HANDLE h = FindFirstFileW((system_path(folder) + L"\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return {};
    throw FileError("cannot list " + folder + ": " + ultimo());
  }
  std::vector<std::string> nomi;
  do {
    const std::wstring n = d.cFileName;
    if (n != L"." && n != L"..") nomi.push_back(utf8_from_utf16(n));
  } while (FindNextFileW(h, &d));
  const DWORD e = GetLastError();
  FindClose(h);
  if (e != ERROR_NO_MORE_FILES) throw FileError("cannot list " + folder + ": " + why(e));
  return nomi;
}

void DiskFileSystem::make_folders(const std::string& folder) {
  const FileInfo info = stat(folder, true);
  if (info.kind == FileKind::folder) return;
  if (info.kind != FileKind::missing)
    throw FileError("cannot write into " + folder + ": it is not a folder");
  const std::string sopra = folder_of(folder);
  // "C:" and "\\server\share" are no folders to make.
  if (sopra != folder && sopra != "." && !sopra.empty() && sopra.back() != ':') make_folders(sopra);
  injected("make folder", "cannot create the folder ", folder);
  if (!CreateDirectoryW(system_path(folder).c_str(), nullptr) &&
      GetLastError() != ERROR_ALREADY_EXISTS)
    throw FileError("cannot create the folder " + folder + ": " + ultimo());
  if (stat(folder, true).kind != FileKind::folder)
    throw FileError("cannot write into " + folder + ": it is not a folder");
}

bool DiskFileSystem::make_new_folder(const std::string& path) {
  injected("make folder", "cannot create the folder ", path);
  if (CreateDirectoryW(system_path(path).c_str(), nullptr)) {
    SetFileAttributesW(system_path(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
    return true;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) return false;
  throw FileError("cannot create the folder " + path + ": " + ultimo());
}

void DiskFileSystem::write_new(const std::string& path,
                               const std::function<void(ByteSink&)>& produce,
                               const std::string& shown) {
  injected("create", "cannot write ", shown);
  Handle h(CreateFileW(system_path(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h.valid()) throw FileError("cannot write " + shown + ": " + ultimo());
  try {
    const std::function<void()> prima = [&] { injected("write", "cannot write ", shown); };
    HandleSink sink(h.get(), prima, shown);
    produce(sink);
    sink.flush();
    injected("sync", "cannot write ", shown);
    if (!FlushFileBuffers(h.get())) throw FileError("cannot write " + shown + ": " + ultimo());
    if (!CloseHandle(h.release())) throw FileError("cannot write " + shown + ": " + ultimo());
  } catch (...) {
    if (h.valid()) CloseHandle(h.release());
    DeleteFileW(system_path(path).c_str());  // made by this call with CREATE_NEW: ours to remove
    throw;
  }
}

void DiskFileSystem::check_writable(const std::string& path) {
  Handle h(CreateFileW(system_path(path).c_str(), GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h.valid()) throw FileError("cannot replace " + path + ": " + ultimo());
  if (GetFileType(h.get()) != FILE_TYPE_DISK)
    throw FileError("cannot replace " + path + ": it is not a regular file");
}

LinkResult DiskFileSystem::link(const std::string& existing, const std::string& path) {
  injected("link", "cannot link ", path);
  if (CreateHardLinkW(system_path(path).c_str(), system_path(existing).c_str(), nullptr))
    return LinkResult::done;
  switch (const DWORD e = GetLastError()) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return LinkResult::exists;
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_NOT_SAME_DEVICE:
    case ERROR_TOO_MANY_LINKS:
    case ERROR_ACCESS_DENIED:
      return LinkResult::unsupported;
    default:
      throw FileError("cannot link " + existing + " as " + path + ": " + why(e));
  }
}

void DiskFileSystem::rename(const std::string& from, const std::string& to) {
  injected("rename", "cannot replace ", to);
  if (!MoveFileExW(system_path(from).c_str(), system_path(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throw FileError("cannot replace " + to + ": " + ultimo());
}

void DiskFileSystem::remove(const std::string& path) {
  const FileInfo info = stat(path);
  if (info.kind == FileKind::missing) return;
  if (info.kind == FileKind::folder) throw FileError("cannot delete " + path + ": it is a folder");
  injected("delete", "cannot delete ", path);
  if (!DeleteFileW(system_path(path).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
    throw FileError("cannot delete " + path + ": " + ultimo());
}

void DiskFileSystem::remove_folder(const std::string& path) {
  injected("remove folder", "cannot remove the folder ", path);
  if (!RemoveDirectoryW(system_path(path).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
    throw FileError("cannot remove the folder " + path + ": " + ultimo());
}

// MOVEFILE_WRITE_THROUGH has already made each rename durable; a folder
// cannot be flushed without administrator rights.
void DiskFileSystem::sync_folder(const std::string& folder) {
  injected("sync", "cannot sync ", folder);
}

std::unique_ptr<FolderLock> DiskFileSystem::lock_folder(const std::string& folder) {
  const std::string path = join_path(folder, kFileBlocco);
  injected("lock", "cannot lock ", folder);
  // Every run opens the one lock file, deleted when the last handle closes,
  // and waits on LockFileEx for its turn.
  Handle h(CreateFileW(
      system_path(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h.valid()) throw FileError("cannot lock " + folder + ": " + path + ": " + ultimo());
  BY_HANDLE_FILE_INFORMATION d{};
  if (!GetFileInformationByHandle(h.get(), &d))
    throw FileError("cannot lock " + folder + ": " + ultimo());
  const FileInfo info = info_of(d);
  if (info.kind != FileKind::regular || d.nNumberOfLinks != 1 || info.size != 0 ||
      GetFileType(h.get()) != FILE_TYPE_DISK)
    throw FileError("cannot lock " + folder + ": " + path +
                    " is not a lock file of this program; move it away");
  OVERLAPPED tutto{};
  if (!LockFileEx(h.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &tutto))
    throw FileError("cannot lock " + folder + ": " + ultimo());
  return std::make_unique<WindowsLock>(h.release(), info.id);
}

std::string DiskFileSystem::read(const std::string& path, bool follow) {
  Handle h(CreateFileW(
      system_path(path).c_str(), GENERIC_READ,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr));
  if (!h.valid()) throw FileError("cannot read " + path + ": " + ultimo());
  BY_HANDLE_FILE_INFORMATION d{};
  if (!GetFileInformationByHandle(h.get(), &d))
    throw FileError("cannot read " + path + ": " + ultimo());
  const FileInfo info = info_of(d);
  if (info.kind == FileKind::folder) throw FileError("cannot read " + path + ": it is a folder");
  if (info.kind == FileKind::link)
    throw FileError("cannot read " + path + ": it is a symbolic link");
  if (GetFileType(h.get()) != FILE_TYPE_DISK)
    throw FileError("cannot read " + path + ": it is not a regular file");
  std::string contents;
  char buffer[1 << 16];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr))
      throw FileError("cannot read " + path + ": " + ultimo());
    if (n == 0) break;
    contents.append(buffer, n);
  }
  return contents;
}

}  // namespace genera
