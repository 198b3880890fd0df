// Equivalence harness: the built-in run's steps on two sources in memory,
// and what they leave, written plainly into a folder, through this tree's
// interface. Every revision carries its own harness; compare.sh builds the
// reference revision with the one that revision carries, so the report
// below must stay the same from one revision to the next.
//
//   harness LINE_FILE TRAIN_FILE OUT_DIR [--no-plan] [--line-name N] [--train-code C]
//
// Names. The line name is N, else the file name of LINE_FILE minus
// "_linea.txt"; the train code is C, else the file name of TRAIN_FILE minus
// "NAME_" and "-.txt". Neither may come out empty (usage error otherwise).
//
// The run. Each of the two files that exists is put into a memory file
// system as SCENARIO/NAME_linea.txt and SCENARIO/NAME_CODE-.txt (the names
// the built-in run uses; SCENARIO is the fixed folder "scenario"); a file
// that does not exist is simply left out. Then, like the built-in run:
// memorizza_percorso(f, j) with j = 0 for --no-plan, else 1, which
// compiles and, unless a race-code slot is taken, writes the files.
//
// OUT_DIR (created when missing) receives report.txt and a copy of every
// file the run left in SCENARIO besides the two sources, under its own
// name. report.txt holds these lines, LF-ended, in this order:
//
//   codice_errore N          the failure code the run ended with, 0 for none
//   posizione_errore N       the position in metres recorded with it
//   codici_gara N            what the race-code stamp returned: 0, 1250 or 1251
//   messaggio TEXT           one line per message, in order, TEXT as
//                            formatta() gives it, with \ written as \\,
//                            CR as \r and LF as \n
//   eccezione KIND: TEXT     only when an exception escaped the run; KIND is
//                            errore_esecuzione, errore_file or
//                            std::exception, TEXT its what() (escaped the
//                            same way). The four kinds of line above are
//                            then left out, and no further step runs.
//   sorgente_linea STATE     STATE: assente (never given), eliminata (gone
//   sorgente_treno STATE     after the run), intatta (same bytes) or
//                            modificata (other bytes)
//   file NAME                one line per file copied to OUT_DIR, by name
//                            in byte order
//
// Exit status: 0 when report.txt was written, whatever the run recorded;
// 2 for a usage error; 3 when a file cannot be read or written.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "model/diagnostics.h"
#include "model/file_names.h"
#include "model/route_model.h"
#include "run/compaction.h"
#include "run/form_load.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kCartella = "scenario";

struct uso_errato {
  std::string testo;
};

struct argomenti {
  std::string linea;
  std::string treno;
  std::string uscita;
  bool senza_tracciato = false;
  std::optional<std::string> nome_linea;
  std::optional<std::string> codice_treno;
};

argomenti leggi_argomenti(int argc, char** argv) {
  argomenti a;
  std::vector<std::string> posizionali;
  for (int i = 1; i < argc; ++i) {
    const std::string s = argv[i];
    if (s == "--no-plan") {
      a.senza_tracciato = true;
    } else if (s == "--line-name" || s == "--train-code") {
      if (i + 1 >= argc) throw uso_errato{s + " needs a value"};
      (s == "--line-name" ? a.nome_linea : a.codice_treno) = argv[++i];
    } else {
      posizionali.push_back(s);
    }
  }
  if (posizionali.size() != 3) throw uso_errato{"three files are needed"};
  a.linea = posizionali[0];
  a.treno = posizionali[1];
  a.uscita = posizionali[2];
  return a;
}

bool finisce_con(const std::string& s, const std::string& coda) {
  return s.size() >= coda.size() && s.compare(s.size() - coda.size(), coda.size(), coda) == 0;
}

std::string nome_linea(const argomenti& a) {
  if (a.nome_linea) return *a.nome_linea;
  const std::string nome = fs::path(a.linea).filename().string();
  const std::string coda = "_linea.txt";
  if (!finisce_con(nome, coda) || nome.size() == coda.size())
    throw uso_errato{a.linea + ": no line name (NAME_linea.txt); give --line-name"};
  return nome.substr(0, nome.size() - coda.size());
}

std::string codice_treno(const argomenti& a, const std::string& linea) {
  if (a.codice_treno) return *a.codice_treno;
  const std::string nome = fs::path(a.treno).filename().string();
  const std::string testa = linea + "_";
  const std::string coda = "-.txt";
  if (nome.size() <= testa.size() + coda.size() || nome.compare(0, testa.size(), testa) != 0 ||
      !finisce_con(nome, coda))
    throw uso_errato{a.treno + ": no train code (" + linea + "_CODE-.txt); give --train-code"};
  return nome.substr(testa.size(), nome.size() - testa.size() - coda.size());
}

std::optional<std::string> leggi_file(const std::string& percorso) {
  std::error_code ec;
  if (!fs::exists(fs::path(percorso), ec)) return std::nullopt;
  std::ifstream in(percorso, std::ios::binary);
  if (!in) throw genera::FileError("cannot read " + percorso);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void scrivi_file(const fs::path& percorso, const std::string& byte) {
  std::ofstream out(percorso, std::ios::binary);
  out.write(byte.data(), static_cast<std::streamsize>(byte.size()));
  if (!out.flush()) throw genera::FileError("cannot write " + percorso.string());
}

/// One report line: no byte of it can break the line.
std::string riga(const std::string& testo) {
  std::string out;
  for (const char c : testo) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string stato(const std::optional<std::string>& prima, const genera::MemoryFileSystem& memoria,
                  const std::string& percorso) {
  if (!prima) return "assente";
  const auto it = memoria.files.find(percorso);
  if (it == memoria.files.end()) return "eliminata";
  return it->second == *prima ? "intatta" : "modificata";
}

int esegui(int argc, char** argv) {
  const argomenti a = leggi_argomenti(argc, argv);
  genera::MemoryFileSystem memoria;
  genera::Form1 f;
  f.file_system = &memoria;
  f.cartella = kCartella;
  f.nome_linea = nome_linea(a);
  f.codice_treno = codice_treno(a, f.nome_linea);

  const std::string percorso_linea =
      genera::join_path(kCartella, genera::nome_sorgente_linea(f.nome_linea));
  const std::string percorso_treno =
      genera::join_path(kCartella, genera::nome_sorgente_treno(f.nome_linea, f.codice_treno));
  const std::optional<std::string> linea = leggi_file(a.linea);
  const std::optional<std::string> treno = leggi_file(a.treno);
  if (linea) memoria.files[percorso_linea] = *linea;
  if (treno) memoria.files[percorso_treno] = *treno;

  std::string rapporto;
  try {
    genera::memorizza_percorso(f, a.senza_tracciato ? 0 : 1);
    const genera::ScenarioCompilato& s = f.scenario;
    rapporto += "codice_errore " + std::to_string(genera::numero(s.codice_errore)) + "\n";
    rapporto += "posizione_errore " + std::to_string(s.posizione_errore) + "\n";
    rapporto += "codici_gara " + std::to_string(genera::numero(s.timbro)) + "\n";
    for (const genera::Diagnostica& d : s.diagnostiche)
      rapporto += "messaggio " + riga(genera::formatta(d)) + "\n";
  } catch (const genera::FileError& e) {
    rapporto += "eccezione errore_file: " + riga(e.what()) + "\n";
  } catch (const std::exception& e) {
    rapporto += "eccezione std::exception: " + riga(e.what()) + "\n";
  }
  rapporto += "sorgente_linea " + stato(linea, memoria, percorso_linea) + "\n";
  rapporto += "sorgente_treno " + stato(treno, memoria, percorso_treno) + "\n";

  const fs::path uscita(a.uscita);
  std::error_code ec;
  fs::create_directories(uscita, ec);
  if (!fs::is_directory(uscita, ec)) throw genera::FileError("cannot create " + a.uscita);
  const std::string prefisso = std::string(kCartella) + genera::path_separator();
  for (const auto& [percorso, byte] : memoria.files) {  // std::map: byte order of the paths
    if (percorso == percorso_linea || percorso == percorso_treno) continue;
    const std::string nome = percorso.substr(prefisso.size());
    rapporto += "file " + riga(nome) + "\n";
    scrivi_file(uscita / nome, byte);
  }
  scrivi_file(uscita / "report.txt", rapporto);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return esegui(argc, argv);
  } catch (const uso_errato& e) {
    std::fprintf(stderr,
                 "harness: %s\nusage: harness LINE_FILE TRAIN_FILE OUT_DIR [--no-plan] "
                 "[--line-name N] [--train-code C]\n",
                 e.testo.c_str());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "harness: %s\n", e.what());
    return 3;
  }
}
