#include "model/compact_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace genera {
namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(ScenarioFile, UntouchedEntriesAreThirtyFourZeroBytes) {
  std::array<voce_testata, kVociTestata> testata{};
  StringSink sink;
  scrivi_testata(testata, sink);
  EXPECT_EQ(sink.bytes, std::string(std::size_t{87} * 34, '\0'));
}

TEST(ScenarioFile, NamedEntryWithNegativeValues) {
  std::array<voce_testata, kVociTestata> testata{};
  voce_testata& v = testata[0];
  v.tipo = 2;
  v.dato1 = -450;
  v.dato2 = 450;
  v.dato3 = 0x01020304;
  v.opzione = 1;
  v.nome = "LIVRA";
  v.intero1 = -1;
  v.intero2 = 258;
  v.intero5 = -32768;
  v.byte1 = 255;
  v.byte4 = 7;
  v.dato4 = -2;
  StringSink sink;
  scrivi_testata(testata, sink);
  const std::string first = bytes({
      0x02,                                                        // tipo
      0x3E, 0xFE, 0xFF, 0xFF,                                      // dato1 -450
      0xC2, 0x01, 0x00, 0x00,                                      // dato2 450
      0x04, 0x03, 0x02, 0x01,                                      // dato3
      0x01,                                                        // opzione
      0x05, 0x00, 'L',  'I',  'V',  'R',  'A',                     // nome
      0xFF, 0xFF, 0x02, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80,  // intero1..5
      0xFF, 0x00, 0x00, 0x07,                                      // byte1..4
      0xFE, 0xFF, 0xFF, 0xFF,                                      // dato4 -2
  });
  ASSERT_EQ(sink.bytes.size(), 87 * 34 + 5u);
  EXPECT_EQ(sink.bytes.substr(0, first.size()), first);
  EXPECT_EQ(sink.bytes.substr(first.size()), std::string(std::size_t{86} * 34, '\0'));
}

TEST(RouteFile, FifteenBytesACellWithNoGap) {
  std::vector<cella_percorso> percorso(2);
  cella_percorso& c = percorso[1];
  c.tipo = TipoCella::segnale;
  c.valore1 = 5121;
  c.valore2 = 2347;
  c.valore3 = -1;
  c.valore4 = 8;
  c.tempo_segnale = 215;
  c.avviso = 81;
  c.galleria = 3;
  c.velocita = 32;
  c.pendenza = 107;
  c.aderenza = 90;
  StringSink sink;
  scrivi_percorso(percorso, sink);
  EXPECT_EQ(sink.bytes, std::string(15, '\0') + bytes({0x01, 0x01, 0x14, 0x2B, 0x09, 0xFF, 0xFF,
                                                       0x08, 0x00, 215, 81, 3, 32, 107, 90}));
}

TEST(LineCompactFile, AllThreeVariantKinds) {
  tracciato_linea t;
  t.righe = 5;  // rows 0 and 1 Integer, 2 and 3 double, 4 empty
  t.x = {0, 0, 0.5, -1.0};
  t.y = {0, 1, 2.0, 3.0};
  StringSink sink;
  scrivi_tracciato(t, sink);
  const std::string expected = bytes({0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00}) +
                               bytes({0x05, 0x00, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F}) +  // 0.5
                               bytes({0x05, 0x00, 0, 0, 0, 0, 0, 0, 0xF0, 0xBF}) +  // -1.0
                               bytes({0x00, 0x00}) +
                               bytes({0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00}) +
                               bytes({0x05, 0x00, 0, 0, 0, 0, 0, 0, 0x00, 0x40}) +  // 2.0
                               bytes({0x05, 0x00, 0, 0, 0, 0, 0, 0, 0x08, 0x40}) +  // 3.0
                               bytes({0x00, 0x00});
  EXPECT_EQ(sink.bytes, expected);
}

TEST(LineCompactFile, LargePlanCrossesTheEncoderBuffer) {
  tracciato_linea t;
  const int rows = 96001;
  t.righe = rows;
  for (int i = 0; i < rows - 2; ++i) t.aggiungi(0.0, i);
  StringSink sink;
  scrivi_tracciato(t, sink);
  EXPECT_EQ(sink.bytes.size(), 1919964u);
}

}  // namespace
}  // namespace genera
