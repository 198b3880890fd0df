// `view`: the interactive page of a line and a train, written to a file or
// served with live reload while the author edits the sources.
#pragma once

#include <optional>
#include <string>

#include "cli/compile_command.h"

namespace genera {

inline constexpr int kPortaVista = 8765;

/// Writes the page of the compiled sources into `html` (default
/// NAME_CODE.html in the current folder). Returns the exit status; throws
/// UsageError and FileError.
int comando_vista(const OpzioniSorgenti& o, const std::optional<std::string>& html);

/// Serves the page on 127.0.0.1:`porta` (0: any free port, named on
/// stdout) and recompiles whenever a source changes on disk, until SIGINT
/// or SIGTERM; writes nothing. Returns 0 once stopped; throws UsageError in
/// a build without the server and FileError for a source that cannot be
/// read at the start or a port in use.
int comando_vista_servita(const OpzioniSorgenti& o, int porta);

}  // namespace genera
