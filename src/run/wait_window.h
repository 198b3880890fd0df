// The "Attendere" window shown while the run works. Nothing else in the
// program depends on it.
#pragma once

namespace genera {

/// Shows the wait window and paints it once; it is not repainted after.
void mostra_attesa();

/// Takes the window down (also done by the end of the process). Taking
/// down a window that is not shown does nothing.
void chiudi_attesa();

/// The wait window for as long as this lives: shown when made, taken down
/// when it goes, also when the work under it throws.
class AttesaMostrata {
 public:
  AttesaMostrata() { mostra_attesa(); }
  ~AttesaMostrata() { chiudi_attesa(); }
  AttesaMostrata(const AttesaMostrata&) = delete;
  AttesaMostrata& operator=(const AttesaMostrata&) = delete;

  /// Takes the window down before the end of the scope.
  void chiudi() { chiudi_attesa(); }
};

}  // namespace genera
