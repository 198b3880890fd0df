// A failing disk: every call a run makes to the disk (look, list, lock,
// make a folder, create, write, sync, link, rename, delete) is made to fail
// in turn, and then every call from one on, as a disk that dies. The run
// must stop with a message naming the path and the reason; the folder must
// hold the old set whole or the new one complete, at once or after the next
// run that writes into it, and nothing else.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "files/file_system.h"
#include "files/output_folder.h"
#include "model/compact_writer.h"
#include "run/compaction.h"
#include "run/form_load.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace genera {
namespace {

namespace fs = std::filesystem;

const char* const kUscite[] = {"LIVRA_MONTALBA_R47316_note.txt",
                               "LIVRA_MONTALBA_R47316_rallentamenti.txt",
                               "LIVRA_MONTALBA_R47316_scheda_treno.txt",
                               "LIVRA_MONTALBA_linea.dat",
                               "LIVRA_MONTALBA_R47316.sim",
                               "LIVRA_MONTALBA_R47316.dat"};
const char* const kSorgenti[] = {"LIVRA_MONTALBA_linea.txt", "LIVRA_MONTALBA_R47316-.txt"};

/// Fails the n-th disk operation (counting from 1), or with `from` every
/// one from the n-th on, and records them all.
class FailNth : public FaultHook {
 public:
  explicit FailNth(int n, bool from = false) : n_(n), from_(from) {}
  std::string fail(const char* operation, const std::string& path) override {
    operations.push_back(std::string(operation) + " " + name_of(path));
    const int i = static_cast<int>(operations.size());
    return (i == n_ || (from_ && n_ > 0 && i >= n_)) ? "injected failure" : "";
  }
  std::vector<std::string> operations;

 private:
  int n_;
  bool from_;
};

std::string serialise(const std::function<void(ByteSink&)>& write) {
  StringSink s;
  write(s);
  return s.bytes;
}

/// The files of `dir` (regular ones by name, anything else marked), read
/// through a clean file system of the same kind.
std::map<std::string, std::string> contenuto(FileSystem& fs, const std::string& dir) {
  std::map<std::string, std::string> out;
  for (const std::string& n : fs.list(dir)) {
    const std::string p = join_path(dir, n);
    out[n] = fs.stat(p).kind == FileKind::regular ? fs.read(p) : std::string("<not a file>");
  }
  return out;
}

/// Everything in `dir` removed, then `files` written.
void prepara(FileSystem& fs, const std::string& dir,
             const std::map<std::string, std::string>& files) {
  { OutputFolder recupero(fs, dir); }  // a staging folder left behind goes first
  for (const std::string& n : fs.list(dir)) fs.remove(join_path(dir, n));
  for (const auto& file : files) {
    const std::string& bytes = file.second;
    fs.write_new(
        join_path(dir, file.first), [&](ByteSink& s) { s.write(bytes.data(), bytes.size()); },
        file.first);
  }
}

/// The disk and the memory, each behind the same FileSystem.
struct Disco {
  const char* nome;
  std::function<std::unique_ptr<FileSystem>(FaultHook*)> crea;
};

class FailingDisk : public testing::TestWithParam<Disco> {
 protected:
  void SetUp() override {
    cartella_ = std::make_unique<TempFolder>("genera-failing-disk");
    dir_ = (cartella_->path() / "run").string();
    fs::create_directories(dir_);
    pulito_ = GetParam().crea(nullptr);
    pulito_->make_folders(dir_);
  }

  std::unique_ptr<TempFolder> cartella_;
  std::string dir_;
  std::unique_ptr<FileSystem> pulito_;  // the same disk, failing nothing
};

// MemoryFileSystem keeps its files in the object: the failing and the clean
// one must be one object, so the hook is switched instead.
class Switch : public FaultHook {
 public:
  std::string fail(const char* operation, const std::string& path) override {
    return inner != nullptr ? inner->fail(operation, path) : std::string();
  }
  FaultHook* inner = nullptr;
};

TEST_P(FailingDisk, EveryFailureOfTheRunLeavesTheOldSetOrTheNewOne) {
  // Each failure point is a whole run: once, on the disk, is enough; the
  // set below covers the memory's calls.
  if (std::string(GetParam().nome) == "memory")
    GTEST_SKIP() << "the set test covers MemoryFileSystem";
  Switch interruttore;
  std::unique_ptr<FileSystem> disco = GetParam().crea(&interruttore);
  FileSystem& pulito = std::string(GetParam().nome) == "memory" ? *disco : *pulito_;
  std::map<std::string, std::string> vecchi;
  for (const char* n : kUscite) vecchi[n] = std::string("old ") + n;

  // A clean run gives the new set and the list of operations to fail.
  prepara(pulito, dir_, vecchi);
  FailNth conta(0);
  interruttore.inner = &conta;
  {
    Form1 f;
    f.file_system = disco.get();
    f.cartella = dir_;
    Form_Load(f);
  }
  interruttore.inner = nullptr;
  const std::map<std::string, std::string> nuovi = contenuto(pulito, dir_);
  ASSERT_EQ(nuovi.size(), 6u);
  std::map<std::string, std::string> sorgenti;
  for (const FileToWrite& d : documenti_da_scrivere(dir_, kNomeLinea, kCodiceTreno))
    sorgenti[name_of(d.path)] = serialise(d.produce);
  const int operazioni = static_cast<int>(conta.operations.size());
  ASSERT_GE(operazioni, 30);
  RecordProperty("failure_points", operazioni);

  for (bool da_li_in_poi : {false, true}) {
    for (int n = 1; n <= operazioni; ++n) {
      SCOPED_TRACE(
          std::string(da_li_in_poi ? "failing every operation from " : "failing operation ") +
          std::to_string(n) + ": " + conta.operations[n - 1]);
      prepara(pulito, dir_, vecchi);
      FailNth guasto(n, da_li_in_poi);
      interruttore.inner = &guasto;
      Form1 f;
      f.file_system = disco.get();
      f.cartella = dir_;
      std::map<std::string, std::string> attesi = nuovi;
      std::string messaggio;
      try {
        Form_Load(f);
        // A source that cannot be deleted is a failure of the parse (code
        // 25): the run goes on and writes what the model holds.
        const ScenarioCompilato& sc = f.scenario;
        if (sc.codice_errore != Codice::nessuno) {
          ASSERT_EQ(sc.codice_errore, Codice::guasto_lettura);
          messaggio = sc.diagnostiche.back().testo;
          attesi["LIVRA_MONTALBA_linea.dat"] =
              serialise([&](ByteSink& s) { scrivi_tracciato(sc.tracciato, s); });
          attesi["LIVRA_MONTALBA_R47316.sim"] =
              serialise([&](ByteSink& s) { scrivi_testata(sc.testata_linea, s); });
          attesi["LIVRA_MONTALBA_R47316.dat"] =
              serialise([&](ByteSink& s) { scrivi_percorso(sc.percorso, s); });
        }
      } catch (const FileError& e) {
        messaggio = e.what();
        EXPECT_NE(messaggio.find("injected failure"), std::string::npos) << messaggio;
        EXPECT_NE(messaggio.find(dir_), std::string::npos) << messaggio;
      }
      interruttore.inner = nullptr;

      // A single failure is undone at once: every output old or new, whole.
      const std::map<std::string, std::string> subito = contenuto(pulito, dir_);
      if (!da_li_in_poi) {
        for (const char* n : kUscite)
          EXPECT_TRUE(subito.count(n) && (subito.at(n) == vecchi[n] || subito.at(n) == attesi[n]))
              << n;
      }

      // After the next run's recovery: one whole set, and at most the two
      // built-in sources of a run cut short before it read them.
      { OutputFolder recupero(pulito, dir_); }
      std::map<std::string, std::string> dopo = contenuto(pulito, dir_);
      for (const char* s : kSorgenti) {
        if (dopo.count(s) == 0) continue;
        EXPECT_EQ(dopo[s], sorgenti[s]) << s << " is not the built-in source";
        dopo.erase(s);
      }
      std::map<std::string, std::string> solo_uscite;
      for (const char* u : kUscite) solo_uscite[u] = attesi[u];
      EXPECT_TRUE(dopo == vecchi || dopo == solo_uscite)
          << "the folder holds neither set whole: " << dopo.size() << " files";
    }
  }
}

// The set `compile` writes, on its own: a single failure throws and leaves
// the old set at once (or, when only the clean-up failed, the new one); a
// disk that dies leaves one set after the next run, and nothing else.
TEST_P(FailingDisk, EveryFailureOfASetLeavesTheOldSetOrTheNewOne) {
  Switch interruttore;
  std::unique_ptr<FileSystem> disco = GetParam().crea(&interruttore);
  FileSystem& pulito = std::string(GetParam().nome) == "memory" ? *disco : *pulito_;
  const std::vector<std::string> nomi = {"L_linea.dat", "L_T.sim", "L_T.dat"};
  std::map<std::string, std::string> vecchi, nuovi;
  std::vector<FileToWrite> insieme;
  for (const std::string& n : nomi) {
    vecchi[n] = "old " + n;
    nuovi[n] = "new " + n + std::string(100000, 'x');
    insieme.push_back(
        {join_path(dir_, n), [b = nuovi[n]](ByteSink& s) { s.write(b.data(), b.size()); }});
  }

  prepara(pulito, dir_, vecchi);
  FailNth conta(0);
  interruttore.inner = &conta;
  disco->replace_all(insieme);
  interruttore.inner = nullptr;
  const int operazioni = static_cast<int>(conta.operations.size());
  ASSERT_GE(operazioni, 20);

  for (bool da_li_in_poi : {false, true}) {
    for (int n = 1; n <= operazioni; ++n) {
      SCOPED_TRACE(
          std::string(da_li_in_poi ? "failing every operation from " : "failing operation ") +
          std::to_string(n) + ": " + conta.operations[n - 1]);
      prepara(pulito, dir_, vecchi);
      FailNth guasto(n, da_li_in_poi);
      interruttore.inner = &guasto;
      bool fallito = false;
      try {
        disco->replace_all(insieme);
      } catch (const FileError& e) {
        fallito = true;
        EXPECT_NE(std::string(e.what()).find("injected failure"), std::string::npos) << e.what();
      }
      interruttore.inner = nullptr;
      if (!da_li_in_poi) {
        std::map<std::string, std::string> subito;
        for (const std::string& n2 : nomi) subito[n2] = pulito.read(join_path(dir_, n2));
        EXPECT_EQ(subito, fallito ? vecchi : nuovi);
      }
      { OutputFolder recupero(pulito, dir_); }
      const std::map<std::string, std::string> dopo = contenuto(pulito, dir_);
      EXPECT_TRUE(dopo == vecchi || dopo == nuovi)
          << "the folder holds neither set whole: " << dopo.size() << " files";
      if (!fallito) {
        EXPECT_EQ(dopo, nuovi);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Dischi, FailingDisk,
                         testing::Values(Disco{"disk",
                                               [](FaultHook* h) -> std::unique_ptr<FileSystem> {
                                                 return std::make_unique<DiskFileSystem>(h);
                                               }},
                                         Disco{"memory",
                                               [](FaultHook* h) -> std::unique_ptr<FileSystem> {
                                                 return std::make_unique<MemoryFileSystem>(h);
                                               }}),
                         [](const testing::TestParamInfo<Disco>& i) {
                           return std::string(i.param.nome);
                         });

}  // namespace
}  // namespace genera
