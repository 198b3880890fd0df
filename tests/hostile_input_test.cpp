// Sources as editors, encodings and copies mangle them: each either
// compiles or stops with its code and a message naming the file and line.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "files/file_system.h"
#include "model/file_names.h"
#include "run/compaction.h"
#include "test_files.h"

namespace genera {
namespace {

const std::string& linea_builtin() {
  static const std::string text = golden("text/LIVRA_MONTALBA_linea.txt");
  return text;
}
const std::string& treno_builtin() {
  static const std::string text = golden("text/LIVRA_MONTALBA_R47316-.txt");
  return text;
}

std::string sostituisci(std::string s, const std::string& da, const std::string& a) {
  const std::size_t at = s.find(da);
  EXPECT_NE(at, std::string::npos) << da;
  if (at != std::string::npos) s.replace(at, da.size(), a);
  return s;
}

std::string a_capo(const std::string& s, const std::string& fine_riga) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s.compare(i, 2, "\r\n") == 0) {
      out += fine_riga;
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string spazzatura(std::size_t size) {
  std::string out(size, '\0');
  uint32_t x = 12345;
  for (char& c : out) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return out;
}

struct Compilazione {
  int32_t codice;
  std::vector<Diagnostica> messaggi;
  std::map<std::string, std::string> files;
};

// The built-in run's compaction on the two sources, in memory.
Compilazione compila_sorgenti(const std::string& linea, const std::string& treno) {
  MemoryFileSystem disk;
  Form1 f;
  f.file_system = &disk;
  f.cartella = "h";
  f.nome_linea = "LIVRA_MONTALBA";
  f.codice_treno = "R47316";
  disk.files[join_path("h", nome_sorgente_linea(f.nome_linea))] = linea;
  disk.files[join_path("h", nome_sorgente_treno(f.nome_linea, f.codice_treno))] = treno;
  memorizza_percorso(f, 1);
  EXPECT_TRUE(f.scenario.scrivibile());
  return {numero(f.scenario.codice_errore), f.scenario.diagnostiche, disk.files};
}

struct Caso {
  const char* nome;
  std::function<std::string()> linea;
  std::function<std::string()> treno;
  int32_t codice;     // 0: it compiles
  const char* file;   // the file the message names
  int riga;           // its line; 0 where the failure has none
  bool come_builtin;  // compiles to the very same compact files
};

class Ostile : public testing::TestWithParam<Caso> {};

TEST_P(Ostile, CompilesOrStopsWithItsCodeAndMessage) {
  const Caso& c = GetParam();
  const Compilazione e = compila_sorgenti(c.linea(), c.treno());
  EXPECT_EQ(e.codice, c.codice);
  if (c.codice == 0) {
    // It compiles: at most warnings, such as a key a NUL byte has broken. A
    // train source with no record compiles by the rules but is an error of
    // our own: there is no train to drive.
    for (const Diagnostica& m : e.messaggi) {
      if (m.codice != Codice::sorgente_treno_vuota) {
        EXPECT_NE(m.gravita, Gravita::errore) << formatta(m);
      }
    }
  } else {
    ASSERT_FALSE(e.messaggi.empty());
    const Diagnostica* errore = nullptr;
    for (const Diagnostica& d : e.messaggi)
      if (d.gravita == Gravita::errore) errore = &d;
    ASSERT_NE(errore, nullptr);
    const Diagnostica& m = *errore;
    EXPECT_EQ(numero(m.codice), c.codice);
    EXPECT_EQ(m.luogo.file, c.file);
    EXPECT_EQ(m.luogo.riga, c.riga) << formatta(m);
    EXPECT_LT(formatta(m).size(), 200u) << "a message stays one readable line";
  }
  if (c.come_builtin) {
    for (const char* name : {"LIVRA_MONTALBA_R47316.sim", "LIVRA_MONTALBA_R47316.dat"})
      EXPECT_TRUE(
          SameBytes(e.files.at(join_path("h", name)), golden(std::string("compact/") + name)))
          << name;
  }
  // The run's sources are gone on every path.
  EXPECT_EQ(e.files.count(join_path("h", "LIVRA_MONTALBA_linea.txt")), 0u);
}

const char* const L = "LIVRA_MONTALBA_linea.txt";
const char* const T = "LIVRA_MONTALBA_R47316-.txt";
auto builtin_l = [] { return linea_builtin(); };
auto builtin_t = [] { return treno_builtin(); };

INSTANTIATE_TEST_SUITE_P(
    Sorgenti, Ostile,
    testing::Values(
        Caso{"NulInAKeyword",
             [] {
               return sostituisci(linea_builtin(), "pendenza,  1250",
                                  std::string("pen\0denza,  1250", 16));
             },
             builtin_t, 0, L, 0, false},
        Caso{"NulInANumber",
             [] {
               return sostituisci(linea_builtin(), "89000",
                                  std::string("89\0"
                                              "00",
                                              5));
             },
             builtin_t, 25, L, 2, false},
        Caso{"TenMegabyteLineWithoutLineEnd",
             [] { return linea_builtin() + std::string(10'000'000, 'x'); }, builtin_t, 0, L, 0,
             true},
        Caso{"TenMegabyteKeyInTheBody",
             [] {
               return sostituisci(linea_builtin(), "[fine]",
                                  "curva" + std::string(10'000'000, 'x') + ", 5, 5\r\n[fine]");
             },
             builtin_t, 103, L, 80, false},
        Caso{"BinaryGarbage", [] { return spazzatura(1 << 16); }, builtin_t, 102, L, 0, false},
        Caso{"EightBitStationName", builtin_l,
             [] { return sostituisci(treno_builtin(), "Roveto", "Citt\xe0"); }, 0, T, 0, false},
        Caso{"LinesEndedByCrAlone", [] { return a_capo(linea_builtin(), "\r"); },
             [] { return a_capo(treno_builtin(), "\r"); }, 0, L, 0, true},
        Caso{"LinesEndedByLfAlone", [] { return a_capo(linea_builtin(), "\n"); },
             [] { return a_capo(treno_builtin(), "\n"); }, 0, L, 0, true},
        Caso{"NoFinalLineEnd", [] { return linea_builtin().substr(0, linea_builtin().size() - 2); },
             [] { return treno_builtin().substr(0, treno_builtin().size() - 2); }, 0, L, 0, true},
        Caso{"EmptyLineSource", [] { return std::string(); }, builtin_t, 102, L, 0, false},
        Caso{"EmptyTrainSource", builtin_l, [] { return std::string(); }, 0, T, 0, false},
        Caso{"ThirtyDigitNumber",
             [] { return sostituisci(linea_builtin(), "89000", "123456789012345678901234567890"); },
             builtin_t, 25, L, 2, false},
        Caso{"QuoteThatNeverCloses",
             [] {
               return sostituisci(linea_builtin(), "   (Galleria)(Montalba)",
                                  "   \"(Galleria)(Montalba)");
             },
             builtin_t, 0, L, 0, false},
        Caso{"HundredMegabyteSource",
             [] {
               std::string filler;
               const std::string riga = "- nota di servizio: " + std::string(78, '.') + " -\r\n";
               filler.reserve(100'000'000 + riga.size());
               while (filler.size() < 100'000'000) filler += riga;
               return sostituisci(linea_builtin(), "[fine]", filler + "[fine]");
             },
             builtin_t, 0, L, 0, true}),
    [](const testing::TestParamInfo<Caso>& info) { return std::string(info.param.nome); });

}  // namespace
}  // namespace genera
