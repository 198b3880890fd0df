// The naming rule of the sources: NAME_linea.txt for the line source and
// NAME_CODE-.txt for the train source. The command line takes the line
// name and the train code from the file names by this rule.
#pragma once

#include <optional>
#include <string>

namespace genera {

/// The line name carried by a line source's path (the file name minus
/// "_linea.txt"), or nothing when the file name does not follow the rule.
std::optional<std::string> nome_linea_da_file(const std::string& percorso);

/// The train code carried by a train source's path (the file name minus
/// "NAME_" and "-.txt", NAME being `nome_linea`), or nothing when the file
/// name does not follow the rule.
std::optional<std::string> codice_treno_da_file(const std::string& percorso,
                                                const std::string& nome_linea);

}  // namespace genera
