// The scenario's constant content and the five writers that put it on
// disk as text: the line source, the train source, the driver's notes,
// the slowdown order form and the timetable card.
#pragma once

#include <array>
#include <string>

#include "model/route_model.h"

namespace genera {

/// A document: up to 1001 lines, closed by the sentinel line.
using lista_righe = std::array<std::string, 1001>;
inline constexpr const char* kSentinella = "riferimento fine del file";

/// Replaces the file `nome` in `f.cartella` with the lines of `righe` up
/// to the first entry equal to the sentinel (all 1001 when there is none),
/// each followed by CR LF. Throws errore_file.
void scrivi_righe(Form1& f, const std::string& nome, const lista_righe& righe);

void dati_linea(Form1& f);          ///< NAME_linea.txt
void dati_treno(Form1& f);          ///< NAME_CODE-.txt
void dati_note(Form1& f);           ///< NAME_CODE_note.txt
void dati_rallentamenti(Form1& f);  ///< NAME_CODE_rallentamenti.txt
void dati_scheda(Form1& f);         ///< NAME_CODE_scheda_treno.txt

}  // namespace genera
