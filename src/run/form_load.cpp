#include "run/form_load.h"

#include "files/output_folder.h"
#include "run/compaction.h"
#include "run/wait_window.h"
#include "sources/writers.h"

namespace genera {
namespace {

std::string testo(const FileToWrite& f) {
  StringSink s;
  f.produce(s);
  return s.bytes;
}

/// Why the run will not take the name `p` for one of its sources.
[[noreturn]] void rifiuta_sorgente(FileSystem& fs, const std::string& p, const std::string& linea,
                                   const std::string& treno) {
  const FileInfo info = fs.stat(p);
  const std::string perche = info.kind == FileKind::regular
                                 ? "it exists already, with bytes of its own (an author's edits?)"
                             : info.kind == FileKind::folder ? "a folder stands there"
                             : info.kind == FileKind::link
                                 ? "a symbolic link stands there"
                                 : "a file that is not a regular file stands there";
  throw FileError("cannot write " + p + ": " + perche +
                  "; the run without arguments would overwrite and delete it. Compile the sources "
                  "with: genera_scenario compile " +
                  linea + " " + treno + ", or move them out of " + folder_of(p));
}

}  // namespace

void Form_Load(Form1& f) {
  f.nome_linea = kNomeLinea;
  f.codice_treno = kCodiceTreno;
  const AttesaMostrata attesa;
  FileSystem& fs = *f.file_system;
  {
    // The whole run holds the folder: another run, or a compile, waits.
    OutputFolder cartella(fs, f.cartella);
    std::vector<FileToWrite> documenti =
        documenti_da_scrivere(f.cartella, f.nome_linea, f.codice_treno);
    const std::vector<FileToWrite> sorgenti(documenti.begin(), documenti.begin() + 2);
    documenti.erase(documenti.begin(), documenti.begin() + 2);
    std::vector<FileToWrite> uscite = documenti;
    for (FileToWrite& c : file_compatti(f.cartella, f.nome_linea, f.codice_treno, f.scenario, true))
      uscite.push_back({c.path, {}});
    // Every output is checked before the first byte is written, and the two
    // sources go only where nothing stands, or the very same bytes do (a
    // run killed before it deleted them): never over an author's edits.
    cartella.check(uscite);
    std::vector<std::string> testi;
    for (const FileToWrite& s : sorgenti) {
      testi.push_back(testo(s));
      const FileInfo info = fs.stat(s.path);
      if (info.kind != FileKind::missing &&
          (info.kind != FileKind::regular || fs.read(s.path) != testi.back()))
        rifiuta_sorgente(fs, s.path, name_of(sorgenti[0].path), name_of(sorgenti[1].path));
    }
    for (std::size_t i = 0; i < sorgenti.size(); ++i)
      if (cartella.place(sorgenti[i].path, testi[i]) == Placed::different)
        rifiuta_sorgente(fs, sorgenti[i].path, name_of(sorgenti[0].path),
                         name_of(sorgenti[1].path));

    compila_percorso(f, 1);
    // The documents and the compact files are one set: a run cut short
    // leaves the old set or the new one, never a mix.
    if (f.scenario.scrivibile()) {
      for (FileToWrite& c :
           file_compatti(f.cartella, f.nome_linea, f.codice_treno, f.scenario, true))
        documenti.push_back(std::move(c));
    }
    cartella.commit(documenti);
    riporta_avanzi(cartella);
  }
  if (!f.scenario.scrivibile()) errore(std::to_string(numero(f.scenario.timbro)));
}

}  // namespace genera
