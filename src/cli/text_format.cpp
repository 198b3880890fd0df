#include "cli/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace genera {

std::string formato(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copia;
  va_copy(copia, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copia);
  va_end(copia);
  std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  va_end(args);
  return out;
}

}  // namespace genera
