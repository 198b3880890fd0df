#include "view/view_server.h"

#include <utility>

namespace genera {

void ContenutoVista::aggiorna(std::string pagina, std::string dati, uint64_t versione) {
  const std::lock_guard<std::mutex> lock(mutex_);
  pagina_ = std::move(pagina);
  dati_ = std::move(dati);
  versione_ = versione;
}

std::string ContenutoVista::pagina() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return pagina_;
}

std::string ContenutoVista::dati() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return dati_;
}

uint64_t ContenutoVista::versione() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return versione_;
}

}  // namespace genera
