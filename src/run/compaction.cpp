#include "run/compaction.h"

#include <cstdio>

#include "files/output_folder.h"

#include "model/compact_writer.h"
#include "model/file_names.h"
#include "run/diagnostics_output.h"
#include "run/error_box.h"
#include "sources/writers.h"

namespace genera {

std::vector<FileToWrite> documenti_da_scrivere(const std::string& cartella,
                                               const std::string& nome_linea,
                                               const std::string& codice_treno) {
  std::vector<FileToWrite> insieme;
  for (const Documento& d : documenti(nome_linea, codice_treno)) {
    insieme.push_back(
        {join_path(cartella, d.nome), [righe = d.righe](ByteSink& s) {
           testo_righe(righe(), [&](std::string_view riga) { s.write(riga.data(), riga.size()); });
         }});
  }
  return insieme;
}

void scrivi_documenti(FileSystem& fs, const std::string& cartella, const std::string& nome_linea,
                      const std::string& codice_treno) {
  fs.replace_all(documenti_da_scrivere(cartella, nome_linea, codice_treno));
}

Sorgente leggi_sorgente(FileSystem& fs, const std::string& percorso, const std::string& nome,
                        std::string& contenuto) {
  Sorgente s;
  s.nome = nome;
  if (!fs.exists(percorso)) return s;
  s.presente = true;
  try {
    contenuto = fs.read(percorso);
    s.testo = contenuto;
  } catch (const FileError& e) {
    s.illeggibile = e.what();
  }
  return s;
}

std::vector<FileToWrite> file_compatti(const std::string& cartella, const std::string& nome_linea,
                                       const std::string& codice_treno, const ScenarioCompilato& s,
                                       bool con_tracciato) {
  std::vector<FileToWrite> insieme;
  if (con_tracciato)
    insieme.push_back({join_path(cartella, nome_file_linea(nome_linea)),
                       [&s](ByteSink& b) { scrivi_tracciato(s.tracciato, b); }});
  insieme.push_back({join_path(cartella, nome_file_scenario(nome_linea, codice_treno)),
                     [&s](ByteSink& b) { scrivi_testata(s.testata_linea, b); }});
  insieme.push_back({join_path(cartella, nome_file_percorso(nome_linea, codice_treno)),
                     [&s](ByteSink& b) { scrivi_percorso(s.percorso, b); }});
  return insieme;
}

void compila_percorso(Form1& f, int32_t j) {
  f.j = j;
  f.scenario = ScenarioCompilato{};  // a run before this one leaves nothing behind
  FileSystem& fs = *f.file_system;
  const std::string nome_linea = nome_sorgente_linea(f.nome_linea);
  const std::string nome_treno = nome_sorgente_treno(f.nome_linea, f.codice_treno);
  const std::string percorso_linea = join_path(f.cartella, nome_linea);
  const std::string percorso_treno = join_path(f.cartella, nome_treno);
  std::string testo_linea, testo_treno;
  const Sorgente linea = leggi_sorgente(fs, percorso_linea, nome_linea, testo_linea);
  const Sorgente treno = leggi_sorgente(fs, percorso_treno, nome_treno, testo_treno);

  // The built-in run deletes its sources as it reads them.
  const EliminaSorgente elimina = [&](QualeSorgente q) -> std::string {
    try {
      fs.remove(q == QualeSorgente::linea ? percorso_linea : percorso_treno);
      return {};
    } catch (const FileError& e) {
      return e.what();
    }
  };
  f.scenario = compila(linea, treno, {f.nome_linea, f.codice_treno, j != 0}, elimina);
  riporta_diagnostiche(f.scenario.diagnostiche,
                       {{nome_linea, testo_linea}, {nome_treno, testo_treno}});
}

void memorizza_percorso(Form1& f, int32_t j) {
  compila_percorso(f, j);
  if (!f.scenario.scrivibile()) return errore(std::to_string(numero(f.scenario.timbro)));
  f.file_system->replace_all(
      file_compatti(f.cartella, f.nome_linea, f.codice_treno, f.scenario, j != 0));
}

void riporta_avanzi(const OutputFolder& cartella) {
  for (const std::string& a : cartella.leftovers())
    std::fprintf(stderr, "genera_scenario: note: %s\n", a.c_str());
}

void errore(const std::string& a) {
  mostra_errore(" Errore n. " + a);
  std::fflush(nullptr);
}

}  // namespace genera
