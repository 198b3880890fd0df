#include "compiler/compile.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "model/compact_writer.h"
#include "sources/writers.h"

namespace genera {
namespace {

std::string testo(ListaRighe (*scrivi)()) {
  std::string t;
  testo_righe(scrivi(), [&](std::string_view riga) { t += riga; });
  return t;
}

const std::string& linea_builtin() {
  static const std::string t = testo(dati_linea);
  return t;
}
const std::string& treno_builtin() {
  static const std::string t = testo(dati_treno);
  return t;
}

Sorgente sorgente(const char* nome, const std::string& t) { return {nome, true, t, {}}; }

// The three files as bytes: what a compile is judged by.
std::string file(const ScenarioCompilato& s) {
  StringSink out;
  scrivi_tracciato(s.tracciato, out);
  scrivi_testata(s.testata_linea, out);
  scrivi_percorso(s.percorso, out);
  return out.bytes;
}

ScenarioCompilato builtin(const EliminaSorgente& elimina) {
  return compila(sorgente("L_linea.txt", linea_builtin()), sorgente("L_T-.txt", treno_builtin()),
                 {"LIVRA_MONTALBA", "R47316", true}, elimina);
}

TEST(Compila, IsAFunctionOfItsArguments) {
  const std::string prima = file(builtin(non_eliminare));
  // Again, and from several threads at once: the same bytes every time.
  std::vector<std::string> risultati(4);
  std::vector<std::thread> fili;
  for (std::string& r : risultati) fili.emplace_back([&r] { r = file(builtin(non_eliminare)); });
  for (std::thread& t : fili) t.join();
  for (const std::string& r : risultati) EXPECT_EQ(r, prima);
}

TEST(Compila, AsksForEachDeletionAtItsMomentAndActsOnTheAnswer) {
  std::vector<QualeSorgente> chieste;
  const ScenarioCompilato s = builtin([&](QualeSorgente q) {
    chieste.push_back(q);
    return std::string();
  });
  EXPECT_EQ(chieste, (std::vector<QualeSorgente>{QualeSorgente::linea, QualeSorgente::treno}));
  EXPECT_EQ(s.codice_errore, Codice::nessuno);

  // A line source that cannot be deleted ends the parse with code 25
  // before the tails: then both deletions are asked once more.
  chieste.clear();
  const ScenarioCompilato rifiutata = builtin([&](QualeSorgente q) {
    chieste.push_back(q);
    return q == QualeSorgente::linea ? std::string("cannot delete L_linea.txt: busy")
                                     : std::string();
  });
  EXPECT_EQ(chieste, (std::vector<QualeSorgente>{QualeSorgente::linea, QualeSorgente::linea,
                                                 QualeSorgente::treno}));
  ASSERT_EQ(rifiutata.codice_errore, Codice::guasto_lettura);
  EXPECT_EQ(formatta(rifiutata.diagnostiche.back()),
            "L_linea.txt: error 25: cannot delete L_linea.txt: busy");
  EXPECT_EQ(rifiutata.percorso[rifiutata.percorso.size() - 4].pendenza, 0)
      << "no gradient tail after the failure";
}

TEST(Compila, NonEliminareLeavesTheSameScenarioAsDeleting) {
  EXPECT_EQ(file(builtin(non_eliminare)),
            file(builtin([](QualeSorgente) { return std::string(); })));
}

TEST(Compila, EveryCellOfTheBuiltInScenarioNamesTheRecordsThatMadeIt) {
  const ScenarioCompilato s = builtin(non_eliminare);
  ASSERT_EQ(s.origini.celle.size(), s.percorso.size());
  // The signal at 8200 m, line 39 of the train source, and its markers.
  const IdRecord segnale = s.origini.celle[165].oggetto;
  ASSERT_NE(segnale, 0u);
  const RecordSorgente& r = s.origini.record[segnale];
  EXPECT_EQ(r.sorgente, QualeSorgente::treno);
  EXPECT_EQ(r.chiave, Chiave::segnale);
  EXPECT_EQ(r.posizione, 8200);
  EXPECT_EQ(r.riga, 39);
  EXPECT_EQ(s.origini.celle[163].avviso, segnale);
  // A code cell of the post-pass names its slowdown.
  const RecordSorgente& codice = s.origini.record[s.origini.celle[853].oggetto];
  EXPECT_EQ(codice.chiave, Chiave::rallentamento);
  EXPECT_EQ(codice.posizione, 42850);
  // The tail's speed names the profile's last record.
  EXPECT_EQ(s.origini.record[s.origini.celle[1917].velocita].posizione, 87500);
  // Every cell's gradient after the first record names a gradient record.
  for (std::size_t c = 25; c + 3 < s.percorso.size(); ++c)
    ASSERT_EQ(s.origini.record[s.origini.celle[c].pendenza].chiave, Chiave::pendenza) << c;
  // Entries: the first station and the last board.
  EXPECT_EQ(s.origini.record[s.origini.voci[1]].chiave, Chiave::stazione);
  EXPECT_EQ(s.origini.record[s.origini.voci[71]].chiave, Chiave::cartello_indicatore);
  EXPECT_FALSE(s.origini.curve.empty());
}

}  // namespace
}  // namespace genera
