#include "model/schema.h"

#include <gtest/gtest.h>

#include <string>

namespace genera {
namespace {

TEST(Schema, EveryKeywordHasItsRowAndItsFields) {
  ASSERT_EQ(schema_sorgenti().size(), kParoleChiave.size());
  for (const SchemaRecord& r : schema_sorgenti()) {
    EXPECT_EQ(&schema_record(r.chiave), &r);
    EXPECT_EQ(r.campi.size(), static_cast<std::size_t>(r.parola().valori)) << r.parola().scritta;
    for (const Campo& c : r.campi) {
      EXPECT_FALSE(c.nome.empty()) << r.parola().scritta;
      EXPECT_FALSE(c.significato.empty()) << r.parola().scritta << " " << c.nome;
      EXPECT_FALSE(c.memoria.empty()) << r.parola().scritta << " " << c.nome;
      EXPECT_LE(c.memorizzabile_min, c.memorizzabile_max);
      EXPECT_LE(c.sensato_min, c.sensato_max);
    }
  }
}

struct RicercaRecord {
  const char* nome;
  const char* cercato;
  Chiave attesa;
};

class CercaRecord : public testing::TestWithParam<RicercaRecord> {};

TEST_P(CercaRecord, FindsTheRecord) {
  const SchemaRecord* r = cerca_record(GetParam().cercato);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->chiave, GetParam().attesa);
}

INSTANTIATE_TEST_SUITE_P(
    Nomi, CercaRecord,
    testing::Values(RicercaRecord{"as_written", "segnale", Chiave::segnale},
                    RicercaRecord{"header_key", "lunghezza percorso", Chiave::lunghezza_percorso},
                    RicercaRecord{"keyword", "velocit", Chiave::velocita},
                    RicercaRecord{"enumerator", "indicatori_v_max", Chiave::indicatori_v_max},
                    RicercaRecord{"any_case", "STAZIONE", Chiave::stazione}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(Schema, UnknownNameFindsNothing) {
  EXPECT_EQ(cerca_record("stazioni"), nullptr);
  EXPECT_EQ(cerca_record(""), nullptr);
}

TEST(Schema, KeyFieldMatchedAsTheReaderMatchesIt) {
  const SchemaRecord* r = record_della_chiave("curvad4", Blocco::corpo_linea);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->chiave, Chiave::curva);
  EXPECT_EQ(record_della_chiave("curvad4", Blocco::treno), nullptr);
  // Header words keep their case.
  EXPECT_EQ(record_della_chiave("SFONDO UNO", Blocco::testata_linea), nullptr);
  EXPECT_EQ(record_della_chiave("[segnali]", Blocco::treno), nullptr);
}

TEST(Schema, FieldsByIndexAndByName) {
  const SchemaRecord& s = schema_record(Chiave::segnale);
  ASSERT_NE(campo_di(s, 10), nullptr);
  EXPECT_EQ(campo_di(s, 10)->nome, "tempo");
  EXPECT_EQ(campo_di(s, 11), nullptr);
  const SchemaRecord& r = schema_record(Chiave::rallentamento);
  EXPECT_EQ(cerca_campo(r, "l"), &r.campi[2]);
  EXPECT_EQ(cerca_campo(r, "lunghezza"), &r.campi[2]);
  EXPECT_EQ(cerca_campo(r, "nulla"), nullptr);
}

struct Memorizzato {
  const char* nome;
  Chiave record;
  std::size_t campo;
  int64_t valore;
  bool memorizzabile;
  std::optional<int64_t> riletto;
};

class Memorizza : public testing::TestWithParam<Memorizzato> {};

TEST_P(Memorizza, SaysWhatTheStoredFormReadsBackAs) {
  const Memorizzato& m = GetParam();
  const Campo& c = schema_record(m.record).campi[m.campo];
  EXPECT_EQ(memorizzabile(c, m.valore), m.memorizzabile);
  EXPECT_EQ(riletto(c, m.valore), m.riletto);
}

INSTANTIATE_TEST_SUITE_P(
    Campi, Memorizza,
    testing::Values(
        Memorizzato{"gradient_in_range", Chiave::pendenza, 1, 7, true, 7},
        Memorizzato{"gradient_900_wraps", Chiave::pendenza, 1, 900, false, 132},
        Memorizzato{"gradient_200_wraps", Chiave::pendenza, 1, 200, false, -56},
        Memorizzato{"adhesion_300_wraps", Chiave::aderenza, 1, 300, false, 44},
        Memorizzato{"signal_time_300_wraps", Chiave::segnale, 10, 300, false, 44},
        Memorizzato{"speed_rounds_to_fives", Chiave::velocita, 1, 72, true, 70},
        Memorizzato{"speed_beyond_a_byte_fails", Chiave::velocita, 1, 2000, false, std::nullopt},
        Memorizzato{"length_past_the_limit_refused", Chiave::lunghezza_percorso, 0, 1000001, false,
                    std::nullopt},
        Memorizzato{"slowdown_speed_wraps_16", Chiave::rallentamento, 1, 70000, false, 4464},
        Memorizzato{"station_kind_beyond_a_byte_fails", Chiave::stazione, 1, 256, false,
                    std::nullopt}),
    [](const auto& info) { return std::string(info.param.nome); });

struct Senso {
  const char* nome;
  Chiave record;
  std::size_t campo;
  int64_t valore;
  bool sensato;
};

class Sensato : public testing::TestWithParam<Senso> {};

TEST_P(Sensato, TellsValuesThatMakeSense) {
  const Senso& s = GetParam();
  EXPECT_EQ(sensato(schema_record(s.record).campi[s.campo], s.valore), s.sensato);
}

INSTANTIATE_TEST_SUITE_P(
    Campi, Sensato,
    testing::Values(Senso{"minutes_59", Chiave::orologio, 1, 59, true},
                    Senso{"minutes_75", Chiave::orologio, 1, 75, false},
                    Senso{"hours_49", Chiave::orologio, 0, 49, false},
                    Senso{"station_length_negative", Chiave::stazione, 2, -500, false},
                    Senso{"station_length_500", Chiave::stazione, 2, 500, true},
                    Senso{"signal_time_none", Chiave::segnale, 10, 0, true},
                    Senso{"signal_time_raised_by_the_rules", Chiave::segnale, 10, 50, true},
                    Senso{"signal_time_215", Chiave::segnale, 10, 215, true},
                    Senso{"curve_length_0", Chiave::curva, 1, 0, false}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(Schema, RangesInWords) {
  const SchemaRecord& m = schema_record(Chiave::montagna);
  EXPECT_EQ(scrivi_sensato(m, m.campi[1]), "after `inizio`");
  const SchemaRecord& o = schema_record(Chiave::orologio);
  EXPECT_EQ(scrivi_sensato(o, o.campi[0]), "0 to 23");
  EXPECT_EQ(scrivi_memorizzabile(o.campi[0]), "16-bit");
  const SchemaRecord& r = schema_record(Chiave::ripetizione_segnali);
  EXPECT_EQ(scrivi_sensato(r, r.campi[1]), "0, or after `inizio`, a multiple of 50");
  const SchemaRecord& p = schema_record(Chiave::pendenza);
  EXPECT_EQ(scrivi_memorizzabile(p.campi[1]), "-100 to 155");
  EXPECT_EQ(descrivi_campo(p.campi[1]),
            "pendenza (‰): the gradient from here to the next gradient record");
  EXPECT_EQ(firma_record(schema_record(Chiave::orologio)), "orologio, ore, minuti, secondi");
}

}  // namespace
}  // namespace genera
