// `lsp`: the language server for editors, on stdin and stdout.
#pragma once

#include <string>

namespace genera {

/// Serves the editor until it sends "exit" or closes stdin. Returns 0
/// after "shutdown" and "exit", else 1.
int comando_lsp(const std::string& versione);

}  // namespace genera
