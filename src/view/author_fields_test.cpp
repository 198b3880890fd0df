#include "view/author_fields.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

std::string scritti(const std::vector<CampoAutore>& c) {
  std::string out;
  for (const CampoAutore& x : c)
    out += x.nome + "=" + x.valore + (x.unita.empty() ? "" : " " + x.unita) + ";";
  return out;
}

TEST(AuthorFields, NamedAsTheAuthorWritesThem) {
  const struct {
    const char* cosa;
    Chiave chiave;
    std::string_view riga;
    int colonna;
    std::string atteso;
  } casi[] = {
      {"signal", Chiave::segnale, "segnale,    8200,   2, 3, 1,  0, 0,    2,  2,1,0, 0", 1,
       "posizione=8200 m;sx=2;s1=3;s2=1;s3=0;rapp=0;dx=2;d1=2;d2=1;d3=0;tempo=0;"},
      {"board with empty fields", Chiave::indicatori_v_max,
       "indicatori_vmax,  57000,  130,  135,  140,  2,  ,  ,  ,  0", 1,
       "posizione=57000 m;vas=130 km/h;vbs=135 km/h;vcs=140 km/h;strisces=2;vad= km/h;vbd= km/h;"
       "vcd= km/h;strisced=0;"},
      {"key field after blanks, text in code page 1252", Chiave::cartello_indicatore,
       "  cartello_indicatore,  88150,   (Citt\xe0)", 3, "posizione=88150 m;testo=(Citt\xc3\xa0);"},
      {"a field past the last", Chiave::abbattimento, "abbattimento, 5000, 180, 7", 1,
       "posizione=5000 m;valore=180;field 3=7;"},
      {"no comma after the key", Chiave::pendenza, "pendenza", 1, ""},
  };
  for (const auto& c : casi)
    EXPECT_EQ(scritti(campi_autore(c.chiave, c.riga, c.colonna)), c.atteso) << c.cosa;
}

}  // namespace
}  // namespace genera
