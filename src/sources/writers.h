// The scenario's constant content and the five writers that lay it out as
// text: the line source, the train source, the driver's notes, the
// slowdown order form and the timetable card. The writers only build the
// lines; the driver writes them to disk.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace genera {

/// A document: up to 1001 lines, closed by the sentinel line.
using ListaRighe = std::array<std::string, 1001>;
inline constexpr const char* kSentinella = "riferimento fine del file";

ListaRighe dati_linea();          ///< NAME_linea.txt
ListaRighe dati_treno();          ///< NAME_CODE-.txt
ListaRighe dati_note();           ///< NAME_CODE_note.txt
ListaRighe dati_rallentamenti();  ///< NAME_CODE_rallentamenti.txt
ListaRighe dati_scheda();         ///< NAME_CODE_scheda_treno.txt

/// The text of `righe` as written to disk: the lines up to the first entry
/// equal to the sentinel (all 1001 when there is none), each followed by
/// CR LF. `scrivi` receives it a line at a time.
template <typename Scrivi>
void testo_righe(const ListaRighe& righe, Scrivi&& scrivi) {
  // The range ends with the list: a list without a sentinel is written
  // whole and never read past its last entry.
  for (const std::string& riga : righe) {
    if (riga == kSentinella) break;
    scrivi(riga);
    scrivi(std::string_view("\r\n"));
  }
}

/// One document of the run: its file name and its writer.
struct Documento {
  std::string nome;
  ListaRighe (*righe)();
};

/// The five documents, in the order the run writes them, named for the
/// line `nome_linea` and the train `codice_treno`.
std::array<Documento, 5> documenti(const std::string& nome_linea, const std::string& codice_treno);

}  // namespace genera
