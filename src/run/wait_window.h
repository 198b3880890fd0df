// The "Attendere" window shown while the run works. Nothing else in the
// program depends on it.
#pragma once

namespace genera {

/// Shows the wait window and paints it once; it is not repainted after.
void mostra_attesa();

/// Takes the window down (also done by the end of the process).
void chiudi_attesa();

}  // namespace genera
