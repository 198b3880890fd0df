// The author's commands of the built program, each run in a fresh folder
// as a user would run them: files compared byte for byte, messages and
// exit statuses checked whole where they are ours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/program.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using namespace programma;

const char* const kLinea = "LIVRA_MONTALBA_linea.txt";
const char* const kTreno = "LIVRA_MONTALBA_R47316-.txt";
const char* const kSei[] = {
    "LIVRA_MONTALBA_R47316_note.txt",
    "LIVRA_MONTALBA_R47316_rallentamenti.txt",
    "LIVRA_MONTALBA_R47316_scheda_treno.txt",
    "LIVRA_MONTALBA_linea.dat",
    "LIVRA_MONTALBA_R47316.sim",
    "LIVRA_MONTALBA_R47316.dat",
};

class Cli : public testing::Test {
 protected:
  void SetUp() override {
    cartella_ = std::make_unique<TempFolder>("genera-cli");
    radice_ = cartella_->path();
    dir_ = radice_ / "work";
    fs::create_directories(dir_);
  }

  /// Runs the program in `dir_` with `argomenti`.
  Esito esegui(const std::vector<std::string>& argomenti) {
    return programma::esegui(GENERA_EXE, dir_, argomenti, radice_ / "run");
  }

  /// The built-in run's six files, made by the program with no command.
  void file_predefiniti(const fs::path& dove) {
    fs::create_directories(dove);
    fs::copy_file(GENERA_EXE, dove / "genera_scenario");
    const std::string comando = "cd / && " + quota((dove / "genera_scenario").string());
    ASSERT_EQ(std::system(comando.c_str()), 0);
    fs::remove(dove / "genera_scenario");
  }

  std::unique_ptr<TempFolder> cartella_;
  fs::path radice_;
  fs::path dir_;
};

// ---- compile ----

TEST_F(Cli, CompileOfTheWrittenSourcesGivesTheBuiltInRunsFilesAndKeepsTheSources) {
  file_predefiniti(radice_ / "builtin");
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  const std::set<std::string> cinque = {kLinea, kTreno, kSei[0], kSei[1], kSei[2]};
  ASSERT_EQ(nomi(dir_), cinque);
  const std::string linea = leggi(dir_ / kLinea), treno = leggi(dir_ / kTreno);

  const Esito r = esegui({"compile", kLinea, kTreno});
  EXPECT_EQ(r.stato, 0) << r.err;
  // No diagnostic at all for the built-in sources: the summary alone.
  EXPECT_EQ(r.err, "wrote 3 files to .: 89.0 km, 14 stations, 38 signals, 1 slowdown\n");
  EXPECT_EQ(r.out, "");
  for (const char* nome : kSei)
    EXPECT_TRUE(leggi(dir_ / nome) == leggi(radice_ / "builtin" / nome)) << nome;
  EXPECT_EQ(leggi(dir_ / kLinea), linea);
  EXPECT_EQ(leggi(dir_ / kTreno), treno);
  EXPECT_EQ(nomi(dir_).size(), 8u);
}

TEST_F(Cli, SourcesReplacesAnAuthorsFilesOnlyWhenForced) {
  scrivi(dir_ / kLinea, "the author's own line");
  const Esito r = esegui({"sources"});
  EXPECT_EQ(r.stato, 3);
  EXPECT_EQ(r.err, "genera_scenario: cannot write ./" + std::string(kLinea) +
                       ": it exists already (--force replaces it)\n");
  EXPECT_EQ(leggi(dir_ / kLinea), "the author's own line");
  EXPECT_EQ(nomi(dir_).size(), 1u);

  ASSERT_EQ(esegui({"sources", "--force"}).stato, 0);
  EXPECT_EQ(leggi(dir_ / kLinea).rfind("[generale]\r\n", 0), 0u);
  EXPECT_EQ(nomi(dir_).size(), 5u);
}

TEST_F(Cli, CompileIntoAnotherFolderCreatesItAndWritesOnlyTheCompactFiles) {
  ASSERT_EQ(esegui({"sources", "--out", "src"}).stato, 0);
  const Esito r = esegui(
      {"compile", "src/" + std::string(kLinea), "src/" + std::string(kTreno), "--out", "a/b"});
  ASSERT_EQ(r.stato, 0) << r.err;
  const std::set<std::string> tre = {kSei[3], kSei[4], kSei[5]};
  EXPECT_EQ(nomi(dir_ / "a/b"), tre);
  EXPECT_EQ(nomi(dir_ / "src").size(), 5u);
}

TEST_F(Cli, NoPlanLeavesTheLineCompactFileAsItWas) {
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  scrivi(dir_ / "LIVRA_MONTALBA_linea.dat", "older plan");
  const Esito r = esegui({"compile", kLinea, kTreno, "--no-plan", "--json"});
  ASSERT_EQ(r.stato, 0) << r.err;
  EXPECT_EQ(leggi(dir_ / "LIVRA_MONTALBA_linea.dat"), "older plan");
  EXPECT_EQ(json::parse(r.out)["file_scritti"],
            json({"./LIVRA_MONTALBA_R47316.sim", "./LIVRA_MONTALBA_R47316.dat"}));
}

TEST_F(Cli, NamesMayBeGivenWhenTheFileNamesDoNotCarryThem) {
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  fs::rename(dir_ / kLinea, dir_ / "line.txt");
  fs::rename(dir_ / kTreno, dir_ / "train.txt");
  const Esito senza = esegui({"compile", "line.txt", "train.txt"});
  EXPECT_EQ(senza.stato, 2);
  EXPECT_EQ(senza.err,
            "genera_scenario: line.txt: the name does not follow NAME_linea.txt; give the line "
            "name with --line-name\nRun with --help for more information.\n");
  const Esito solo_linea = esegui({"compile", "line.txt", "train.txt", "--line-name", "X"});
  EXPECT_EQ(solo_linea.stato, 2);
  EXPECT_NE(solo_linea.err.find("train.txt: the name does not follow X_CODE-.txt; give the train "
                                "code with --train-code"),
            std::string::npos)
      << solo_linea.err;

  const Esito r =
      esegui({"compile", "line.txt", "train.txt", "--line-name", "X", "--train-code", "Y"});
  EXPECT_EQ(r.stato, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir_ / "X_linea.dat"));
  EXPECT_TRUE(fs::exists(dir_ / "X_Y.dat"));
  EXPECT_TRUE(fs::exists(dir_ / "X_Y.sim"));
}

struct NomeRifiutato {
  const char* nome;
  std::vector<std::string> opzioni;
  std::string messaggio;
};

class NomiRifiutati : public Cli, public testing::WithParamInterface<NomeRifiutato> {};

TEST_P(NomiRifiutati, NamesThatWouldMisplaceOrMixUpTheFilesAreRefused) {
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  std::vector<std::string> argomenti = {"compile", kLinea, kTreno, "--out", "o"};
  argomenti.insert(argomenti.end(), GetParam().opzioni.begin(), GetParam().opzioni.end());
  const Esito r = esegui(argomenti);
  EXPECT_EQ(r.stato, 2);
  EXPECT_EQ(r.err, GetParam().messaggio + "Run with --help for more information.\n");
  EXPECT_FALSE(fs::exists(dir_ / "o"));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, NomiRifiutati,
    testing::Values(
        NomeRifiutato{"train_code_linea",
                      {"--train-code", "LINEA"},
                      "genera_scenario: the train code \"LINEA\" would give the route file the "
                      "line compact file's name LIVRA_MONTALBA_linea.dat\n"},
        NomeRifiutato{"line_name_with_a_slash",
                      {"--line-name", "../up"},
                      "genera_scenario: \"../up\": a line name or train code cannot hold / or "
                      "\\\n"},
        NomeRifiutato{"train_code_with_a_backslash",
                      {"--train-code", "a\\b"},
                      "genera_scenario: \"a\\b\": a line name or train code cannot hold / or "
                      "\\\n"}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST_F(Cli, ASourceWhereAnOutputWouldGoIsNeverOverwritten) {
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  fs::rename(dir_ / kTreno, dir_ / "X_Y.sim");
  const std::string treno = leggi(dir_ / "X_Y.sim");
  const Esito r = esegui({"compile", kLinea, "X_Y.sim", "--line-name", "X", "--train-code", "Y"});
  EXPECT_EQ(r.stato, 3);
  EXPECT_EQ(r.err, "genera_scenario: cannot write ./X_Y.sim: it is one of the sources\n");
  EXPECT_EQ(leggi(dir_ / "X_Y.sim"), treno);
}

TEST_F(Cli, AMissingSourceIsAFileErrorAndNothingIsWritten) {
  const Esito r = esegui({"compile", "A_linea.txt", "A_B-.txt", "--out", "out"});
  EXPECT_EQ(r.stato, 3);
  EXPECT_EQ(r.err.rfind("genera_scenario: cannot read A_linea.txt: ", 0), 0u) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "out"));
}

// ---- broken sources ----

// A small line and train that compile cleanly; each case below breaks one
// line of one of them.
const char* const kLineaPiccola =
    "[generale]\n"
    "lunghezza percorso,    5000\n"
    "progressiva chilometrica uno,    1000,    0,    0\n"
    "progressiva chilometrica due,    0,    0,    0\n"
    "progressiva chilometrica tre,    0,    0,    0\n"
    "sfondo uno,    1\n"
    "sfondo due,    2\n"
    "sfondo tre,    3\n"
    "ripetizione segnali 9 codici,    1000,    4500\n"
    "[pendenze]\n"
    "pendenza,  0,  0\n"
    "pendenza,  1000,  5\n"
    "[fine]\n";
const char* const kTrenoPiccolo =
    "[generale]\n"
    "numero vetture,    8\n"
    "percentuale massa frenata,    125\n"
    "sabbia,    300\n"
    "orologio,    8   49   0 \n"
    "[vel_limite]\n"
    "velocita,       0,   100\n"
    "[stazioni]\n"
    "stazione,    1000,  2,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   8,50, 0, A\n"
    "[segnali]\n"
    "segnale,    3000,   2, 3, 1,  0, 0,    2,  2,1,0, 0\n"
    "[fine]\n";

TEST_F(Cli, TheSmallSourcesCompileCleanly) {
  scrivi(dir_ / "T_linea.txt", crlf(kLineaPiccola));
  scrivi(dir_ / "T_C-.txt", crlf(kTrenoPiccolo));
  const Esito r = esegui({"compile", "T_linea.txt", "T_C-.txt"});
  EXPECT_EQ(r.stato, 0);
  EXPECT_EQ(r.err, "wrote 3 files to .: 5.0 km, 1 station, 1 signal, 0 slowdowns\n");
  EXPECT_EQ(leggi(dir_ / "T_C.dat").size(), 15u * 241);  // (5000 + 7000) / 50 + 1 cells
  EXPECT_EQ(esegui({"compile", "T_linea.txt", "T_C-.txt", "-q"}).err, "");
}

struct SorgenteRotta {
  const char* nome;
  bool in_linea;  // which source is broken
  const char* da;
  const char* a;
  const char* prefisso;  // the message's start, up to the text
  int32_t codice;
  std::optional<int32_t> posizione;
};

class SorgentiRotte : public Cli, public testing::WithParamInterface<SorgenteRotta> {};

TEST_P(SorgentiRotte, BrokenSourcesGiveTheirCodeFileAndLine) {
  const SorgenteRotta& c = GetParam();
  const std::string linea =
      crlf(c.in_linea ? sostituisci(kLineaPiccola, c.da, c.a) : kLineaPiccola);
  const std::string treno =
      crlf(c.in_linea ? kTrenoPiccolo : sostituisci(kTrenoPiccolo, c.da, c.a));
  scrivi(dir_ / "T_linea.txt", linea);
  scrivi(dir_ / "T_C-.txt", treno);

  const Esito r = esegui({"compile", "T_linea.txt", "T_C-.txt", "--json"});
  EXPECT_EQ(r.stato, 1);
  EXPECT_EQ(r.err.rfind(c.prefisso, 0), 0u) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["codice_errore"], c.codice);
  ASSERT_EQ(j["messaggi"].size(), 1u);
  const json& m = j["messaggi"][0];
  EXPECT_EQ(m["codice"], c.codice);
  EXPECT_EQ(m["gravita"], "errore");
  EXPECT_EQ(m["file"], c.in_linea ? "T_linea.txt" : "T_C-.txt");
  EXPECT_EQ(m["posizione"], c.posizione ? json(*c.posizione) : json(nullptr));
  EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1),
            std::string(c.prefisso) + m["testo"].get<std::string>() + "\n");
  // An error writes nothing, and says so.
  EXPECT_NE(r.err.find("genera_scenario: no file written: the sources have errors"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(j["file_scritti"].size(), 0u);
  EXPECT_FALSE(fs::exists(dir_ / "T_C.sim"));
  // Asked for, the files are written as the built-in run's rules give them.
  const Esito comunque =
      esegui({"compile", "T_linea.txt", "T_C-.txt", "--json", "--emit-on-error", "-q"});
  EXPECT_EQ(comunque.stato, 1);
  EXPECT_EQ(json::parse(comunque.out)["file_scritti"].size(), 3u);
  EXPECT_TRUE(fs::exists(dir_ / "T_C.sim"));
  // The sources stay as they were.
  EXPECT_EQ(leggi(dir_ / "T_linea.txt"), linea);
  EXPECT_EQ(leggi(dir_ / "T_C-.txt"), treno);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, SorgentiRotte,
    testing::Values(
        SorgenteRotta{"length_over_the_limit", true, "lunghezza percorso,    5000",
                      "lunghezza percorso,    1000001", "T_linea.txt:2:1: error 1: ", 1,
                      std::nullopt},
        SorgenteRotta{"repetition_without_a_code_count", true, "ripetizione segnali 9 codici",
                      "ripetizione segnali codici", "T_linea.txt:9:1: error 5: ", 5, std::nullopt},
        SorgenteRotta{"curve_without_a_class_digit", true, "pendenza,  1000,  5",
                      "curvad,  1000,  100", "T_linea.txt:12:1: error 103: ", 103, std::nullopt},
        SorgenteRotta{"speed_record_beyond_the_grid", false, "velocita,       0,   100",
                      "velocita,   11950,   100", "T_C-.txt:7:1: error 15: ", 15, 11950},
        SorgenteRotta{"station_off_the_50_m_grid", false, "stazione,    1000,",
                      "stazione,    1010,", "T_C-.txt:9:1: error 8: ", 8, 1010},
        SorgenteRotta{"signal_on_the_station_s_stop_cell", false, "segnale,    3000,",
                      "segnale,    1100,", "T_C-.txt:11:1: error 16: ", 16, 1100}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST_F(Cli, ATakenRaceCodeSlotStopsBeforeAnyCompactFile) {
  // A signal at 0 m lands on cell 1 with a first aspect pair of 23.
  scrivi(dir_ / "T_linea.txt", crlf(kLineaPiccola));
  scrivi(dir_ / "T_C-.txt",
         crlf(sostituisci(kTrenoPiccolo, "segnale,    3000,", "segnale,    0,")));
  const Esito r = esegui({"compile", "T_linea.txt", "T_C-.txt", "--json"});
  EXPECT_EQ(r.stato, 1);
  EXPECT_NE(r.err.find("error 1250: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" Errore n. 1250\n"), std::string::npos) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["codice_errore"], 1250);
  EXPECT_EQ(j["file_scritti"], json::array());
  EXPECT_FALSE(fs::exists(dir_ / "T_C.sim"));
  EXPECT_FALSE(fs::exists(dir_ / "T_C.dat"));
  EXPECT_FALSE(fs::exists(dir_ / "T_linea.dat"));
}

// ---- check ----

TEST_F(Cli, CheckReportsButWritesAndDeletesNothing) {
  scrivi(dir_ / "T_linea.txt", crlf(kLineaPiccola));
  scrivi(dir_ / "T_C-.txt",
         crlf(sostituisci(kTrenoPiccolo, "velocita,       0,   100", "velocita,   11950,   100")));
  const std::set<std::string> prima = nomi(dir_);
  const Esito r = esegui({"check", "T_linea.txt", "T_C-.txt", "--json"});
  EXPECT_EQ(r.stato, 1);
  EXPECT_EQ(r.err.rfind("T_C-.txt:7:1: error 15: ", 0), 0u) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["codice_errore"], 15);
  EXPECT_EQ(j["posizione_errore"], 11950);
  EXPECT_EQ(j["file_scritti"], json::array());
  EXPECT_EQ(nomi(dir_), prima);

  scrivi(dir_ / "T_C-.txt", crlf(kTrenoPiccolo));
  const Esito pulito = esegui({"check", "T_linea.txt", "T_C-.txt"});
  EXPECT_EQ(pulito.stato, 0);
  EXPECT_EQ(pulito.out, "");
  EXPECT_EQ(pulito.err,
            "checked T_linea.txt and T_C-.txt: 5.0 km, 1 station, 1 signal, 0 slowdowns\n");
}

TEST_F(Cli, JsonReportCarriesItsKeysInOrder) {
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  const Esito r = esegui({"compile", kLinea, kTreno, "--json"});
  ASSERT_EQ(r.stato, 0) << r.err;
  const json j = json::parse(r.out);
  std::vector<std::string> chiavi;
  for (auto it = j.begin(); it != j.end(); ++it) chiavi.push_back(it.key());
  // nlohmann::json sorts; the order on the wire is checked on the text.
  EXPECT_LT(r.out.find("\"codice_errore\""), r.out.find("\"posizione_errore\""));
  EXPECT_LT(r.out.find("\"posizione_errore\""), r.out.find("\"messaggi\""));
  EXPECT_LT(r.out.find("\"messaggi\""), r.out.find("\"file_scritti\""));
  EXPECT_EQ(chiavi.size(), 4u);
  EXPECT_EQ(j["codice_errore"], 0);
  EXPECT_EQ(j["messaggi"], json::array());
  EXPECT_EQ(j["file_scritti"], json({"./LIVRA_MONTALBA_linea.dat", "./LIVRA_MONTALBA_R47316.sim",
                                     "./LIVRA_MONTALBA_R47316.dat"}));
}

// ---- inspect ----

TEST_F(Cli, InspectShowsTheRaceCodesAndTheSignalOfTheBuiltInFiles) {
  file_predefiniti(dir_);
  const Esito sim = esegui({"inspect", "LIVRA_MONTALBA_R47316.sim"});
  ASSERT_EQ(sim.stato, 0) << sim.err;
  std::istringstream righe(sim.out);
  std::string riga, voce85;
  while (std::getline(righe, riga))
    if (riga.rfind("   85 ", 0) == 0) voce85 = riga;
  EXPECT_NE(voce85.find(" 610 "), std::string::npos) << voce85;
  EXPECT_NE(voce85.find(" 32285 \"LIVRA_MONTALBA\""), std::string::npos) << voce85;

  const Esito dat = esegui({"inspect", "LIVRA_MONTALBA_R47316.dat"});
  ASSERT_EQ(dat.stato, 0) << dat.err;
  EXPECT_NE(dat.out.find("\n  165     8250    1 segnale "), std::string::npos) << dat.out;
  EXPECT_EQ(dat.out.rfind("LIVRA_MONTALBA_R47316.dat: route file, 1921 cells (0 to 1920), 28815 "
                          "bytes\n",
                          0),
            0u);

  const Esito plan = esegui({"inspect", "LIVRA_MONTALBA_linea.dat"});
  ASSERT_EQ(plan.stato, 0) << plan.err;
  EXPECT_EQ(plan.out.rfind("LIVRA_MONTALBA_linea.dat: line compact file, 96001 rows (0 to 96000), "
                           "1919964 bytes\ncomputed points: 95997; rows with an empty "
                           "coordinate: 2;",
                           0),
            0u)
      << plan.out;
  EXPECT_NE(plan.out.find("first computed point: row 2 (0.000, 2.000)\n"), std::string::npos);
}

TEST_F(Cli, InspectJsonOfAllThreeFiles) {
  file_predefiniti(dir_);
  const Esito r = esegui({"inspect", "--json", "LIVRA_MONTALBA_R47316.sim",
                          "LIVRA_MONTALBA_R47316.dat", "LIVRA_MONTALBA_linea.dat"});
  ASSERT_EQ(r.stato, 0) << r.err;
  const json j = json::parse(r.out);
  const json& file = j["file_ispezionati"];
  ASSERT_EQ(file.size(), 3u);
  EXPECT_EQ(file[0]["tipo"], "testata_linea");
  EXPECT_EQ(file[0]["voci"].size(), 87u);
  EXPECT_EQ(file[0]["voci"][85]["intero1"], 610);
  EXPECT_EQ(file[0]["voci"][85]["dato4"], 32285);
  EXPECT_EQ(file[0]["voci"][86]["nome"], "R47316");
  EXPECT_EQ(file[1]["tipo"], "percorso");
  EXPECT_EQ(file[1]["celle_totali"], 1921);
  bool trovata = false;
  for (const json& c : file[1]["celle"])
    if (c["cella"] == 165) trovata = c["nome_tipo"] == "segnale" && c["tipo"] == 1;
  EXPECT_TRUE(trovata);
  EXPECT_EQ(file[2]["tipo"], "tracciato_linea");
  EXPECT_EQ(file[2]["righe"], 96001);
  EXPECT_EQ(file[2]["primo_calcolato"]["riga"], 2);
  EXPECT_EQ(file[2]["ultimo_calcolato"]["riga"], 95998);
}

struct FileRotto {
  const char* nome;
  const char* file;
  std::string (*bytes)(const std::string& sim);  // from the built-in scenario file
  const char* messaggio;
};

class FileRotti : public Cli, public testing::WithParamInterface<FileRotto> {};

TEST_P(FileRotti, InspectOfABrokenFileNamesTheByteAndExitsThree) {
  const FileRotto& c = GetParam();
  file_predefiniti(radice_ / "builtin");
  scrivi(dir_ / c.file, c.bytes(leggi(radice_ / "builtin" / "LIVRA_MONTALBA_R47316.sim")));
  const Esito r = esegui({"inspect", c.file});
  EXPECT_EQ(r.stato, 3);
  EXPECT_EQ(r.err, c.messaggio);
  EXPECT_EQ(r.out, "");
  const Esito j = esegui({"inspect", "--json", c.file});
  EXPECT_EQ(j.stato, 3);
  EXPECT_FALSE(json::parse(j.out)["file_ispezionati"][0]["errore"]["offset"].is_null());
}

INSTANTIATE_TEST_SUITE_P(
    Casi, FileRotti,
    testing::Values(
        FileRotto{"scenario_file_cut_short", "A_B.sim",
                  [](const std::string& sim) { return sim.substr(0, 100); },
                  "genera_scenario: A_B.sim: byte 97: the file ends inside entry 2 (18 bytes "
                  "needed, 3 bytes left for its fields after the name)\n"},
        FileRotto{"scenario_file_with_a_byte_more", "A_B.sim",
                  [](const std::string& sim) { return sim + "\n"; },
                  "genera_scenario: A_B.sim: byte 3390: the 87 entries end here; 1 byte left "
                  "over after them\n"},
        FileRotto{"route_file_with_a_part_cell", "A_B.dat",
                  [](const std::string&) { return std::string(16, '\x01'); },
                  "genera_scenario: A_B.dat: byte 15: 1 byte left over after 1 whole cells of "
                  "15 bytes\n"},
        FileRotto{"plan_of_an_unknown_kind", "A_linea.dat",
                  [](const std::string&) { return std::string("garbage!"); },
                  "genera_scenario: A_linea.dat: byte 0: value 0 has kind code 24935; only 0 "
                  "(empty), 2 (Integer) and 5 (double) are stored\n"}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST_F(Cli, InspectOfAMissingFileExitsThree) {
  const Esito manca = esegui({"inspect", "nowhere.sim"});
  EXPECT_EQ(manca.stato, 3);
  EXPECT_EQ(manca.err.rfind("genera_scenario: cannot read nowhere.sim: ", 0), 0u) << manca.err;
}

// ---- plot ----

TEST_F(Cli, PlotWritesAnSvgThatRendersToPng) {
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  const Esito r = esegui({"plot", kLinea, kTreno, "-o", "scenario.svg"});
  ASSERT_EQ(r.stato, 0) << r.err;
  const std::string svg = leggi(dir_ / "scenario.svg");
  EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1400\"", 0), 0u);
  EXPECT_NE(svg.find(">Montalba Centrale</text>"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir_ / kLinea));
  EXPECT_TRUE(fs::exists(dir_ / kTreno));
  const std::string rsvg = GENERA_RSVG_CONVERT;
  if (rsvg.empty() || rsvg.find("NOTFOUND") != std::string::npos)
    GTEST_SKIP() << "rsvg-convert is not installed";
  const std::string comando = quota(rsvg) + " " + quota((dir_ / "scenario.svg").string()) + " -o " +
                              quota((dir_ / "scenario.png").string()) + " 2>" +
                              quota((radice_ / "rsvg.err").string());
  EXPECT_EQ(std::system(comando.c_str()), 0) << leggi(radice_ / "rsvg.err");
  EXPECT_EQ(leggi(radice_ / "rsvg.err"), "");
  EXPECT_EQ(leggi(dir_ / "scenario.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
}

// ---- view ----

TEST_F(Cli, ViewWritesOneSelfContainedPageNamedForTheScenario) {
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  const std::set<std::string> prima = nomi(dir_);
  const Esito r = esegui({"view", kLinea, kTreno});
  ASSERT_EQ(r.stato, 0) << r.err;
  EXPECT_EQ(r.out, "");
  std::set<std::string> dopo = prima;
  dopo.insert("LIVRA_MONTALBA_R47316.html");
  EXPECT_EQ(nomi(dir_), dopo);
  const std::string pagina = leggi(dir_ / "LIVRA_MONTALBA_R47316.html");
  EXPECT_EQ(pagina.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(pagina.find("\"nome\":\"LIVRA_MONTALBA_R47316-.txt\""), std::string::npos);
  EXPECT_NE(pagina.find("Montalba Centrale"), std::string::npos);
  // Nothing to fetch: no address, no file beside it. The SVG export's
  // namespace and its references to its own patterns fetch nothing.
  std::string indirizzi = pagina;
  for (const std::string innocuo : {"xmlns=\"http://www.w3.org/2000/svg\"", "url(#"})
    for (std::size_t at; (at = indirizzi.find(innocuo)) != std::string::npos;)
      indirizzi.erase(at, innocuo.size());
  for (const char* indirizzo : {"src=", "href=", "http:", "https:", "url("})
    EXPECT_EQ(indirizzi.find(indirizzo), std::string::npos) << indirizzo;

  const Esito altrove = esegui({"view", kLinea, kTreno, "-o", "pagine/vista.html"});
  EXPECT_EQ(altrove.stato, 3);  // no folder is created for a page
  ASSERT_EQ(esegui({"view", kLinea, kTreno, "--output", "vista.html"}).stato, 0);
  EXPECT_EQ(leggi(dir_ / "vista.html"), pagina);
}

TEST_F(Cli, ViewNeverWritesOverASource) {
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  const std::string linea = leggi(dir_ / kLinea);
  const Esito r = esegui({"view", kLinea, kTreno, "-o", std::string("./") + kLinea});
  EXPECT_EQ(r.stato, 3);
  EXPECT_EQ(r.err, "genera_scenario: cannot write ./" + std::string(kLinea) +
                       ": it is one of the sources\n");
  EXPECT_EQ(leggi(dir_ / kLinea), linea);
}

TEST_F(Cli, ViewOfBrokenSourcesStillShowsThemAndExitsOne) {
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  std::string treno = leggi(dir_ / kTreno);
  const std::string segnale = "segnale,    2800,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n";
  treno.insert(treno.find(segnale) + segnale.size(),
               "segnale,    2810,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n");
  scrivi(dir_ / kTreno, treno);
  const Esito r = esegui({"view", kLinea, kTreno});
  EXPECT_EQ(r.stato, 1);
  EXPECT_NE(r.err.find(std::string(kTreno) + ":"), std::string::npos) << r.err;
  const std::string pagina = leggi(dir_ / "LIVRA_MONTALBA_R47316.html");
  EXPECT_NE(pagina.find("\"codice\":16"), std::string::npos);
}

// ---- what each command says it wrote ----

TEST_F(Cli, EachCommandSaysWhatItWroteAndQuietSilencesIt) {
  const std::string riepilogo = ": 89.0 km, 14 stations, 38 signals, 1 slowdown\n";
  struct Caso {
    const char* nome;
    std::vector<std::string> argomenti;
    std::string err;
  };
  const Caso casi[] = {
      {"sources",
       {"sources", "--out", "s"},
       "wrote 5 files to s: LIVRA_MONTALBA_linea.txt, LIVRA_MONTALBA_R47316-.txt and 3 driver "
       "documents\n"},
      {"sources -q", {"sources", "--out", "q", "-q"}, ""},
      {"compile", {"compile", kLinea, kTreno, "--out", "c"}, "wrote 3 files to c" + riepilogo},
      {"compile -q", {"compile", kLinea, kTreno, "--out", "c", "-q"}, ""},
      {"plot", {"plot", kLinea, kTreno, "-o", "p.svg"}, "wrote p.svg" + riepilogo},
      {"plot -q", {"plot", kLinea, kTreno, "-o", "p.svg", "-q"}, ""},
      {"view", {"view", kLinea, kTreno, "-o", "v.html"}, "wrote v.html" + riepilogo},
      {"view -q", {"view", kLinea, kTreno, "-o", "v.html", "--quiet"}, ""},
      // Not on a terminal: a script's stderr stays as it was.
      {"the built-in run", {"--out", "b"}, ""},
      {"the built-in run -q", {"--out", "b", "-q"}, ""},
  };
  ASSERT_EQ(esegui({"sources"}).stato, 0);
  for (const Caso& c : casi) {
    const Esito r = esegui(c.argomenti);
    EXPECT_EQ(r.stato, 0) << c.nome << ": " << r.err;
    EXPECT_EQ(r.err, c.err) << c.nome;
    EXPECT_EQ(r.out, "") << c.nome;
  }
}

// ---- the command line itself ----

class ErroriDUso : public Cli, public testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(ErroriDUso, UsageErrorsExitTwo) {
  const Esito r = esegui(GetParam());
  EXPECT_EQ(r.stato, 2);
  EXPECT_NE(r.err.find("--help"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(nomi(dir_).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ErroriDUso,
    testing::Values(
        std::vector<std::string>{"frobnicate"}, std::vector<std::string>{"compile"},
        std::vector<std::string>{"compile", "A_linea.txt"},
        std::vector<std::string>{"compile", "A_linea.txt", "A_B-.txt", "--bogus"},
        std::vector<std::string>{"check", "x.txt", "A_B-.txt"},
        std::vector<std::string>{"plot", "A_linea.txt", "A_B-.txt"},
        std::vector<std::string>{"view", "A_linea.txt"},
        std::vector<std::string>{"view", "A_linea.txt", "A_B-.txt", "--port", "9000"},
        std::vector<std::string>{"view", "A_linea.txt", "A_B-.txt", "--serve", "-o", "a.html"},
        std::vector<std::string>{"view", "A_linea.txt", "A_B-.txt", "--serve", "--port", "70000"},
        std::vector<std::string>{"inspect"}, std::vector<std::string>{"inspect", "notes.txt"},
        std::vector<std::string>{"--out", "d", "sources"}, std::vector<std::string>{"--out"}),
    // The command line itself names the case: "view_A_linea_txt_A_B__txt___port_9000".
    [](const auto& i) {
      std::string riga;
      for (const std::string& a : i.param) riga += (riga.empty() ? "" : " ") + a;
      return nome_caso(riga);
    });

// "genera_scenario 1.0.0\n", or with " (commit HEX)" of 7 digits or more
// before the line end when built from a git checkout.
bool versione_valida(const std::string& out) {
  const std::string testa = "genera_scenario 1.0.0";
  if (out == testa + "\n") return true;
  const std::string commit = " (commit ";
  if (out.rfind(testa + commit, 0) != 0 || out.size() < 3 || out.substr(out.size() - 2) != ")\n")
    return false;
  const std::string hex =
      out.substr(testa.size() + commit.size(), out.size() - 2 - testa.size() - commit.size());
  return hex.size() >= 7 && hex.find_first_not_of("0123456789abcdef") == std::string::npos;
}

TEST_F(Cli, HelpAndVersion) {
  const Esito v = esegui({"--version"});
  EXPECT_EQ(v.stato, 0);
  // The commit is there when the build came from a git checkout.
  EXPECT_TRUE(versione_valida(v.out)) << v.out;
  const Esito h = esegui({"--help"});
  EXPECT_EQ(h.stato, 0);
  for (const char* parola : {"sources", "compile", "check", "inspect", "plot", "view", "--out"})
    EXPECT_NE(h.out.find(parola), std::string::npos) << parola;
  const Esito hc = esegui({"compile", "--help"});
  EXPECT_EQ(hc.stato, 0);
  EXPECT_NE(hc.out.find("--no-plan"), std::string::npos);
}

TEST_F(Cli, OutRunsTheBuiltInScenarioElsewhere) {
  file_predefiniti(radice_ / "builtin");
  const Esito r = esegui({"--out", "pack"});
  ASSERT_EQ(r.stato, 0) << r.err;
  EXPECT_EQ(nomi(dir_ / "pack"), std::set<std::string>(std::begin(kSei), std::end(kSei)));
  for (const char* nome : kSei)
    EXPECT_TRUE(leggi(dir_ / "pack" / nome) == leggi(radice_ / "builtin" / nome)) << nome;
}

}  // namespace
