#include "model/text.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

TEST(InCp1252, ConvertsUtf8AndKeepsEverythingElse) {
  const struct {
    std::string testo;
    std::optional<std::string> atteso;
  } cases[] = {
      {"Roveto", "Roveto"},
      {"Forl\xc3\xac", "Forl\xec"},  // ì
      {"Sant\xe2\x80\x99"
       "Angelo",
       "Sant\x92"
       "Angelo"},                    // typographic apostrophe
      {"\xe2\x82\xac 5", "\x80 5"},  // euro sign
      {"\xc3\xa0\xc3\xa8\xc3\xa9\xc3\xac\xc3\xb2\xc3\xb9", "\xe0\xe8\xe9\xec\xf2\xf9"},
      {"Citt\xe0", "Citt\xe0"},                    // not UTF-8: code page 1252 already
      {"\xe6\x9d\xb1\xe4\xba\xac", std::nullopt},  // 東京
      {"\xc2\x81", std::nullopt},                  // a C1 control: no place in the code page
  };
  for (const auto& c : cases) EXPECT_EQ(in_cp1252(c.testo), c.atteso) << c.testo;
  char32_t mancante = 0;
  EXPECT_FALSE(in_cp1252("\xc5\xa0koda \xe6\x9d\xb1", &mancante));
  EXPECT_EQ(mancante, U'\u6771');
}

TEST(Utf8DaCp1252, ShowsStoredTextAsUtf8) {
  EXPECT_EQ(utf8_da_cp1252("Forl\xec \x80 \x92\x8a\x81"),
            "Forl\xc3\xac \xe2\x82\xac \xe2\x80\x99\xc5\xa0\xef\xbf\xbd");
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
    EXPECT_EQ(in_cp1252(utf8_da_cp1252(byte)), byte) << b;
  }
}

TEST(MinuscolaCp1252, LowersTheAccentedCapitalsToo) {
  const std::string maiuscole = "AZ\xc0\xc8\xc9\xcc\xd2\xd9\x8a\x8c\x8e\x9f\xd7\xdf";
  std::string out;
  for (char c : maiuscole) out += minuscola_cp1252(c);
  EXPECT_EQ(out, "az\xe0\xe8\xe9\xec\xf2\xf9\x9a\x9c\x9e\xff\xd7\xdf");
}

}  // namespace
}  // namespace genera
