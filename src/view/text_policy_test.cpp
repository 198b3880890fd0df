#include "view/text_policy.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

TEST(TextPolicy, StoredTextIsCodePage1252) {
  const struct {
    const char* cosa;
    std::string_view in, out;
  } casi[] = {
      {"a grave, right quote, euro",
       "Citt\xe0 d\x92"
       "Euro \x80",
       "Citt\xc3\xa0 d\xe2\x80\x99"
       "Euro \xe2\x82\xac"},
      {"tab as a space, controls dropped",
       "a\tb\x01"
       "c\x7f",
       "a bc"},
      {"a byte that stands for nothing", "\x81", "\xef\xbf\xbd"},
  };
  for (const auto& c : casi) EXPECT_EQ(testo_memorizzato(c.in), c.out) << c.cosa;
}

TEST(TextPolicy, WrittenTextIsUtf8WhenItIsElseCodePage1252) {
  const struct {
    const char* cosa;
    std::string_view in, out;
  } casi[] = {
      {"UTF-8 kept",
       "Citt\xc3\xa0 d\xe2\x80\x99"
       "Euro \xe2\x82\xac",
       "Citt\xc3\xa0 d\xe2\x80\x99"
       "Euro \xe2\x82\xac"},
      {"code page 1252", "Citt\xe0 \x80", "Citt\xc3\xa0 \xe2\x82\xac"},
      {"a cut UTF-8 character is not UTF-8", "\xe2\x82", "\xc3\xa2\xe2\x80\x9a"},
      {"ASCII", "segnale, 2800", "segnale, 2800"},
  };
  for (const auto& c : casi) EXPECT_EQ(testo_scritto(c.in), c.out) << c.cosa;
}

TEST(TextPolicy, OneEscaperForHtmlAndSvg) {
  EXPECT_EQ(testo_markup("<a href=\"x\">&'{{DATI}}\x01"),
            "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&#123;&#123;DATI}}");
  EXPECT_EQ(testo_markup("Citt\xc3\xa0"), "Citt\xc3\xa0");
}

}  // namespace
}  // namespace genera
