// A failing disk: every write, rename and delete of a run is made to fail
// in turn. The run must stop with a message naming the path and the
// reason, and every output must hold either its old bytes or complete new
// ones, never a file cut short.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "model/compact_writer.h"
#include "files/file_system.h"
#include "run/form_load.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace genera {
namespace {

namespace fs = std::filesystem;

const char* const kDocumenti[] = {"LIVRA_MONTALBA_R47316_note.txt", "LIVRA_MONTALBA_R47316_rallentamenti.txt",
                                  "LIVRA_MONTALBA_R47316_scheda_treno.txt"};
const char* const kCompatti[] = {"LIVRA_MONTALBA_linea.dat", "LIVRA_MONTALBA_R47316.sim",
                                 "LIVRA_MONTALBA_R47316.dat"};

/// Fails the n-th disk operation (counting from 1) and records them all.
class FailNth : public FaultHook {
 public:
  explicit FailNth(int n) : n_(n) {}
  std::string fail(const char* operation, const std::string& path) override {
    operations.push_back(std::string(operation) + " " + fs::path(path).filename().string());
    return static_cast<int>(operations.size()) == n_ ? "injected failure" : "";
  }
  std::vector<std::string> operations;

 private:
  int n_;
};

std::string serialise(const std::function<void(ByteSink&)>& write) {
  StringSink s;
  write(s);
  return s.bytes;
}

class FailingDisk : public testing::Test {
 protected:
  void SetUp() override {
    cartella_ = std::make_unique<CartellaTemporanea>("genera-failing-disk");
    dir_ = cartella_->path() / "run";
  }

  // A folder holding an older copy of every file of the run.
  void prepara() {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const auto& name : nomi()) std::ofstream(dir_ / name, std::ios::binary) << "old " << name;
  }

  static std::vector<std::string> nomi() {
    std::vector<std::string> out(std::begin(kDocumenti), std::end(kDocumenti));
    out.insert(out.end(), std::begin(kCompatti), std::end(kCompatti));
    return out;
  }

  std::unique_ptr<CartellaTemporanea> cartella_;
  fs::path dir_;
};

TEST_F(FailingDisk, EveryFailureLeavesEveryFileWholeOrComplete) {
  // A clean run gives the new bytes and the list of operations to fail.
  prepara();
  FailNth count(0);
  DiskFileSystem counting_disk(&count);
  {
    Form1 f;
    f.file_system = &counting_disk;
    f.cartella = dir_.string();
    Form_Load(f);
  }
  std::map<std::string, std::string> nuovi;
  for (const auto& name : nomi()) nuovi[name] = leggi_file(dir_ / name);
  const int operazioni = static_cast<int>(count.operations.size());
  ASSERT_GE(operazioni, 10);
  RecordProperty("failure_points", operazioni);

  for (int n = 1; n <= operazioni; ++n) {
    SCOPED_TRACE("failing operation " + std::to_string(n) + ": " + count.operations[n - 1]);
    prepara();
    FailNth hook(n);
    DiskFileSystem disk(&hook);
    Form1 f;
    f.file_system = &disk;
    f.cartella = dir_.string();
    std::map<std::string, std::string> attesi = nuovi;
    std::string messaggio;
    try {
      Form_Load(f);
      // A source that cannot be deleted is a failure of the parse (code 25):
      // the run goes on and writes what the model holds.
      const ScenarioCompilato& sc = f.scenario;
      ASSERT_EQ(sc.codice_errore, Codice::guasto_lettura);
      ASSERT_FALSE(sc.diagnostiche.empty());
      messaggio = sc.diagnostiche.back().testo;
      attesi["LIVRA_MONTALBA_linea.dat"] = serialise([&](ByteSink& s) { scrivi_tracciato(sc.tracciato, s); });
      attesi["LIVRA_MONTALBA_R47316.sim"] = serialise([&](ByteSink& s) { scrivi_testata(sc.testata_linea, s); });
      attesi["LIVRA_MONTALBA_R47316.dat"] = serialise([&](ByteSink& s) { scrivi_percorso(sc.percorso, s); });
    } catch (const ErroreFile& e) {
      messaggio = e.what();
    }
    EXPECT_NE(messaggio.find("injected failure"), std::string::npos) << messaggio;
    EXPECT_NE(messaggio.find(dir_.string()), std::string::npos) << messaggio;
    for (const auto& name : nomi()) {
      const std::string bytes = leggi_file(dir_ / name);
      EXPECT_TRUE(bytes == "old " + name || bytes == attesi[name]) << name << " holds " << bytes.size() << " bytes";
    }
    for (const auto& entry : fs::directory_iterator(dir_))
      EXPECT_NE(entry.path().extension(), ".genera-new") << "temporary file left behind";
  }
}

}  // namespace
}  // namespace genera

namespace genera {
namespace {

// compile's set: every write, rename and delete of replacing the three
// compact files together is made to fail in turn; the folder then holds
// the old set whole, or, when only the last clean-up failed, the new one.
TEST(FailingDiskSet, EveryFailureLeavesTheOldSetOrTheNewOne) {
  CartellaTemporanea cartella("genera-failing-set");
  const fs::path dir = cartella.path();
  const std::vector<std::string> nomi = {"L_linea.dat", "L_T.sim", "L_T.dat"};
  auto prepara = [&] {
    for (const auto& e : fs::directory_iterator(dir)) fs::remove_all(e.path());
    for (const std::string& n : nomi) std::ofstream(dir / n, std::ios::binary) << "old " << n;
  };
  std::vector<FileDaScrivere> insieme;
  for (const std::string& n : nomi)
    insieme.push_back({(dir / n).string(), [n](ByteSink& s) {
                         const std::string nuovo = "new " + n;
                         s.write(nuovo.data(), nuovo.size());
                       }});

  prepara();
  FailNth conta(0);
  DiskFileSystem(&conta).replace_all(insieme);
  const int operazioni = static_cast<int>(conta.operations.size());
  ASSERT_GE(operazioni, 9);  // three writes, three moves aside, three renames in

  for (int n = 1; n <= operazioni; ++n) {
    SCOPED_TRACE("failing operation " + std::to_string(n) + ": " + conta.operations[n - 1]);
    prepara();
    FailNth guasto(n);
    DiskFileSystem disco(&guasto);
    EXPECT_THROW(disco.replace_all(insieme), ErroreFile);
    for (const std::string& nome : nomi) EXPECT_EQ(leggi_file(dir / nome), "old " + nome) << nome;
    std::size_t file = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
      ++file;
      EXPECT_TRUE(e.path().extension() != ".genera-new" && e.path().extension() != ".genera-old")
          << e.path();
    }
    EXPECT_EQ(file, nomi.size());
  }
}

}  // namespace
}  // namespace genera
