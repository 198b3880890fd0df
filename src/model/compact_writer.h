// Serialises the route model into the three compact files' byte layouts
// (compact_format.h). Byte by byte, little-endian, on every host.
#pragma once

#include "model/byte_sink.h"
#include "model/route_model.h"

namespace genera {

/// The plan, column 0 then column 1, one variant value a row.
void scrivi_tracciato(const tracciato_linea& t, ByteSink& out);

/// The 87 entries of `testata_linea`, entry 0 first. Names are written as
/// their 8-bit characters; a name longer than 65535 bytes is cut there so
/// its length field stays true.
void scrivi_testata(const std::array<voce_testata, kVociTestata>& testata, ByteSink& out);

/// The cells of `percorso`, cell 0 first, 15 bytes each.
void scrivi_percorso(const std::vector<cella_percorso>& percorso, ByteSink& out);

}  // namespace genera
