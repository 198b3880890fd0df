#include "sources/writers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "files/file_system.h"
#include "sources/text_layout.h"

namespace genera {
namespace {

namespace fs = std::filesystem;

std::string golden(const std::string& name) {
  std::ifstream in(std::string(GENERA_TEST_DATA) + "/golden/text/" + name, std::ios::binary);
  EXPECT_TRUE(in) << "missing golden " << name;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void prepara(Form1& f, FileSystem& disk, const std::string& cartella) {
  f.file_system = &disk;
  f.cartella = cartella;
  f.nome_linea = "LIVRA_MONTALBA";
  f.codice_treno = "R47316";
}

struct documento {
  void (*scrivi)(Form1&);
  const char* nome;
};

const documento kDocumenti[] = {
    {dati_linea, "LIVRA_MONTALBA_linea.txt"},
    {dati_treno, "LIVRA_MONTALBA_R47316-.txt"},
    {dati_note, "LIVRA_MONTALBA_R47316_note.txt"},
    {dati_rallentamenti, "LIVRA_MONTALBA_R47316_rallentamenti.txt"},
    {dati_scheda, "LIVRA_MONTALBA_R47316_scheda_treno.txt"},
};

TEST(Writers, EachWritesExactlyItsGoldenFile) {
  for (const documento& d : kDocumenti) {
    SCOPED_TRACE(d.nome);
    MemoryFileSystem disk;
    Form1 f;
    prepara(f, disk, "dir");
    d.scrivi(f);
    ASSERT_EQ(disk.files.size(), 1u);
    const std::string expected = golden(d.nome);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(disk.files.at(percorso_file("dir", d.nome)), expected);
  }
}

lista_righe lista(const std::vector<std::string>& righe) {
  lista_righe l;
  std::copy(righe.begin(), righe.end(), l.begin());
  return l;
}

std::string scritto(const lista_righe& righe) {
  MemoryFileSystem disk;
  Form1 f;
  prepara(f, disk, "dir");
  scrivi_righe(f, "x.txt", righe);
  return disk.files.at(percorso_file("dir", "x.txt"));
}

TEST(ScriviRighe, StopsAtTheFirstExactSentinel) {
  const lista_righe righe =
      lista({"a", "", "Riferimento fine del file", "riferimento fine del file ",
             " riferimento fine del file", "riferimento  fine del file",
             "riferimento fine del file", "never", "riferimento fine del file"});
  EXPECT_EQ(scritto(righe),
            "a\r\n"
            "\r\n"
            "Riferimento fine del file\r\n"
            "riferimento fine del file \r\n"
            " riferimento fine del file\r\n"
            "riferimento  fine del file\r\n");
}

TEST(ScriviRighe, SentinelFirstGivesAnEmptyFile) {
  EXPECT_EQ(scritto(lista({kSentinella, "never"})), "");
}

TEST(ScriviRighe, ListWithoutSentinelIsWrittenWholeAndNoFurther) {
  lista_righe righe;
  std::string expected;
  for (std::size_t i = 0; i < righe.size(); ++i) {
    righe[i] = std::to_string(i);
    expected += righe[i] + "\r\n";
  }
  EXPECT_EQ(scritto(righe), expected);
}

TEST(ChiudiLista, PutsTheSentinelAfterTheLastLineAndRefusesAFullList) {
  const lista_righe l = chiudi_lista({"a", "b"});
  EXPECT_EQ(l[1], "b");
  EXPECT_EQ(l[2], kSentinella);
  EXPECT_EQ(l[3], "");
  EXPECT_EQ(chiudi_lista(std::vector<std::string>(1000, "x"))[1000], kSentinella);
  EXPECT_THROW(chiudi_lista(std::vector<std::string>(1001, "x")), std::length_error);
}

TEST(TextLayout, CellsAreNeverWiderThanTheirRoom) {
  EXPECT_EQ(a_sinistra("ab", 4), "ab  ");
  EXPECT_EQ(a_sinistra("abcd", 4), "abcd");
  EXPECT_THROW(a_sinistra("abcde", 4), std::length_error);
  EXPECT_EQ(testo_cartello({"Galleria", "Monte Sacro", "9200 mt."}),
            "(Galleria   )(Monte Sacro)(9200 mt.   )");
}

class DiskReplace : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("genera-sources-" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
};

TEST_F(DiskReplace, AnOlderFileEndsUpHoldingExactlyTheNewContent) {
  const std::string name = "LIVRA_MONTALBA_R47316_note.txt";
  const std::string expected = golden(name);
  const std::string olds[] = {
      std::string(50000, 'z') + "\r\n",        // longer
      "x",                                     // shorter
      std::string("\0\xff\x01\r\n\x80", 6),  // binary
      expected,                                // an earlier run's copy
  };
  for (const std::string& old : olds) {
    const fs::path target = dir_ / name;
    std::ofstream(target, std::ios::binary) << old;
    DiskFileSystem disk;
    Form1 f;
    prepara(f, disk, dir_.string());
    dati_note(f);
    std::ifstream in(target, std::ios::binary);
    std::ostringstream got;
    got << in.rdbuf();
    EXPECT_EQ(got.str(), expected) << "old content of " << old.size() << " bytes";
  }
}

TEST_F(DiskReplace, WritesIntoAFolderWithoutTheFile) {
  DiskFileSystem disk;
  Form1 f;
  prepara(f, disk, dir_.string());
  dati_linea(f);
  std::ifstream in(dir_ / "LIVRA_MONTALBA_linea.txt", std::ios::binary);
  std::ostringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), golden("LIVRA_MONTALBA_linea.txt"));
}

}  // namespace
}  // namespace genera
