// Where the compact writers put their bytes: a file being written, or a
// string in memory for tests and fuzzing.
#pragma once

#include <cstddef>
#include <string>

namespace genera {

/// Receives bytes in order. A sink on disk that cannot take them throws
/// FileError (files/file_system.h) from write().
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void write(const char* data, std::size_t size) = 0;
};

/// Keeps every byte in a string.
class StringSink : public ByteSink {
 public:
  void write(const char* data, std::size_t size) override { bytes.append(data, size); }
  std::string bytes;
};

}  // namespace genera
