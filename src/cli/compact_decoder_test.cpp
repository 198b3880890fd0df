#include "cli/compact_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "model/byte_sink.h"
#include "model/compact_writer.h"

namespace genera {
namespace {

template <class T>
const T& valore(const Decodificato<T>& r) {
  if (const auto* e = std::get_if<ErroreFormato>(&r))
    ADD_FAILURE() << "byte " << e->offset << ": " << e->testo;
  static const T vuoto{};
  return std::holds_alternative<T>(r) ? std::get<T>(r) : vuoto;
}

template <class T>
ErroreFormato errore(const Decodificato<T>& r) {
  if (!std::holds_alternative<ErroreFormato>(r)) {
    ADD_FAILURE() << "the bytes were accepted";
    return {};
  }
  return std::get<ErroreFormato>(r);
}

TestataLetta testata_di_prova() {
  TestataLetta t{};
  t[1] = {2, -450, 450, 0, 1, "LIVRA", 1, 1, 4, 1, 1, 0, 1, 0, 0, 31800};
  t[85].nome = "LIVRA_MONTALBA";
  t[85].intero1 = 610;
  t[85].dato4 = 32285;
  t[86] = {0, 1000, 89500, 9, 0, "R47316", 300, 0, 8, 49, -32768, 255, 0, 7, 0, -1};
  return t;
}

std::string codifica(const TestataLetta& t) {
  StringSink s;
  scrivi_testata(t, s);
  return s.bytes;
}

void uguali(const voce_testata& a, const voce_testata& b) {
  EXPECT_EQ(std::tie(a.tipo, a.dato1, a.dato2, a.dato3, a.opzione, a.nome, a.intero1, a.intero2,
                     a.intero3, a.intero4, a.intero5, a.byte1, a.byte2, a.byte3, a.byte4, a.dato4),
            std::tie(b.tipo, b.dato1, b.dato2, b.dato3, b.opzione, b.nome, b.intero1, b.intero2,
                     b.intero3, b.intero4, b.intero5, b.byte1, b.byte2, b.byte3, b.byte4, b.dato4));
}

TEST(ScenarioDecoder, ReadsBackWhatTheWriterWrote) {
  const TestataLetta t = testata_di_prova();
  const TestataLetta letta = valore(decodifica_testata(codifica(t)));
  for (int i = 0; i < kVociTestata; ++i) {
    SCOPED_TRACE(i);
    uguali(letta[static_cast<std::size_t>(i)], t[static_cast<std::size_t>(i)]);
  }
}

struct FileTroncato {
  const char* nome;
  std::string (*bytes)(const std::string& buono);  // from a whole scenario file
  std::size_t (*offset)(const std::string& buono);
  const char* testo;
};

class ScenarioDecoderStops : public testing::TestWithParam<FileTroncato> {};

// Entry 0 takes bytes 0-33, entry 1 (name "LIVRA") bytes 34-72.
TEST_P(ScenarioDecoderStops, NamesTheByteWhereTheFileStopsFitting) {
  const std::string buono = codifica(testata_di_prova());
  const ErroreFormato e = errore(decodifica_testata(GetParam().bytes(buono)));
  EXPECT_EQ(e.offset, GetParam().offset(buono));
  EXPECT_EQ(e.testo, GetParam().testo);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ScenarioDecoderStops,
    testing::Values(
        FileTroncato{"empty", [](const std::string&) { return std::string(); },
                     [](const std::string&) -> std::size_t { return 0; },
                     "the file ends inside entry 0 (16 bytes needed, 0 bytes left for its fields "
                     "before the name)"},
        FileTroncato{"before_a_name", [](const std::string& b) { return b.substr(0, 40); },
                     [](const std::string&) -> std::size_t { return 34; },
                     "the file ends inside entry 1 (16 bytes needed, 6 bytes left "
                     "for its fields before the name)"},
        FileTroncato{"inside_a_name", [](const std::string& b) { return b.substr(0, 52); },
                     [](const std::string&) -> std::size_t { return 50; },
                     "the name of entry 1 is 5 bytes long, but only 2 bytes left"},
        FileTroncato{"after_a_name", [](const std::string& b) { return b.substr(0, 70); },
                     [](const std::string&) -> std::size_t { return 55; },
                     "the file ends inside entry 1 (18 bytes needed, 15 bytes left "
                     "for its fields after the name)"},
        FileTroncato{"last_byte_missing",
                     [](const std::string& b) { return b.substr(0, b.size() - 1); },
                     [](const std::string& b) { return b.size() - 18; },
                     "the file ends inside entry 86 (18 bytes needed, 17 bytes left for its "
                     "fields after the name)"},
        FileTroncato{"a_byte_more", [](const std::string& b) { return b + "x"; },
                     [](const std::string& b) { return b.size(); },
                     "the 87 entries end here; 1 byte left over after them"}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST(ScenarioDecoder, ANameLongerThanTheFileIsRefused) {
  std::string bytes(16, '\0');
  bytes[14] = '\xff';
  bytes[15] = '\xff';
  const ErroreFormato e = errore(decodifica_testata(bytes));
  EXPECT_EQ(e.offset, 16u);
  EXPECT_EQ(e.testo, "the name of entry 0 is 65535 bytes long, but only 0 bytes left");
}

TEST(RouteDecoder, ReadsBackWhatTheWriterWrote) {
  std::vector<cella_percorso> celle(3);
  celle[1] = {TipoCella::segnale, 5121, 2347, -1, 32767, 9, 81, 2, 30, 107, 90};
  celle[2] = {TipoCella::cartello, 71, 0, 0, -32768, 0, 0, 0, 0, 255, 0};
  StringSink s;
  scrivi_percorso(celle, s);
  const auto letto = valore(decodifica_percorso(s.bytes));
  ASSERT_EQ(letto.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    const cella_percorso &a = letto[k], &b = celle[k];
    EXPECT_EQ(std::tie(a.tipo, a.valore1, a.valore2, a.valore3, a.valore4, a.tempo_segnale,
                       a.avviso, a.galleria, a.velocita, a.pendenza, a.aderenza),
              std::tie(b.tipo, b.valore1, b.valore2, b.valore3, b.valore4, b.tempo_segnale,
                       b.avviso, b.galleria, b.velocita, b.pendenza, b.aderenza));
  }
}

TEST(RouteDecoder, WholeCellsOnly) {
  EXPECT_TRUE(valore(decodifica_percorso("")).empty());
  const ErroreFormato e = errore(decodifica_percorso(std::string(31, '\0')));
  EXPECT_EQ(e.offset, 30u);
  EXPECT_EQ(e.testo, "1 byte left over after 2 whole cells of 15 bytes");
  EXPECT_EQ(errore(decodifica_percorso(std::string(14, '\0'))).offset, 0u);
}

TEST(PlanDecoder, ReadsBackWhatTheWriterWrote) {
  tracciato_linea t;
  t.righe = 6;
  t.x = {0, 0, 0.5, -1e300};
  t.y = {0, 1, 2.25, 3};
  StringSink s;
  scrivi_tracciato(t, s);
  const TracciatoLetto letto = valore(decodifica_tracciato(s.bytes));
  ASSERT_EQ(letto.x.size(), 6u);
  ASSERT_EQ(letto.y.size(), 6u);
  const TipoVariante attesi[] = {TipoVariante::intero, TipoVariante::intero, TipoVariante::doppio,
                                 TipoVariante::doppio, TipoVariante::vuoto,  TipoVariante::vuoto};
  for (std::size_t r = 0; r < 6; ++r) {
    EXPECT_EQ(letto.x[r].tipo, attesi[r]) << r;
    EXPECT_EQ(letto.y[r].tipo, attesi[r]) << r;
    if (r < 4) {
      EXPECT_EQ(letto.x[r].numero, t.x[r]) << r;
      EXPECT_EQ(letto.y[r].numero, t.y[r]) << r;
    }
  }
}

struct PianoRotto {
  const char* nome;
  std::string bytes;
  std::size_t offset;
  const char* testo;
};

class PlanDecoderRefuses : public testing::TestWithParam<PianoRotto> {};

TEST_P(PlanDecoderRefuses, UnknownKindsTruncatedValuesAndUnequalColumns) {
  const ErroreFormato e = errore(decodifica_tracciato(GetParam().bytes));
  EXPECT_EQ(e.offset, GetParam().offset);
  EXPECT_EQ(e.testo, GetParam().testo);
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Casi, PlanDecoderRefuses,
    testing::Values(
        PianoRotto{"unknown_kind",
                   "\x02\x00\x07\x00"
                   "\x07\x00"s,
                   4,
                   "value 1 has kind code 7; only 0 (empty), 2 (Integer) and 5 (double) are "
                   "stored"},
        PianoRotto{"value_cut_short", "\x00\x00\x05\x00\x01\x02\x03"s, 2,
                   "the file ends inside value 1 (10 bytes needed, 5 bytes left)"},
        PianoRotto{"kind_code_cut_short", "\x00\x00\x02"s, 2,
                   "the file ends inside the kind code of value 1"},
        PianoRotto{"odd_count_of_values", "\x00\x00\x00\x00\x02\x00\x01\x00"s, 8,
                   "the file holds 3 values, which do not split into two equal columns"}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST(Decoders, ArbitraryBytesGiveAResultOrAnErrorInsideTheInput) {
  // A cheap stand-in for the fuzz target: every prefix of a few byte
  // patterns, through all three decoders.
  std::string pattern;
  uint32_t x = 12345;
  for (int i = 0; i < 400; ++i) {
    x = x * 1103515245u + 12345u;
    pattern.push_back(static_cast<char>(i % 7 == 0 ? 5 : (x >> 16) & 0xFF));
  }
  for (std::size_t n = 0; n <= pattern.size(); ++n) {
    const std::string_view b(pattern.data(), n);
    const auto t = decodifica_testata(b);
    const auto p = decodifica_percorso(b);
    const auto l = decodifica_tracciato(b);
    if (const auto* e = std::get_if<ErroreFormato>(&t)) {
      EXPECT_LE(e->offset, n);
    }
    if (const auto* e = std::get_if<ErroreFormato>(&p)) {
      EXPECT_LE(e->offset, n);
    }
    if (const auto* e = std::get_if<ErroreFormato>(&l)) {
      EXPECT_LE(e->offset, n);
    }
  }
}

}  // namespace
}  // namespace genera
