#include "model/compact_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

#include "model/compact_format.h"

namespace genera {
namespace {

/// Stores `v` little-endian at `p`: a plain copy where the host is
/// little-endian, byte by byte elsewhere. Never a dump of a struct.
template <typename T>
void store_le(char* p, T v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, sizeof v);
  } else {
    using U = std::make_unsigned_t<std::conditional_t<std::is_floating_point_v<T>, uint64_t, T>>;
    U u;
    std::memcpy(&u, &v, sizeof v);
    for (std::size_t i = 0; i < sizeof v; ++i) p[i] = static_cast<char>(u >> (8 * i));
  }
}

/// Collects little-endian fields and hands them on in 64 KB blocks.
class Encoder {
 public:
  explicit Encoder(ByteSink& out) : out_(out) {}
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  void u8(uint8_t v) { put(v); }
  void u16(uint16_t v) { put(v); }
  void i16(int16_t v) { put(v); }
  void i32(int32_t v) { put(v); }
  void f64(double v) { put(v); }
  void bytes(const std::string& s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) put(static_cast<uint8_t>(s[i]));
  }
  void flush() {
    if (used_ != 0) out_.write(buffer_, used_);
    used_ = 0;
  }

 private:
  template <typename T>
  void put(T v) {
    if (used_ + sizeof v > sizeof buffer_) flush();
    store_le(buffer_ + used_, v);
    used_ += sizeof v;
  }

  ByteSink& out_;
  char buffer_[1 << 16];
  std::size_t used_ = 0;
};

// The rows come in three runs (compact_format.h): Integer, double, empty.
void scrivi_colonna(const tracciato_linea& t, const std::vector<double>& colonna, Encoder& e) {
  const int32_t valide = t.righe_valide();
  const int32_t interi = std::min(valide, 2);
  for (int32_t riga = 0; riga < interi; ++riga) {
    e.u16(static_cast<uint16_t>(TipoVariante::intero));
    e.i16(static_cast<int16_t>(colonna[static_cast<std::size_t>(riga)]));
  }
  for (int32_t riga = interi; riga < valide; ++riga) {
    e.u16(static_cast<uint16_t>(TipoVariante::doppio));
    e.f64(colonna[static_cast<std::size_t>(riga)]);
  }
  for (int32_t riga = valide; riga < t.righe; ++riga)
    e.u16(static_cast<uint16_t>(TipoVariante::vuoto));
}

}  // namespace

void scrivi_tracciato(const tracciato_linea& t, ByteSink& out) {
  Encoder e(out);
  scrivi_colonna(t, t.x, e);
  scrivi_colonna(t, t.y, e);
  e.flush();
}

void scrivi_testata(const std::array<voce_testata, kVociTestata>& testata, ByteSink& out) {
  Encoder e(out);
  for (const voce_testata& v : testata) {
    e.u8(v.tipo);
    e.i32(v.dato1);
    e.i32(v.dato2);
    e.i32(v.dato3);
    e.u8(v.opzione);
    const std::size_t n = std::min(v.nome.size(), kNomeMassimo);
    e.u16(static_cast<uint16_t>(n));
    e.bytes(v.nome, n);
    for (int16_t intero : {v.intero1, v.intero2, v.intero3, v.intero4, v.intero5}) e.i16(intero);
    for (uint8_t b : {v.byte1, v.byte2, v.byte3, v.byte4}) e.u8(b);
    e.i32(v.dato4);
  }
  e.flush();
}

void scrivi_percorso(const std::vector<cella_percorso>& percorso, ByteSink& out) {
  Encoder e(out);
  for (const cella_percorso& c : percorso) {
    e.u8(static_cast<uint8_t>(c.tipo));
    e.i16(c.valore1);
    e.i16(c.valore2);
    e.i16(c.valore3);
    e.i16(c.valore4);
    e.u8(c.tempo_segnale);
    e.u8(c.avviso);
    e.u8(c.galleria);
    e.u8(c.velocita);
    e.u8(c.pendenza);
    e.u8(c.aderenza);
  }
  e.flush();
}

}  // namespace genera
