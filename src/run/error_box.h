// The messages that end the run: a modal box on Windows when there is no
// other way to reach the user, a line on stderr otherwise.
#pragma once

#include <string>

namespace genera {

/// Shows `testo` and waits until the user has acknowledged it: on Windows
/// a modal box (OK only, no icon, the system's default title), elsewhere a
/// line on stderr. The " Errore n. " box of the run without arguments.
void mostra_errore(const std::string& testo);

/// How a box shows a failure, where one is needed.
enum class TipoFallimento {
  codice,   // " Errore n. 1250": the box of mostra_errore
  arresto,  // a file or the command line: OK, the error icon, the program's name as title
};

/// Reports a failure that ends the run, `testo` without a final line end.
/// It goes to stderr whenever the program has somewhere to write (a
/// console, or stderr redirected to a file or a pipe), and returns at
/// once. Only a Windows program with nowhere to write (started from
/// Explorer) shows it in a modal box and waits for OK. Elsewhere: stderr.
/// `consiglio`, what to do next, follows on a line of its own where a
/// command can be typed; in the box `consiglio_finestra` takes its place,
/// advice that can be followed from Explorer. Either may be empty.
void riporta_fallimento(const std::string& testo, TipoFallimento tipo,
                        const std::string& consiglio = "",
                        const std::string& consiglio_finestra = "");

/// Shows what --help or --version prints: on stdout whenever it leads
/// somewhere; in a box (OK, the program's name as title) for a Windows
/// program with nowhere to write, which would otherwise show nothing.
void mostra_testo(const std::string& testo);

/// True where mostra_testo shows a box: a Windows program with nowhere to
/// write. The text can then be laid out for the box.
bool testo_in_finestra();

}  // namespace genera
