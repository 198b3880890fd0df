#include "model/text.h"

#include <algorithm>
#include <array>
#include <vector>

namespace genera {
namespace {

// Code page 1252 from 0x80 to 0x9F; 0 where the code page has no character.
constexpr std::array<char32_t, 32> kAlti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t da_cp1252(unsigned char b) {
  if (b < 0x80 || b >= 0xA0) return b;
  return kAlti[b - 0x80];
}

std::optional<unsigned char> a_cp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (std::size_t i = 0; i < kAlti.size(); ++i)
    if (kAlti[i] == c && c != 0) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

// The next UTF-8 character of `s` at `i`, advancing `i`; nothing when the
// bytes there are not well-formed UTF-8.
std::optional<char32_t> prossimo_utf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int n = 0;
  char32_t c = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 1, c = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 2, c = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 3, c = b0 & 0x07;
  } else {
    return std::nullopt;
  }
  for (int k = 1; k <= n; ++k) {
    if (i + k >= s.size()) return std::nullopt;
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (b & 0x3F);
  }
  // No overlong forms, no surrogates, nothing past U+10FFFF.
  if ((n == 2 && c < 0x800) || (n == 3 && c < 0x10000) || c > 0x10FFFF ||
      (c >= 0xD800 && c <= 0xDFFF))
    return std::nullopt;
  i += static_cast<std::size_t>(n) + 1;
  return c;
}

bool utf8_valido(std::string_view s) {
  for (std::size_t i = 0; i < s.size();)
    if (!prossimo_utf8(s, i)) return false;
  return true;
}

}  // namespace

std::size_t distanza(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i)
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t costo = minuscola(a[i - 1]) == minuscola(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + costo});
      if (i > 1 && j > 1 && minuscola(a[i - 1]) == minuscola(b[j - 2]) &&
          minuscola(a[i - 2]) == minuscola(b[j - 1]))
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

std::string utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::optional<std::string> in_cp1252(std::string_view testo, char32_t* mancante, bool sostituisci) {
  bool ascii = true;
  for (char c : testo) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii || !utf8_valido(testo)) return std::string(testo);
  std::string out;
  for (std::size_t i = 0; i < testo.size();) {
    const char32_t c = *prossimo_utf8(testo, i);
    const auto b = a_cp1252(c);
    if (!b) {
      if (mancante != nullptr && (!sostituisci || *mancante == 0)) *mancante = c;
      if (!sostituisci) return std::nullopt;
      out += '?';
      continue;
    }
    out += static_cast<char>(*b);
  }
  return out;
}

std::string utf8_da_cp1252(std::string_view testo) {
  std::string out;
  for (char ch : testo) {
    const auto b = static_cast<unsigned char>(ch);
    const char32_t c = da_cp1252(b);
    out += utf8(c == 0 && b != 0 ? char32_t{0xFFFD} : c);
  }
  return out;
}

char minuscola_cp1252(char ch) {
  const auto b = static_cast<unsigned char>(ch);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
  switch (b) {
    case 0x8A:
      return static_cast<char>(0x9A);  // Š
    case 0x8C:
      return static_cast<char>(0x9C);  // Œ
    case 0x8E:
      return static_cast<char>(0x9E);  // Ž
    case 0x9F:
      return static_cast<char>(0xFF);  // Ÿ
    default:
      return ch;
  }
}

std::string citazione(std::string_view campo) {
  constexpr std::size_t kMostrati = 40;
  const bool come_utf8 = utf8_valido(campo);
  std::string out = "\"";
  std::size_t i = 0;
  for (std::size_t mostrati = 0; i < campo.size() && mostrati < kMostrati; ++mostrati) {
    const std::size_t inizio = i;
    const char32_t c =
        come_utf8 ? *prossimo_utf8(campo, i) : da_cp1252(static_cast<unsigned char>(campo[i++]));
    if (c == 0 || c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
      static const char cifre[] = "0123456789ABCDEF";
      for (std::size_t k = inizio; k < i; ++k) {
        const auto b = static_cast<unsigned char>(campo[k]);
        out += "\\x";
        out += cifre[b >> 4];
        out += cifre[b & 15];
      }
    } else {
      out += utf8(c);
    }
  }
  if (i < campo.size()) out += "...";
  out += '"';
  return out;
}

}  // namespace genera
