// A fresh, empty folder of its own for each test, removed afterwards, so
// that two test runs at once never share one.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

class TempFolder {
 public:
  /// A new folder in the system's temporary folder, its name starting with `prefisso`.
  explicit TempFolder(const std::string& prefisso) {
    std::string modello =
        (std::filesystem::temp_directory_path() / (prefisso + "-XXXXXX")).string();
#ifndef _WIN32
    if (mkdtemp(modello.data()) == nullptr) std::abort();
    path_ = modello;
#else
    path_ = std::filesystem::temp_directory_path() /
            (prefisso + "-" + std::to_string(std::rand()) + std::to_string(std::rand()));
    std::filesystem::create_directories(path_);
#endif
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};
