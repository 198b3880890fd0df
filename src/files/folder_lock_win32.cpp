#include <windows.h>

#include "files/file_system.h"
#include "files/folder_lock.h"
#include "files/native_path.h"

namespace genera {

// Every run opens the one lock file, deleted when the last handle closes,
// and waits on LockFileEx for its turn.
BloccoCartella::BloccoCartella(const std::string& cartella)
    : percorso_(percorso_file(cartella, kFileBlocco)) {
  HANDLE h = CreateFileW(native_path(percorso_).c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    throw ErroreFile("cannot lock " + cartella + ": " + percorso_ + " cannot be made");
  OVERLAPPED tutto{};
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &tutto)) {
    CloseHandle(h);
    throw ErroreFile("cannot lock " + cartella);
  }
  maniglia_ = h;
}

BloccoCartella::~BloccoCartella() {
  HANDLE h = static_cast<HANDLE>(maniglia_);
  OVERLAPPED tutto{};
  UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &tutto);
  CloseHandle(h);
}

}  // namespace genera
