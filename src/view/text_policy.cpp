#include "view/text_policy.h"

#include "model/text.h"

namespace genera {
namespace {

/// The length of the well-formed UTF-8 character at `s[i]`, 0 when the
/// bytes there are not one.
std::size_t carattere_utf8(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return 1;
  std::size_t n = 0;
  char32_t c = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 1, c = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 2, c = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 3, c = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + n >= s.size()) return 0;
  for (std::size_t k = 1; k <= n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if ((n == 2 && c < 0x800) || (n == 3 && c < 0x10000) || c > 0x10FFFF ||
      (c >= 0xD800 && c <= 0xDFFF))
    return 0;
  return n + 1;
}

bool utf8_valido(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = carattere_utf8(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

/// UTF-8 `s` with tabs as spaces and the other C0 controls and DEL dropped.
std::string senza_controlli(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char ch : s) {
    const auto b = static_cast<unsigned char>(ch);
    if (b == '\t') {
      out += ' ';
    } else if (b >= 0x20 && b != 0x7F) {
      out += ch;
    }
  }
  return out;
}

}  // namespace

std::string testo_memorizzato(std::string_view s) { return senza_controlli(utf8_da_cp1252(s)); }

std::string testo_scritto(std::string_view s) {
  return utf8_valido(s) ? senza_controlli(s) : testo_memorizzato(s);
}

std::string testo_markup(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      case '{':
        out += "&#123;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
    }
  }
  return out;
}

}  // namespace genera
