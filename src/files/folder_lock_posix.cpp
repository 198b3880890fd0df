#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "files/file_system.h"
#include "files/folder_lock.h"

namespace genera {

BloccoCartella::BloccoCartella(const std::string& cartella)
    : percorso_(percorso_file(cartella, kFileBlocco)) {
  for (;;) {
    const int fd = ::open(percorso_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
      throw ErroreFile("cannot lock " + cartella + ": " + percorso_ + ": " + std::strerror(errno));
    if (::flock(fd, LOCK_EX) != 0) {
      const int errnum = errno;
      ::close(fd);
      throw ErroreFile("cannot lock " + cartella + ": " + std::strerror(errnum));
    }
    // The run before may have removed the file while this one waited: then
    // the lock is on a file no one else sees, and it starts again.
    struct stat aperto {}, sul_disco {};
    if (::fstat(fd, &aperto) == 0 && ::stat(percorso_.c_str(), &sul_disco) == 0 &&
        aperto.st_ino == sul_disco.st_ino && aperto.st_dev == sul_disco.st_dev) {
      maniglia_ = reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
      return;
    }
    ::close(fd);
  }
}

BloccoCartella::~BloccoCartella() {
  const int fd = static_cast<int>(reinterpret_cast<intptr_t>(maniglia_) - 1);
  ::unlink(percorso_.c_str());  // while still held: the next run makes its own
  ::close(fd);
}

}  // namespace genera
