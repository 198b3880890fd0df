#include "postpass/signal_codes.h"

#include <algorithm>
#include <string>

namespace genera {
namespace {

constexpr int16_t kValoreCodice = 180;
constexpr int32_t kSegnaliPrimaAvviso = 20;  // cells before a warning board searched for signals
constexpr int32_t kPrimaCellaSegnale = 3;
constexpr int16_t kVelocitaSenzaCodici = 110;  // from this speed no codes along a slowdown
constexpr int32_t kPassoCodici = 8;            // cells between codes along a slowdown
constexpr int32_t kCelleDopoFine = 12;         // cells after a slowdown's end searched for a signal

class Passata {
 public:
  Passata(ScenarioCompilato& s, const std::string& sorgente_treno)
      : s_(s), sorgente_treno_(sorgente_treno), u_(s.ultima_cella()) {}

  void esegui() {
    for (int32_t i = 1; i <= u_ - 2; ++i) {
      origine_ = s_.origini.celle[static_cast<std::size_t>(i)].oggetto;
      if (tipo(i) == TipoCella::avviso_rallentamento) prima_di_avviso(i);
      if (tipo(i) == TipoCella::inizio_rallentamento) rallentamento(i);
    }
  }

 private:
  // A cell beyond either end of the grid is never free.
  bool libera(int32_t c) const {
    return c >= 0 && c <= u_ && cella_libera(s_.percorso[static_cast<std::size_t>(c)]);
  }
  TipoCella tipo(int32_t c) const { return s_.percorso[static_cast<std::size_t>(c)].tipo; }
  void metti(int32_t c) {
    cella_percorso& k = s_.percorso[static_cast<std::size_t>(c)];
    k.tipo = TipoCella::codice;
    k.valore1 = kValoreCodice;
    s_.origini.celle[static_cast<std::size_t>(c)].oggetto = origine_;
  }
  bool abbassa(int32_t c) {
    if (c < 0 || tipo(c) != TipoCella::codice) return false;
    cella_percorso& k = s_.percorso[static_cast<std::size_t>(c)];
    // The smaller of 180 and an Integer: always an Integer.
    k.valore1 = static_cast<int16_t>(minimo(kValoreCodice, k.valore1));
    return true;
  }
  // At the slowdown whose codes find no room, when its record is known.
  void fallisci(Codice codice, int32_t cella, std::string testo) {
    Luogo dove = origine_ != 0 ? luogo_record(s_, origine_) : Luogo{sorgente_treno_, 0, 0, {}};
    dove.posizione = cella * kMetriCella;
    registra_errore_delle_regole(s_, codice, std::move(dove), std::move(testo));
  }
  static std::string metri(int32_t cella) {
    return "cell " + std::to_string(cella) + ", " + std::to_string(cella * kMetriCella) + " m";
  }

  // In front of every signal up to 20 cells before a warning board.
  void prima_di_avviso(int32_t i) {
    for (int32_t k = 1; k <= kSegnaliPrimaAvviso; ++k) {
      const int32_t d = i - k;
      if (d < kPrimaCellaSegnale) break;
      if (tipo(d) != TipoCella::segnale) continue;
      if (libera(d - 1)) {
        metti(d - 1);
      } else if (libera(d - 2)) {
        metti(d - 2);
      } else if (!abbassa(d - 1) && !abbassa(d - 2)) {
        fallisci(Codice::codice_davanti_segnale, d,
                 "no free cell for a code in front of the signal at " + metri(d) +
                     ", before the slowdown warning board at cell " + std::to_string(i));
      }
    }
  }

  // Before a start: a code at the first free cell of i - a, i - a - 1, i - a - 2.
  void prima_di_inizio(int32_t i, int32_t a) {
    if (i <= a + 2) return;
    for (int32_t c = i - a; c >= i - a - 2; --c) {
      if (libera(c)) {
        metti(c);
        return;
      }
    }
    fallisci(Codice::codice_prima_rallentamento, i,
             "no free cell for a code among cells " + std::to_string(i - a) + " to " +
                 std::to_string(i - a - 2) + " before the slowdown starting at " + metri(i));
  }

  // Along a slow slowdown: codes 8 cells apart; returns its end cell
  // (U at the latest).
  int32_t lungo(int32_t i) {
    int32_t n = 0;
    int32_t k = i;
    do {
      ++k;
      ++n;
      if (n == kPassoCodici) {
        if (libera(k)) {
          metti(k);
          n = 0;
        } else if (libera(k - 1)) {
          metti(k - 1);
          n = 1;
        } else if (libera(k + 1)) {
          metti(k + 1);
          n = -1;
        } else {
          // n stays at 8: no further code along this slowdown.
          fallisci(Codice::codice_lungo_rallentamento, k,
                   "no free cell for a code at " + metri(k) +
                       " along the slowdown starting at cell " + std::to_string(i));
        }
      }
    } while (tipo(k) != TipoCella::fine_rallentamento && k < u_);
    return k;
  }

  // The first end-of-slowdown cell after the start, U when there is none.
  int32_t fine(int32_t i) const {
    int32_t k = i + 1;
    while (k < u_ && tipo(k) != TipoCella::fine_rallentamento) ++k;
    return k;
  }

  // After the end: a code in front of the first signal within 12 cells.
  void dopo_fine(int32_t k) {
    const int32_t ultima = std::min(k + kCelleDopoFine, u_);
    for (int32_t s = k; s <= ultima; ++s) {
      if (tipo(s) != TipoCella::segnale) continue;
      if (s - 1 <= 0) return;
      if (libera(s - 1)) {
        metti(s - 1);
      } else if (libera(s - 2)) {
        metti(s - 2);
      } else {
        fallisci(Codice::codice_lungo_rallentamento, k,
                 "no free cell for a code in front of the signal at cell " + std::to_string(s) +
                     " after the slowdown ending at " + metri(k));
      }
      return;
    }
  }

  void rallentamento(int32_t i) {
    prima_di_inizio(i, 5);
    prima_di_inizio(i, 11);
    prima_di_inizio(i, 18);
    const bool lento = s_.percorso[static_cast<std::size_t>(i)].valore1 < kVelocitaSenzaCodici;
    // A fast slowdown has no walk along it: the search after the end starts
    // from its own end cell.
    dopo_fine(lento ? lungo(i) : fine(i));
  }

  ScenarioCompilato& s_;
  const std::string& sorgente_treno_;
  const int32_t u_;
  IdRecord origine_ = 0;  // the slowdown of the board or start being handled
};

}  // namespace

double minimo(double x, double y) { return x > y ? y : x; }

void aggiungi_codici(ScenarioCompilato& s, const std::string& sorgente_treno) {
  Passata(s, sorgente_treno).esegui();
}

}  // namespace genera
