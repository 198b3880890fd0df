// What both readers share: the suggestion for an unknown key, the note a
// stop leaves on what it did not read, and the warnings on what a record
// loses without a failure: a key read as a comment, a text cut or out of
// place, profile records out of order or at one position.
#include "linecomp/source_reader.h"

#include <gtest/gtest.h>

#include "linecomp/test_support.h"

namespace genera {
namespace {

const std::string kTestata = righe({"[generale]", "lunghezza percorso, 10000", "[corpo]"});

struct Chiave_ {
  const char* nome;
  std::string riga;
  std::string atteso;  // the whole message, or "" for silence
};

class ChiaveIgnota : public testing::TestWithParam<Chiave_> {};

TEST_P(ChiaveIgnota, SuggestsTheNearestKeyOrSaysNothing) {
  const LetturaLinea l = leggi_linea(kTestata + righe({GetParam().riga, "[fine]"}));
  EXPECT_EQ(l.messaggi(), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Chiavi, ChiaveIgnota,
    testing::Values(
        Chiave_{"one_letter_off", "pendenz, 100, 5",
                std::string(kNomeLinea) +
                    ":4:1: warning: unknown record key \"pendenz\" is ignored, with the fields "
                    "after it on its line; did you mean `pendenza`?\n"},
        Chiave_{"two_letters_off_in_a_long_key", "montanga, 100, 200, 2",
                std::string(kNomeLinea) +
                    ":4:1: warning: unknown record key \"montanga\" is ignored, with the fields "
                    "after it on its line; did you mean `montagna`?\n"},
        Chiave_{"one_of_two_words", "indicatore, 100, (A)",
                std::string(kNomeLinea) +
                    ":4:1: warning: unknown record key \"indicatore\" is ignored, with the fields "
                    "after it on its line; did you mean `cartello_indicatore`? (the key needs "
                    "both \"cartello\" and \"indicat\")\n"},
        Chiave_{"far_from_every_key", "galleria, 100, 200",
                std::string(kNomeLinea) +
                    ":4:1: warning: unknown record key \"galleria\" is ignored, with the fields "
                    "after it on its line\n"},
        Chiave_{"a_section_line_is_no_key", "[note]", ""}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(NoteNonLette, AStopNamesTheFirstRecordLeftUnread) {
  const LetturaLinea l =
      leggi_linea(kTestata + righe({"indicatori_vmax, 2000, 140, 150, 150, 0, , , , 0",
                                    "cartello_indicatore, 2010, (A)", "- a comment -",
                                    "pendenza, 3000, 5", "pendenza, 4000, 6", "[fine]"}));
  ASSERT_FALSE(l.s.diagnostiche.empty());
  const Diagnostica& d = l.s.diagnostiche.back();
  EXPECT_EQ(d.codice, Codice::cartello_occupato);
  ASSERT_FALSE(d.note.empty());
  EXPECT_EQ(d.note.back().luogo.riga, 7);
  EXPECT_EQ(d.note.back().testo, "2 records after it were not read, from line 7 on");
}

TEST(NoteNonLette, NothingLeftNothingSaid) {
  const LetturaLinea l =
      leggi_linea(kTestata + righe({"indicatori_vmax, 2000, 140, 150, 150, 0, , , , 0",
                                    "cartello_indicatore, 2010, (A)"}));
  ASSERT_FALSE(l.s.diagnostiche.empty());
  for (const Nota& n : l.s.diagnostiche.back().note)
    EXPECT_EQ(n.testo.find("not read"), std::string::npos) << n.testo;
}

// One row a kind of loss: the body lines, then the warning and the line and
// column it must stand at (Avviso::nessuno: nothing may be said).
struct Perdita {
  const char* nome;
  std::string corpo;
  Avviso avviso;
  int riga;
  int colonna;
};

class Perdite : public testing::TestWithParam<Perdita> {};

TEST_P(Perdite, EachLossIsSaidAtItsPlaceOrNothingIs) {
  const Perdita& c = GetParam();
  const LetturaLinea l = leggi_linea(kTestata + c.corpo + "[fine]\r\n");
  if (c.avviso == Avviso::nessuno) {
    EXPECT_EQ(l.messaggi(), "");
    return;
  }
  ASSERT_EQ(l.s.diagnostiche.size(), 1u) << l.messaggi();
  const Diagnostica& d = l.s.diagnostiche.front();
  EXPECT_EQ(d.avviso, c.avviso) << l.messaggi();
  EXPECT_EQ(d.luogo.riga, c.riga) << l.messaggi();
  EXPECT_EQ(d.luogo.colonna, c.colonna) << l.messaggi();
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Perdite,
    testing::Values(
        Perdita{"hyphen_in_a_record_key", righe({"curva-s1, 2000, 300"}),
                Avviso::commento_con_record, 4, 1},
        Perdita{"a_comment_line_names_a_record",
                righe({"- pendenza in salita -", "pendenza, 0, 5"}), Avviso::nessuno, 0, 0},
        Perdita{"a_comment_after_a_record_is_not_a_key", righe({"pendenza, 0, 5, - pendenza -"}),
                Avviso::nessuno, 0, 0},
        Perdita{"a_comment_naming_no_record", righe({"nota - salita", "pendenza, 0, 5"}),
                Avviso::nessuno, 0, 0},
        Perdita{"text_after_the_closing_quote",
                righe({"cartello_indicatore, 3150, \"(ORTA)\"  (Nord) "}),
                Avviso::testo_dopo_virgolette, 4, 38},
        Perdita{"blanks_after_the_closing_quote",
                righe({"cartello_indicatore, 3150, \"(ORTA)\"   "}), Avviso::nessuno, 0, 0},
        Perdita{"empty_quoted_text", righe({"cartello_indicatore, 3150, \"\""}),
                Avviso::testo_vuoto, 4, 28},
        Perdita{"text_left_out_after_the_comma", righe({"cartello_indicatore, 3150,"}),
                Avviso::testo_vuoto, 4, 27},
        Perdita{"nul_in_a_text", righe({std::string("cartello_indicatore, 3150, (OR\0TA)", 34)}),
                Avviso::carattere_di_controllo, 4, 28},
        Perdita{"text_from_the_next_line", righe({"cartello_indicatore, 3150", "pendenza, 0, 5"}),
                Avviso::testo_fuori_posto, 4, 1},
        Perdita{"text_that_is_a_number", righe({"cartello_indicatore, 3150, 0, (A)"}),
                Avviso::testo_fuori_posto, 4, 28},
        Perdita{"a_number_in_quotes_is_a_text", righe({"cartello_indicatore, 3150, \"0\""}),
                Avviso::nessuno, 0, 0},
        Perdita{"a_text_holding_a_keyword_is_a_text",
                righe({"cartello_indicatore, 3150, (Pendenza forte)"}), Avviso::nessuno, 0, 0},
        Perdita{"first_profile_record_at_0", righe({"pendenza, 0, 5", "pendenza, 2000, 6"}),
                Avviso::nessuno, 0, 0},
        Perdita{"two_profile_records_at_one_cell",
                righe({"pendenza, 0, 5", "pendenza, 2000, 6", "pendenza, 2000, 7"}),
                Avviso::profilo_stessa_posizione, 6, 1},
        Perdita{"two_profile_records_at_0", righe({"pendenza, 0, 5", "pendenza, 0, 7"}),
                Avviso::profilo_stessa_posizione, 5, 1},
        Perdita{"late_profile_record_at_0", righe({"pendenza, 2000, 6", "pendenza, 0, 5"}),
                Avviso::profilo_fuori_ordine, 5, 1}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(Perdite, ATextPastItsStoredLengthSaysWhatIsKept) {
  const std::string lungo = "(" + std::string(kNomeMassimo, 'A') + "B)";
  const LetturaLinea l =
      leggi_linea(kTestata + righe({"cartello_indicatore, 3150, " + lungo, "[fine]"}));
  ASSERT_EQ(l.s.diagnostiche.size(), 1u) << l.messaggi();
  EXPECT_EQ(l.s.diagnostiche[0].avviso, Avviso::testo_troncato);
  EXPECT_NE(l.s.diagnostiche[0].testo.find(std::to_string(lungo.size()) + " bytes long"),
            std::string::npos);
  // The text itself reaches the table whole: the writer cuts it.
  EXPECT_EQ(l.s.testata_linea[kPrimoCartello].nome, lungo);
}

}  // namespace
}  // namespace genera
