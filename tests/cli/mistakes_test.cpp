// The mistakes a scenario author makes, each reported at the file and line
// where it is: errors with status 1 and nothing written, warnings with
// status 0. And compile's promise: a failed compile leaves the output
// folder as it was, and concurrent runs never mix their files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "support/program.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using namespace programma;

const char* const kLinea = "LIVRA_MONTALBA_linea.txt";
const char* const kTreno = "LIVRA_MONTALBA_R47316-.txt";

class Sbagli : public testing::Test {
 protected:
  void SetUp() override {
    cartella_ = std::make_unique<TempFolder>("genera-mistakes");
    dir_ = cartella_->path();
    EXPECT_EQ(esegui({"sources"}).stato, 0);
    linea_ = leggi(dir_ / kLinea);
    treno_ = leggi(dir_ / kTreno);
  }

  /// Runs the program in `dir_`; runs at once need each their own `nome`.
  Esito esegui(const std::vector<std::string>& argomenti, const std::string& nome = "") {
    return programma::esegui(GENERA_EXE, dir_, argomenti, dir_ / (".run" + nome));
  }

  std::unique_ptr<TempFolder> cartella_;
  fs::path dir_;
  std::string linea_, treno_;
};

struct Sbaglio {
  const char* nome;
  bool in_linea;       // which source the mistake is in
  const char* da;      // the built-in text
  const char* a;       // what the author wrote instead
  int stato;           // 1: an error, 0: a warning
  const char* attesa;  // a line stderr must hold
};

class OgniSbaglio : public Sbagli, public testing::WithParamInterface<Sbaglio> {};

TEST_P(OgniSbaglio, EachMistakeIsReportedWhereItIs) {
  const Sbaglio& c = GetParam();
  scrivi(dir_ / "X_linea.txt", c.in_linea ? sostituisci(linea_, c.da, c.a) : linea_);
  scrivi(dir_ / "X_T-.txt", "");
  scrivi(dir_ / "X-.txt", c.in_linea ? treno_ : sostituisci(treno_, c.da, c.a));
  const Esito r = esegui({"compile", "X_linea.txt", "X-.txt", "--train-code", "T", "-o", "out"});
  EXPECT_EQ(r.stato, c.stato) << r.err;
  EXPECT_NE(r.err.find(c.attesa), std::string::npos) << r.err;
  // An error writes nothing; a warning writes the files.
  EXPECT_EQ(fs::exists(dir_ / "out" / "X_T.sim"), c.stato == 0) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Casi, OgniSbaglio,
    testing::Values(
        Sbaglio{
            "misspelt keyword", false, "stazione,   11950", "stazoine,   11950", 0,
            "X-.txt:22:1: warning: unknown record key \"stazoine\" is ignored, with the fields after "
            "it on its line; did you mean `stazione`?"},
        Sbaglio{"misspelt signal", false, "segnale,    8200", "segnael,    8200", 0,
                "did you mean `segnale`?"},
        Sbaglio{"misspelt gradient", true, "pendenza,  4500", "pendneza,  4500", 0,
                "did you mean `pendenza`?"},
        Sbaglio{
            "a record a later one replaces", false, "sabbia,    300",
            "sabbia,    300\r\nsabbia,    200", 0,
            "X-.txt:5:1: warning: this sand record replaces the one before it, which has no effect"},
        Sbaglio{
            "a profile out of order", false, "velocita,   18350,   160", "velocita,   1000,   160",
            0,
            "X-.txt:13:1: warning: this speed limit record comes after one further along the line"},
        Sbaglio{
            "a right curve spelt out", true, "curvad4,  12900,  300",
            "curva destra 4,  12900,  300", 0,
            "warning: the curve key \"curva destra 4\" holds an \"s\", so the curve turns left"},
        Sbaglio{"a quote that never closes", true, "   (Galleria)(Montalba)",
                "   \"(Galleria)(Montalba)", 0,
                "warning: this quoted text runs on over a line end: is its closing quote missing?"},
        Sbaglio{
            "a station stop over an earlier signal", false, "[stazioni]",
            "segnale,    4650,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n[stazioni]", 0,
            "X-.txt:21:1: warning: the stop of this station, cell 94, replaces the signal at 4650 m "
            "(line 18)"},
        Sbaglio{"a position off the grid", false, "segnale,    8200,", "segnale,    8225,", 0,
                "warning: the signal at 8225 m is not on the 50 m grid"},
        Sbaglio{
            "a value forgotten", true, "pendenza,  4500,   10", "pendenza,  4500", 1,
            "X_linea.txt:35:1: error 25: the gradient record \"pendenza\" has 1 of its 2 values"},
        Sbaglio{"a slowdown shorter than a cell", false, "42850,    60,  200,", "42850,    60,  2,",
                1, "X-.txt:34:1: error 113: slowdown at 42850 m of 2 m ends on its start cell 858"},
        Sbaglio{"a signal time the rules drop", false,
                "segnale,    7000,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
                "segnale,    7000,   1, 4, 1,  0, 0,    1,  3,1,0, 150", 0,
                "X-.txt:38:1: warning: the signal at 7000 m has sx 1, so its `tempo` 150 is not "
                "kept: 0 is stored"},
        Sbaglio{"a hard stop says what it skipped", false, "velocita,    2000,   150",
                "velocita,    2000000,   150", 1, "records after it were not read, from line"},
        Sbaglio{"a signal on a station stop names both", false, "segnale,    2800,",
                "segnale,    4650,", 1,
                "which already holds the stop of the station at 4500 m (line 20)"},
        Sbaglio{"a progressive off the grid is the line source's", true,
                "progressiva chilometrica uno,    1000,", "progressiva chilometrica uno,    1025,",
                1, "X_linea.txt:3:1: error 2: the kilometric progressives"},
        Sbaglio{"a race-code slot names its record", false, "segnale,    2800,   1, 4, 1",
                "segnale,    0,   1, 4, 1", 1,
                "X-.txt:36:1: error 1250: the signal at 0 m (line 36) takes cell 1"},
        Sbaglio{"a record key with a hyphen", true, "curvas1,  2000", "curva-s1,  2000", 0,
                "X_linea.txt:13:1: warning: the key \"curva-s1\" names a curve record, but it "
                "holds a hyphen, so it is read as a comment"},
        Sbaglio{"text after the closing quote", true, "   (ORTA)", "   \"(ORTA)\" (Nord)", 0,
                "X_linea.txt:74:41: warning: \"(Nord)\" stands after the closing quote of "
                "\"(ORTA)\": it is not stored"},
        Sbaglio{"an empty text", false, "0, 0, 0, San Vito", "0, 0, 0, \"\"", 0,
                "X-.txt:20:73: warning: the station record's `nome` is empty"},
        Sbaglio{"a control character in a text", true, "   (ORTA)",
                "   (OR\x01"
                "TA)",
                0,
                "X_linea.txt:74:32: warning: the indicator board record's `testo` holds the "
                "control character 0x01 after \"(OR\""},
        Sbaglio{"a name left out", false, "0, 0, 0, San Vito", "0, 0, 0", 0,
                "X-.txt:20:1: warning: the station record's `nome` is \"stazione\", taken from "
                "line 21, where it is the key of a station record: is it missing on line 20?"},
        Sbaglio{"a profile record at the cell of the one before", false, "velocita,   18350,   160",
                "velocita,   2000,   160", 0,
                "X-.txt:13:1: warning: this speed limit record is at the same cell, 40, as the "
                "one before it"},
        Sbaglio{"a late profile record at the line's start", false, "velocita,   18350,   160",
                "velocita,   0,   160", 0,
                "X-.txt:13:1: warning: this speed limit record comes after one further along the "
                "line: at cell 0 it writes no cell"},
        Sbaglio{
            "a name the code page lacks", false, "Roveto", "\xe6\x9d\xb1\xe4\xba\xac", 1,
            "error 106: \"\xe6\x9d\xb1\xe4\xba\xac\" holds \"\xe6\x9d\xb1\", which code page 1252"}),
    [](const auto& i) { return nome_caso(i.param.nome); });

struct ScenarioVuoto {
  const char* nome;
  bool linea_due_volte;  // else an empty train source
  const char* attesa;
};

class ScenariVuoti : public Sbagli, public testing::WithParamInterface<ScenarioVuoto> {};

TEST_P(ScenariVuoti, SourcesThatGiveAnEmptyScenarioAreNamed) {
  const ScenarioVuoto& c = GetParam();
  scrivi(dir_ / "X_linea.txt", linea_);
  scrivi(dir_ / "X-.txt", c.linea_due_volte ? linea_ : "");
  // No record in the train source: no train to drive, so the check fails.
  const Esito r = esegui({"check", "X_linea.txt", "X-.txt", "--train-code", "T"});
  EXPECT_EQ(r.stato, 1) << r.err;
  EXPECT_NE(r.err.find(c.attesa), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("X-.txt: error 112"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ScenariVuoti,
    testing::Values(ScenarioVuoto{"an_empty_train_source", false,
                                  "X-.txt: error 112: the train source holds no record"},
                    ScenarioVuoto{
                        "the_line_source_given_twice", true,
                        "X-.txt:2:1: warning: \"lunghezza percorso\" names a line length record, "
                        "which is read only in the line source's header block"}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST_F(Sbagli, TheBuiltInSourcesGiveNoDiagnosticAtAll) {
  const Esito r = esegui({"check", kLinea, kTreno, "--json"});
  EXPECT_EQ(r.stato, 0);
  EXPECT_EQ(json::parse(r.out)["messaggi"], json::array());
  EXPECT_EQ(r.err, "checked " + std::string(kLinea) + " and " + kTreno +
                       ": 89.0 km, 14 stations, 38 signals, 1 slowdown\n");
}

TEST_F(Sbagli, JsonMessagesCarrySeverityColumnAndNotes) {
  scrivi(dir_ / "X_linea.txt", linea_);
  scrivi(dir_ / "X-.txt", sostituisci(treno_, "segnale,    2800,", "segnale,    4650,"));
  const Esito r = esegui({"check", "X_linea.txt", "X-.txt", "--train-code", "T", "--json"});
  const json m = json::parse(r.out)["messaggi"][0];
  EXPECT_EQ(m["codice"], 16);
  EXPECT_EQ(m["gravita"], "errore");
  EXPECT_EQ(m["riga"], 36);
  EXPECT_EQ(m["colonna"], 1);
  ASSERT_GE(m["note"].size(), 1u);
  EXPECT_EQ(m["note"][0]["file"], "X-.txt");
  EXPECT_EQ(m["note"][0]["riga"], 20);
  EXPECT_EQ(m["note"][0]["gravita"], "nota");
}

TEST_F(Sbagli, Utf8TextIsStoredInCodePage1252AndShownAsUtf8) {
  scrivi(dir_ / "X_linea.txt", linea_);
  scrivi(dir_ / "X-.txt", sostituisci(treno_, "Roveto", "Forl\xc3\xac"));
  ASSERT_EQ(esegui({"compile", "X_linea.txt", "X-.txt", "--train-code", "T", "-q"}).stato, 0);
  const std::string sim = leggi(dir_ / "X_T.sim");
  EXPECT_NE(sim.find("Forl\xec"), std::string::npos);
  EXPECT_EQ(sim.find("Forl\xc3\xac"), std::string::npos);
  const Esito r = esegui({"inspect", "X_T.sim", "--json"});
  EXPECT_EQ(json::parse(r.out)["file_ispezionati"][0]["voci"][4]["nome"], "Forl\xc3\xac");
}

TEST_F(Sbagli, AFailedCompileLeavesTheFolderAsItWas) {
  fs::create_directories(dir_ / "out");
  for (const char* n : {"X_T.sim", "X_T.dat", "X_linea.dat"}) scrivi(dir_ / "out" / n, "old");
  scrivi(dir_ / "X_linea.txt",
         sostituisci(linea_, "lunghezza percorso,    89000", "lunghezza percorzo,    89000"));
  scrivi(dir_ / "X-.txt", treno_);
  const Esito r = esegui({"compile", "X_linea.txt", "X-.txt", "--train-code", "T", "-o", "out"});
  EXPECT_EQ(r.stato, 1);
  EXPECT_NE(r.err.find("no file written"), std::string::npos) << r.err;
  for (const char* n : {"X_T.sim", "X_T.dat", "X_linea.dat"})
    EXPECT_EQ(leggi(dir_ / "out" / n), "old") << n;
  // A target that cannot be replaced stops the set before any file changes.
  scrivi(dir_ / "X_linea.txt", linea_);
  fs::remove(dir_ / "out" / "X_T.dat");
  fs::create_directory(dir_ / "out" / "X_T.dat");
  const Esito cartella =
      esegui({"compile", "X_linea.txt", "X-.txt", "--train-code", "T", "-o", "out"});
  EXPECT_EQ(cartella.stato, 3) << cartella.err;
  EXPECT_EQ(leggi(dir_ / "out" / "X_T.sim"), "old");
  EXPECT_EQ(leggi(dir_ / "out" / "X_linea.dat"), "old");
  for (const auto& e : fs::directory_iterator(dir_ / "out"))
    EXPECT_EQ(e.path().extension() == ".genera-new" || e.path().extension() == ".genera-old", false)
        << e.path();
}

TEST_F(Sbagli, ConcurrentCompilesIntoOneFolderLeaveOneWholeSet) {
  // Two train sources of one name, in two folders, into one output folder.
  for (const char* d : {"a", "b"}) fs::create_directories(dir_ / d);
  scrivi(dir_ / "a" / "X_linea.txt", linea_);
  scrivi(dir_ / "b" / "X_linea.txt", linea_);
  scrivi(dir_ / "a" / "X_T-.txt", treno_);
  scrivi(dir_ / "b" / "X_T-.txt",
         sostituisci(treno_, "numero vetture,    8", "numero vetture,    9"));
  std::vector<std::thread> corse;
  std::vector<int> stati(20, -1);
  for (int i = 0; i < 20; ++i)
    corse.emplace_back([&, i] {
      const std::string d = i % 2 == 0 ? "a" : "b";
      stati[i] = esegui({"compile", d + "/X_linea.txt", d + "/X_T-.txt", "-o", "out", "-q"},
                        std::to_string(i))
                     .stato;
    });
  for (std::thread& t : corse) t.join();
  for (int s : stati) EXPECT_EQ(s, 0);
  // The set left is one run's whole: both files from the same train source.
  std::map<std::string, std::pair<std::string, std::string>> soli;
  for (const char* d : {"a", "b"}) {
    ASSERT_EQ(esegui({"compile", std::string(d) + "/X_linea.txt", std::string(d) + "/X_T-.txt",
                      "-o", std::string("solo_") + d, "-q"})
                  .stato,
              0);
    soli[d] = {leggi(dir_ / ("solo_" + std::string(d)) / "X_T.sim"),
               leggi(dir_ / ("solo_" + std::string(d)) / "X_T.dat")};
  }
  ASSERT_NE(soli["a"].first, soli["b"].first);
  const std::pair<std::string, std::string> lasciato = {leggi(dir_ / "out" / "X_T.sim"),
                                                        leggi(dir_ / "out" / "X_T.dat")};
  EXPECT_TRUE(lasciato == soli["a"] || lasciato == soli["b"]);
  EXPECT_FALSE(fs::exists(dir_ / "out" / ".genera_scenario.lock"));
}

TEST_F(Sbagli, TheCommandLineSpeaksPlainly) {
  const Esito avanzi = esegui({"compile", kLinea, kTreno, "--jsno", "extra", "--nop-lan"});
  EXPECT_EQ(avanzi.stato, 2);
  EXPECT_NE(avanzi.err.find("unknown arguments \"--jsno\" (did you mean --json?), \"extra\", "
                            "\"--nop-lan\" (did you mean --no-plan?)"),
            std::string::npos)
      << avanzi.err;
  const Esito png = esegui({"plot", kLinea, kTreno, "--out", "x.png"});
  EXPECT_EQ(png.stato, 2);
  EXPECT_NE(png.err.find("x.png: plot draws SVG"), std::string::npos) << png.err;
  EXPECT_FALSE(fs::exists(dir_ / "x.png"));
  EXPECT_EQ(esegui({"plot", kLinea, kTreno, "-o", "x.svg", "-q"}).stato, 0);
}

TEST_F(Sbagli, InspectChecksALengthAgainstTheScenarioFile) {
  ASSERT_EQ(esegui({"compile", kLinea, kTreno, "-o", "out", "-q"}).stato, 0);
  const fs::path dat = dir_ / "out" / "LIVRA_MONTALBA_R47316.dat";
  const fs::path piano = dir_ / "out" / "LIVRA_MONTALBA_linea.dat";
  scrivi(dat, leggi(dat).substr(0, std::size_t{15} * 1900));  // cut short at a cell boundary
  const Esito r = esegui({"inspect", "out/LIVRA_MONTALBA_R47316.dat"});
  EXPECT_EQ(r.stato, 3);
  EXPECT_NE(r.err.find("byte 28500: the file ends after 1900 cells, cut short"), std::string::npos)
      << r.err;
  // The plan: cut after its first column and a bit of the second.
  const std::string righe = leggi(piano);
  scrivi(piano, righe.substr(0, righe.size() / 2 + std::size_t{4} * 10));
  EXPECT_EQ(esegui({"inspect", "out/LIVRA_MONTALBA_linea.dat"}).stato, 3);
  // Without a scenario file beside it, the length is unchecked, and it says so.
  fs::remove(dir_ / "out" / "LIVRA_MONTALBA_R47316.sim");
  const Esito libero = esegui({"inspect", "out/LIVRA_MONTALBA_R47316.dat"});
  EXPECT_EQ(libero.stato, 0);
  EXPECT_NE(libero.err.find("the length is unchecked"), std::string::npos);
}

}  // namespace
