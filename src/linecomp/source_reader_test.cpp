// What both readers share: the suggestion for an unknown key, and the note
// a stop leaves on what it did not read.
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

}  // namespace
}  // namespace genera
