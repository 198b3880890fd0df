// The whole run of the built-in scenario, in its fixed order.
#pragma once

#include "model/route_model.h"

namespace genera {

inline constexpr const char* kNomeLinea = "LIVRA_MONTALBA";
inline constexpr const char* kCodiceTreno = "R47316";

/// Names, wait window, the five writers, then memorizza_percorso with j = 1,
/// all in `f.cartella` through `f.file_system`. Throws errore_file when a
/// file cannot be written; ends the program through errore on 1250 / 1251.
void Form_Load(Form1& f);

}  // namespace genera
