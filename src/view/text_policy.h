// How the viewer and `plot` show text, one rule for each kind of text:
//   - stored text (station names, board texts) is code page 1252;
//   - text an author wrote (source lines, file names, names given on the
//     command line) is UTF-8 when it is valid UTF-8, else code page 1252.
// Tabs become spaces; other control characters are dropped. The result is
// always valid UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace genera {

/// Stored code page 1252 text as UTF-8.
std::string testo_memorizzato(std::string_view s);

/// Text an author wrote as UTF-8: kept when it is UTF-8, else read as code
/// page 1252.
std::string testo_scritto(std::string_view s);

/// UTF-8 `s` for HTML and SVG, in text and in attribute values: & < > " '
/// escaped, and "{" too, so no name can ever spell a placeholder of the
/// page's frame. Characters XML does not allow are dropped.
std::string testo_markup(std::string_view s);

}  // namespace genera
