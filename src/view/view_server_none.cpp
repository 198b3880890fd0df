// A build without cpp-httplib (the Windows build): no live preview.
#include "view/view_server.h"

namespace genera {

bool servizio_disponibile() { return false; }

EsitoServizio servi_vista(ContenutoVista, const OpzioniServizio&) {
  return EsitoServizio::non_disponibile;
}

}  // namespace genera
