// What the whole-program tests share: reading files and golden copies,
// and a byte-for-byte comparison that names the first difference instead
// of printing two whole files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

/// The whole content of a file; empty when it cannot be read.
inline std::string leggi_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

/// A golden file, by its path below tests/golden.
inline std::string golden(const std::string& name) {
  return leggi_file(std::filesystem::path(GENERA_TEST_DATA) / "golden" / name);
}

inline testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return testing::AssertionSuccess();
  const std::size_t common = std::min(actual.size(), expected.size());
  std::size_t at = 0;
  while (at < common && actual[at] == expected[at]) ++at;
  auto around = [at](const std::string& s) {
    std::string out;
    for (std::size_t i = at; i < std::min(s.size(), at + 16); ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02X ", static_cast<unsigned char>(s[i]));
      out += hex;
    }
    return out;
  };
  return testing::AssertionFailure()
         << "sizes " << actual.size() << " and " << expected.size() << ", first difference at byte "
         << at << ": [" << around(actual) << "] instead of [" << around(expected) << "]";
}
