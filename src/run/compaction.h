// The compaction step: parse both sources onto the route model, run the
// post-pass, stamp the race codes and write the three compact files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/route_model.h"

namespace genera {

/// Both readers, line source first. Traps every run-time failure of the
/// parse as code 25: closes, deletes both sources, adds a message.
void memorizza_dati(Form1& f);

/// Everything up to the files: resets the table and the counters, parses,
/// runs the post-pass and stamps the race codes. Returns 0, or 1250 / 1251
/// when a race-code slot was taken (the model is then not to be written).
int32_t compatta(Form1& f, int32_t j);

/// Writes the line compact file (only when `f.j` is set), the scenario file
/// and the route file, in that order, each replaced whole. Returns the
/// paths written. Throws errore_file naming the path that failed.
std::vector<std::string> scrivi_file_compatti(Form1& f);

/// Every message of the parse and the post-pass, one line each, on stderr.
void riporta_messaggi(const Form1& f);

/// compatta, then the files; a taken race-code slot ends the program
/// through errore. The messages are reported before that.
void memorizza_percorso(Form1& f, int32_t j);

/// Shows " Errore n. " & a and ends the program; does not return.
[[noreturn]] void errore(const std::string& a);

}  // namespace genera
