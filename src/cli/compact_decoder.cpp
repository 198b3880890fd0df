#include "cli/compact_decoder.h"

#include <bit>
#include <cstdint>

#include "model/compact_format.h"

namespace genera {
namespace {

namespace L = layout;

/// A cursor over the bytes that refuses to read past their end.
class Lettore {
 public:
  explicit Lettore(std::string_view bytes) : bytes_(bytes) {}

  std::size_t posizione() const { return pos_; }
  std::size_t rimasti() const { return bytes_.size() - pos_; }
  const unsigned char* qui() const {
    return reinterpret_cast<const unsigned char*>(bytes_.data()) + pos_;
  }
  void avanza(std::size_t n) { pos_ += n; }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

double leggi_doppio(const unsigned char* p) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
  return std::bit_cast<double>(bits);
}

std::string byte(std::size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

std::string mancano(std::size_t servono, std::size_t rimasti) {
  return byte(servono) + " needed, " + byte(rimasti) + " left";
}

}  // namespace

Decodificato<TestataLetta> decodifica_testata(std::string_view bytes) {
  TestataLetta voci{};
  Lettore r(bytes);
  constexpr std::size_t kTesta = L::kVoceNome;                 // up to the name
  constexpr std::size_t kCoda = L::kVoceFissa - L::kVoceNome;  // after the name
  for (int i = 0; i < kVociTestata; ++i) {
    const std::string voce = "entry " + std::to_string(i);
    if (r.rimasti() < kTesta)
      return ErroreFormato{r.posizione(), "the file ends inside " + voce + " (" +
                                              mancano(kTesta, r.rimasti()) +
                                              " for its fields before the name)"};
    const unsigned char* p = r.qui();
    voce_testata& v = voci[static_cast<std::size_t>(i)];
    v.tipo = p[L::kVoceTipo];
    v.dato1 = L::leggi_i32(p + L::kVoceDato1);
    v.dato2 = L::leggi_i32(p + L::kVoceDato2);
    v.dato3 = L::leggi_i32(p + L::kVoceDato3);
    v.opzione = p[L::kVoceOpzione];
    const std::size_t n = L::leggi_u16(p + L::kVoceLunghezzaNome);
    r.avanza(kTesta);
    if (r.rimasti() < n)
      return ErroreFormato{r.posizione(), "the name of " + voce + " is " + byte(n) +
                                              " long, but only " + byte(r.rimasti()) + " left"};
    v.nome.assign(reinterpret_cast<const char*>(r.qui()), n);
    r.avanza(n);
    if (r.rimasti() < kCoda)
      return ErroreFormato{r.posizione(), "the file ends inside " + voce + " (" +
                                              mancano(kCoda, r.rimasti()) +
                                              " for its fields after the name)"};
    p = r.qui();
    v.intero1 = L::leggi_i16(p + L::kVoceInteri);
    v.intero2 = L::leggi_i16(p + L::kVoceInteri + 2);
    v.intero3 = L::leggi_i16(p + L::kVoceInteri + 4);
    v.intero4 = L::leggi_i16(p + L::kVoceInteri + 6);
    v.intero5 = L::leggi_i16(p + L::kVoceInteri + 8);
    v.byte1 = p[L::kVoceByte];
    v.byte2 = p[L::kVoceByte + 1];
    v.byte3 = p[L::kVoceByte + 2];
    v.byte4 = p[L::kVoceByte + 3];
    v.dato4 = L::leggi_i32(p + L::kVoceDato4);
    r.avanza(kCoda);
  }
  if (r.rimasti() != 0)
    return ErroreFormato{r.posizione(), "the " + std::to_string(kVociTestata) +
                                            " entries end here; " + byte(r.rimasti()) +
                                            " left over after them"};
  return voci;
}

Decodificato<std::vector<cella_percorso>> decodifica_percorso(std::string_view bytes) {
  const std::size_t intere = bytes.size() / L::kCella;
  if (bytes.size() % L::kCella != 0)
    return ErroreFormato{intere * L::kCella, byte(bytes.size() % L::kCella) + " left over after " +
                                                 std::to_string(intere) + " whole cells of " +
                                                 byte(L::kCella)};
  std::vector<cella_percorso> celle(intere);
  const auto* base = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t k = 0; k < intere; ++k) {
    const unsigned char* p = base + k * L::kCella;
    cella_percorso& c = celle[k];
    c.tipo = static_cast<TipoCella>(
        p[L::kCellaTipo]);  // any byte: a file read back may hold one the rules never store
    c.valore1 = L::leggi_i16(p + L::kCellaValore1);
    c.valore2 = L::leggi_i16(p + L::kCellaValore2);
    c.valore3 = L::leggi_i16(p + L::kCellaValore3);
    c.valore4 = L::leggi_i16(p + L::kCellaValore4);
    c.tempo_segnale = p[L::kCellaTempoSegnale];
    c.avviso = p[L::kCellaAvviso];
    c.galleria = p[L::kCellaGalleria];
    c.velocita = p[L::kCellaVelocita];
    c.pendenza = p[L::kCellaPendenza];
    c.aderenza = p[L::kCellaAderenza];
  }
  return celle;
}

Decodificato<TracciatoLetto> decodifica_tracciato(std::string_view bytes) {
  std::vector<ValoreVariante> valori;
  Lettore r(bytes);
  while (r.rimasti() > 0) {
    const std::string quale = "value " + std::to_string(valori.size());
    if (r.rimasti() < L::kVarianteVuota)
      return ErroreFormato{r.posizione(), "the file ends inside the kind code of " + quale};
    const uint16_t codice = L::leggi_u16(r.qui());
    ValoreVariante v;
    std::size_t lunghezza = 0;
    switch (codice) {
      case static_cast<uint16_t>(TipoVariante::vuoto):
        lunghezza = L::kVarianteVuota;
        break;
      case static_cast<uint16_t>(TipoVariante::intero):
        lunghezza = L::kVarianteIntero;
        break;
      case static_cast<uint16_t>(TipoVariante::doppio):
        lunghezza = L::kVarianteDoppio;
        break;
      default:
        return ErroreFormato{r.posizione(), quale + " has kind code " + std::to_string(codice) +
                                                "; only 0 (empty), 2 (Integer) and 5 (double) "
                                                "are stored"};
    }
    if (r.rimasti() < lunghezza)
      return ErroreFormato{r.posizione(), "the file ends inside " + quale + " (" +
                                              mancano(lunghezza, r.rimasti()) + ")"};
    v.tipo = static_cast<TipoVariante>(codice);
    const unsigned char* dati = r.qui() + L::kVarianteVuota;
    if (v.tipo == TipoVariante::intero) v.numero = L::leggi_i16(dati);
    if (v.tipo == TipoVariante::doppio) v.numero = leggi_doppio(dati);
    valori.push_back(v);
    r.avanza(lunghezza);
  }
  if (valori.size() % 2 != 0)
    return ErroreFormato{r.posizione(), "the file holds " + std::to_string(valori.size()) +
                                            " values, which do not split into two equal "
                                            "columns"};
  TracciatoLetto t;
  const auto meta = static_cast<std::ptrdiff_t>(valori.size() / 2);
  t.x.assign(valori.begin(), valori.begin() + meta);
  t.y.assign(valori.begin() + meta, valori.end());
  return t;
}

}  // namespace genera
