// The command line's two ends: the arguments coming in and the text going
// out, as a console program has them everywhere, also in the Windows
// build, which is a windowed program. Text is UTF-8 on both ends.
#pragma once

#include <string>
#include <vector>

namespace genera {

/// Gives stdout and stderr to the console the program was started from,
/// where the platform leaves a windowed program without them, and makes
/// the UTF-8 the program writes reach a console whole. Streams that are
/// redirected (to a file, a pipe) are left as they are and get the bytes.
void collega_console();

/// The program's arguments in UTF-8, `argv[0]` first. On Windows they are
/// read from the wide command line, since `argv` holds them in the ANSI
/// code page, which cannot spell every name.
std::vector<std::string> argomenti_programma(int argc, char** argv);

/// True when stderr is a terminal a person reads (POSIX); the Windows
/// console gets the plain form.
bool errori_su_terminale();

/// Puts stdin and stdout in binary mode, so a protocol's bytes pass
/// unchanged (Windows would turn "\n" into "\r\n"); nothing on POSIX.
void flussi_binari();
/// True when stderr reaches a terminal or a console a person reads, on
/// every platform; false for a file, a pipe, or nowhere at all (a Windows
/// program started from Explorer).
bool errori_su_console();

}  // namespace genera
