#include "view/plot_svg.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include <cstdarg>
#include <cstdio>

#include "model/cell_kinds.h"
#include "view/drawable.h"
#include "view/label_rows.h"
#include "view/palette.h"
#include "view/text_policy.h"

namespace genera {
namespace {

// The picture's frame, in pixels: wide enough for a laptop screen.
constexpr double kLarghezza = 1400;
constexpr double kSinistra = 90;
constexpr double kDestra = 40;
constexpr double kLarghezzaUtile = kLarghezza - kSinistra - kDestra;
constexpr double kPiantaAlto = 86;
constexpr double kPiantaAltezza = 540;
constexpr double kLungoAlto = 700;   // title of the part along the line
constexpr double kCorsieAlto = 716;  // top of the first lane
constexpr double kSpazioCorsie = 6;  // between two lanes
constexpr double kStrisciaAltezza = 120;
constexpr double kSpazioStrisce = 14;  // between two profile strips
constexpr double kRigaEtichette = 15;  // a row of labels in a lane
constexpr int kPassoPianta = 50;       // every 50th metre of the plan is drawn
constexpr const char* kCaratteri = "DejaVu Sans, Arial, Helvetica, sans-serif";

constexpr const char* kColoreLinea = colore("line").data();
constexpr const char* kColoreCoda = colore("tail").data();
constexpr const char* kColoreGalleria = colore("tunnel").data();
constexpr const char* kColoreIlluminata = colore("lit").data();
constexpr const char* kColoreSegnale = colore("signal").data();
constexpr const char* kColorePendenza = colore("gradient").data();
constexpr const char* kColoreVelocita = colore("speed").data();
constexpr const char* kColoreAderenza = colore("adhesion").data();
constexpr const char* kColoreRallentamento = colore("slowdown").data();
constexpr const char* kColoreCodice = colore("code").data();
constexpr const char* kColoreCartello = colore("board").data();
constexpr const char* kColoreArea = colore("area").data();

// GCC is told the printf is GNU's, which takes %zu on MinGW too; clang knows
// no other kind and checks plain printf.
#if defined(__clang__)
#define GENERA_FORMATO_PRINTF [[gnu::format(printf, 1, 2)]]
#else
#define GENERA_FORMATO_PRINTF [[gnu::format(gnu_printf, 1, 2)]]
#endif

/// printf-style formatting into a string of whatever length it needs.
GENERA_FORMATO_PRINTF std::string formato(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copia;
  va_copy(copia, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copia);
  va_end(copia);
  std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  va_end(args);
  return out;
}

/// A step of 1, 2 or 5 times a power of ten giving about `quante` ticks.
double passo_tacche(double ampiezza, int quante) {
  if (!(ampiezza > 0) || !std::isfinite(ampiezza)) return 1;
  const double grezzo = ampiezza / quante;
  const double potenza = std::pow(10.0, std::floor(std::log10(grezzo)));
  for (const double m : {1.0, 2.0, 5.0, 10.0})
    if (grezzo <= m * potenza) return m * potenza;
  return 10 * potenza;
}

/// Tick values from `da` to `a` at multiples of `passo`.
std::vector<double> tacche(double da, double a, double passo) {
  std::vector<double> out;
  if (!(passo > 0) || !std::isfinite(da) || !std::isfinite(a)) return out;
  for (double v = std::ceil(da / passo) * passo; v <= a + passo * 1e-9 && out.size() < 200;
       v += passo)
    out.push_back(std::abs(v) < passo * 1e-9 ? 0.0 : v);
  return out;
}

std::string etichetta(double v, double passo) {
  return passo >= 1 ? formato("%.0f", v) : passo >= 0.1 ? formato("%.1f", v) : formato("%.2f", v);
}

/// A generous width of `t` in pixels at font size `corpo`: a label must
/// never be drawn wider than the room kept for it.
double larghezza_testo(const std::string& t, double corpo) {
  return larghezza_etichetta(t.size(), corpo);
}

/// What the picture shows, taken from the drawable model: every object at
/// the cell it occupies.
struct Punto {
  double metri;
  int32_t cella;
};
struct StazioneDisegnata {
  std::string nome;
  double metri;
  double inizio, fine;  // its area
  bool con_orario;
  int32_t cella_fermata;  // -1: none
};
struct RallentamentoDisegnato {
  double inizio, fine;
  int velocita;
  int32_t cella_inizio, cella_fine;  // -1: none
};
struct GalleriaDisegnata {
  double da, a;
  bool illuminata;
};
struct CartelloDisegnato {
  Punto dove;
  bool indicatore_velocita;  // kind 6; else an indicator board (kind 14)
  std::string testo;
};

struct DatiDisegno {
  double lunghezza = 0;   // metres of line (entry 84)
  std::size_t celle = 0;  // cells of the grid
  std::vector<StazioneDisegnata> stazioni;
  std::vector<Punto> segnali;
  std::vector<GalleriaDisegnata> gallerie;
  std::vector<Punto> marche_gallerie;  // lit-tunnel markers
  std::vector<RallentamentoDisegnato> rallentamenti;
  std::vector<Punto> avvisi;        // warning boards
  std::vector<Punto> prima_avvisi;  // the cells before them
  std::vector<Punto> codici;        // code cells
  std::vector<Punto> abbattimenti;  // code cuts
  std::vector<CartelloDisegnato> cartelli;
  std::vector<Corsa> pendenza, velocita, aderenza;
  std::size_t celle_profilo = 0;
};

/// The speeds a packed value of a speed-indicator board holds first (its
/// speed s, times 20).
int velocita_s(int16_t v) { return static_cast<int>(std::floor(v / 20.0)); }

DatiDisegno raccogli(const ScenarioDisegnabile& g) {
  DatiDisegno d;
  d.lunghezza = std::max(0, g.lunghezza);
  d.celle = static_cast<std::size_t>(g.celle);
  d.celle_profilo = static_cast<std::size_t>(g.celle_profilo);
  d.pendenza = g.pendenza;
  d.velocita = g.velocita;
  d.aderenza = g.aderenza;
  for (const StazioneDisegnabile& s : g.stazioni)
    d.stazioni.push_back({s.nome, static_cast<double>(s.posizione), static_cast<double>(s.inizio),
                          static_cast<double>(s.fine), s.orario > 0, s.cella_fermata});
  for (const GalleriaDisegnabile& t : g.gallerie)
    d.gallerie.push_back({static_cast<double>(t.da), static_cast<double>(t.a), t.illuminata});
  for (const RallentamentoDisegnabile& r : g.rallentamenti)
    d.rallentamenti.push_back({static_cast<double>(r.da), static_cast<double>(r.a), r.velocita,
                               r.cella_inizio, r.cella_fine});
  for (const OggettoDisegnabile& o : g.oggetti) {
    const Punto p{static_cast<double>(o.metri), o.cella};
    switch (o.tipo) {
      case TipoCella::segnale:
        d.segnali.push_back(p);
        break;
      case TipoCella::avviso_rallentamento:
        d.avvisi.push_back(p);
        break;
      case TipoCella::prima_avviso:
        d.prima_avvisi.push_back(p);
        break;
      case TipoCella::codice:
        d.codici.push_back(p);
        break;
      case TipoCella::abbattimento:
        d.abbattimenti.push_back(p);
        break;
      case TipoCella::marca_galleria:
        d.marche_gallerie.push_back(p);
        break;
      case TipoCella::indicatore_v_max:
        d.cartelli.push_back({p, true,
                              formato("%d/%d/%d", velocita_s(o.valori[0]), velocita_s(o.valori[1]),
                                      velocita_s(o.valori[2]))});
        break;
      case TipoCella::cartello: {
        const auto t = g.testi_cartelli.find(o.valori[0]);
        d.cartelli.push_back(
            {p, false, t == g.testi_cartelli.end() ? std::string() : testo_cartello(t->second)});
        break;
      }
      default:
        break;
    }
  }
  return d;
}

/// The group of one object of the grid, named for the tests and for
/// whoever reads the picture: its kind, its cell and where the cell begins.
std::string apri_oggetto(TipoCella tipo, const Punto& p) {
  const DescrizioneTipoCella* t = descrivi_tipo_cella(tipo);
  return formato("<g data-tipo=\"%s\" data-cella=\"%ld\" data-m=\"%.0f\">",
                 t ? t->chiave : "unknown", long{p.cella}, p.metri);
}

class Svg {
 public:
  void operator+=(const std::string& s) { out_ += s; }
  void testo(double x, double y, const std::string& t, const char* extra = "") {
    out_ += formato("<text x=\"%.1f\" y=\"%.1f\" %s>", x, y, extra) + testo_markup(t) + "</text>\n";
  }
  void linea(double x1, double y1, double x2, double y2, const char* stile) {
    out_ += formato("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" %s/>\n", x1, y1, x2, y2,
                    stile);
  }
  void rettangolo(double x, double y, double w, double h, const std::string& stile) {
    out_ += formato("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" ", x, y, w, h) +
            stile + "/>\n";
  }
  std::string fine() { return out_ + "</svg>\n"; }

 private:
  std::string out_;
};

// ---- the plan ----

struct VistaPianta {
  double sinistra = kSinistra, larghezza = kLarghezzaUtile;  // the panel, pixels
  double scala = 1;                                          // pixels per metre, the same both ways
  double cx = 0, cy = 0;                                     // metres at the panel's centre
  double px(double x) const { return sinistra + larghezza / 2 + (x - cx) * scala; }
  double py(double y) const { return kPiantaAlto + kPiantaAltezza / 2 - (y - cy) * scala; }
};

/// The rows of the plan that hold a point; 0 when there is no plan.
std::size_t righe_con_punto(const tracciato_linea& t) {
  const auto righe = static_cast<std::size_t>(std::max(t.righe, 0));
  return std::min({righe, t.x.size(), t.y.size()});
}

bool punto_buono(const tracciato_linea& t, std::size_t r) {
  return std::isfinite(t.x[r]) && std::isfinite(t.y[r]);
}

/// The plan's path from metre `da` to metre `a`, one point every `passo`.
std::string tratto(const tracciato_linea& t, const VistaPianta& v, std::size_t da, std::size_t a,
                   std::size_t passo) {
  std::string d;
  bool a_capo = true;
  for (std::size_t r = da;; r = std::min(r + passo, a)) {
    if (punto_buono(t, r)) {
      d += formato("%s%.1f %.1f", a_capo ? "M" : " L", v.px(t.x[r]), v.py(t.y[r]));
      a_capo = false;
    } else {
      a_capo = true;
    }
    if (r >= a) break;
  }
  return d;
}

/// A label's box, to keep names from covering each other.
struct Riquadro {
  double x0, y0, x1, y1;
  /// True when the two boxes come within 2 pixels of each other.
  bool tocca(const Riquadro& o) const {
    return x0 < o.x1 + 2 && o.x0 < x1 + 2 && y0 < o.y1 + 2 && o.y0 < y1 + 2;
  }
};

/// A name beside a point of the plan: on the side across from the line's
/// heading, alternating, moved along until it covers no earlier name or
/// point. A name that finds no free place is left out (the table and the
/// lanes below still name it).
void nome_in_pianta(Svg& svg, std::vector<Riquadro>& presi, const VistaPianta& v, double x,
                    double y, double dx, double dy, const std::string& nome, std::size_t alterna,
                    const char* stile) {
  const double w = larghezza_testo(nome, 12), h = 12;
  for (int tentativo = 0; tentativo < 12; ++tentativo) {
    const double lato = ((alterna + static_cast<std::size_t>(tentativo)) % 2 == 0) ? 1 : -1;
    // Two tries at each shift, one each side: 0, 0, -16, -16, 32, 32, ...
    const int passi = tentativo / 2;
    const double lungo = 16.0 * passi * (tentativo % 4 < 2 ? 1 : -1);
    // The normal of the heading, then a shift along it.
    const double nx = -dy * lato, ny = dx * lato;
    const double cx = x + nx * (10 + w / 2 * std::abs(nx)) + dx * lungo;
    const double cy = y + ny * 14 + dy * lungo;
    const Riquadro r{cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
    if (r.x0 < v.sinistra || r.x1 > v.sinistra + v.larghezza || r.y0 < kPiantaAlto ||
        r.y1 > kPiantaAlto + kPiantaAltezza)
      continue;
    if (std::any_of(presi.begin(), presi.end(), [&](const Riquadro& q) { return q.tocca(r); }))
      continue;
    presi.push_back(r);
    svg.testo(cx, r.y1 - 2, nome, stile);
    return;
  }
}

/// Station names beside the line, and the line's end.
void nomi_pianta(Svg& svg, const tracciato_linea& t, const VistaPianta& v, const DatiDisegno& d,
                 std::size_t righe) {
  std::vector<Riquadro> presi;
  auto direzione = [&](std::size_t r, double& dx, double& dy) {
    // The heading on screen, from 300 m behind to 300 m ahead.
    const std::size_t a = r >= 300 ? r - 300 : 0, b = std::min(r + 300, righe - 1);
    dx = 0, dy = -1;
    if (punto_buono(t, a) && punto_buono(t, b)) {
      dx = v.px(t.x[b]) - v.px(t.x[a]);
      dy = v.py(t.y[b]) - v.py(t.y[a]);
      const double n = std::hypot(dx, dy);
      dx = n > 0 ? dx / n : 0;
      dy = n > 0 ? dy / n : -1;
    }
  };
  auto riga = [&](double metri) {
    return static_cast<std::size_t>(std::clamp(metri, 0.0, static_cast<double>(righe - 1)));
  };
  // The points themselves are taken first: no name may cover one.
  for (const StazioneDisegnata& s : d.stazioni) {
    const std::size_t r = riga(s.metri);
    if (!punto_buono(t, r)) continue;
    const double x = v.px(t.x[r]), y = v.py(t.y[r]);
    svg += formato(
        "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"5\" fill=\"#fff\" stroke=\"#222\" "
        "stroke-width=\"2\"/>\n",
        x, y);
    presi.push_back({x - 6, y - 6, x + 6, y + 6});
  }
  const std::size_t fine = riga(d.lunghezza);
  if (d.lunghezza > 0 && punto_buono(t, fine)) {
    double dx, dy;
    direzione(fine, dx, dy);
    const double x = v.px(t.x[fine]), y = v.py(t.y[fine]);
    svg.linea(x + dy * 9, y - dx * 9, x - dy * 9, y + dx * 9, "stroke=\"#000\" stroke-width=\"3\"");
    nome_in_pianta(svg, presi, v, x, y, dx, dy, "end of line", 0,
                   "font-size=\"12\" text-anchor=\"middle\" stroke=\"#fbfbf8\" stroke-width=\"3\" "
                   "paint-order=\"stroke\"");
  }
  for (std::size_t i = 0; i < d.stazioni.size(); ++i) {
    const std::size_t r = riga(d.stazioni[i].metri);
    if (!punto_buono(t, r)) continue;
    double dx, dy;
    direzione(r, dx, dy);
    nome_in_pianta(svg, presi, v, v.px(t.x[r]), v.py(t.y[r]), dx, dy, d.stazioni[i].nome, i,
                   "font-size=\"12\" fill=\"#222\" text-anchor=\"middle\" stroke=\"#fbfbf8\" "
                   "stroke-width=\"3\" paint-order=\"stroke\"");
  }
}

/// The stations as a table beside the plan: km, name, scheduled time.
void tabella_stazioni(Svg& svg, const ScenarioCompilato& f, const DatiDisegno& d, double sinistra) {
  svg.testo(sinistra, kPiantaAlto + 14, "Stations", "font-size=\"14\" font-weight=\"bold\"");
  double y = kPiantaAlto + 38;
  svg.testo(sinistra, y, "km", "font-size=\"12\" fill=\"#555\"");
  svg.testo(sinistra + 60, y, "name", "font-size=\"12\" fill=\"#555\"");
  // The times after the longest name.
  double larghezza_nomi = larghezza_testo("name", 12);
  for (const StazioneDisegnata& s : d.stazioni)
    larghezza_nomi = std::max(larghezza_nomi, larghezza_testo(s.nome, 12));
  const double orari = sinistra + 60 + larghezza_nomi + 16;
  svg.testo(orari, y, "time", "font-size=\"12\" fill=\"#555\"");
  const auto righe = static_cast<std::size_t>((kPiantaAltezza - 60) / 18);
  for (std::size_t i = 0; i < d.stazioni.size(); ++i) {
    y += 18;
    if (i + 1 == righe && d.stazioni.size() > righe) {
      svg.testo(sinistra + 60, y, "and " + std::to_string(d.stazioni.size() - i) + " more",
                "font-size=\"12\" fill=\"#555\"");
      break;
    }
    svg.testo(sinistra, y, formato("%.2f", d.stazioni[i].metri / 1000), "font-size=\"12\"");
    svg.testo(sinistra + 60, y, d.stazioni[i].nome, "font-size=\"12\"");
    const int32_t secondi = f.testata_linea[i + 1].dato4;
    if (secondi > 0)
      svg.testo(orari, y,
                formato("%02ld:%02ld:%02ld", long{secondi / 3600}, long{secondi / 60 % 60},
                        long{secondi % 60}),
                "font-size=\"12\"");
  }
}

void disegna_pianta(Svg& svg, const ScenarioCompilato& f, const DatiDisegno& d) {
  const tracciato_linea& t = f.tracciato;
  const std::size_t righe = righe_con_punto(t);
  svg.testo(kSinistra, kPiantaAlto - 12, "Plan of the line (km)",
            "font-size=\"15\" font-weight=\"bold\"");
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  bool qualcuno = false;
  for (std::size_t r = 0; r < righe; ++r) {
    if (!punto_buono(t, r)) continue;
    min_x = qualcuno ? std::min(min_x, t.x[r]) : t.x[r];
    max_x = qualcuno ? std::max(max_x, t.x[r]) : t.x[r];
    min_y = qualcuno ? std::min(min_y, t.y[r]) : t.y[r];
    max_y = qualcuno ? std::max(max_y, t.y[r]) : t.y[r];
    qualcuno = true;
  }
  VistaPianta v;
  if (qualcuno) {
    // A plan taller than wide leaves room on the right for the stations.
    const double alto = std::max(max_y - min_y, 1.0), largo = std::max(max_x - min_x, 1.0);
    const double serve = largo / alto * kPiantaAltezza * 1.1 + 120;
    if (kLarghezzaUtile - serve >= 380) v.larghezza = std::max(serve, 480.0);
  }
  svg.rettangolo(v.sinistra, kPiantaAlto, v.larghezza, kPiantaAltezza,
                 "fill=\"#fbfbf8\" stroke=\"#bbb\"");
  if (v.larghezza < kLarghezzaUtile) tabella_stazioni(svg, f, d, v.sinistra + v.larghezza + 40);
  if (!qualcuno) {
    svg.testo(v.sinistra + v.larghezza / 2, kPiantaAlto + kPiantaAltezza / 2,
              "no plan: the line source gave no length", "text-anchor=\"middle\" fill=\"#666\"");
    return;
  }
  // Equal scale both ways, a margin all round, at least 1 km shown.
  const double ampio =
      std::max({max_x - min_x, (max_y - min_y) * v.larghezza / kPiantaAltezza, 1000.0});
  v.scala = v.larghezza / (ampio * 1.12);
  v.cx = (min_x + max_x) / 2;
  v.cy = (min_y + max_y) / 2;

  // Grid and axes in km.
  const double x0 = v.cx - v.larghezza / 2 / v.scala, x1 = v.cx + v.larghezza / 2 / v.scala;
  const double y0 = v.cy - kPiantaAltezza / 2 / v.scala, y1 = v.cy + kPiantaAltezza / 2 / v.scala;
  const double passo = passo_tacche(std::max(x1 - x0, y1 - y0) / 1000, 10) * 1000;
  for (const double x : tacche(x0, x1, passo)) {
    svg.linea(v.px(x), kPiantaAlto, v.px(x), kPiantaAlto + kPiantaAltezza, "stroke=\"#e4e4e0\"");
    svg.testo(v.px(x), kPiantaAlto + kPiantaAltezza + 16, etichetta(x / 1000, passo / 1000),
              "font-size=\"12\" text-anchor=\"middle\"");
  }
  for (const double y : tacche(y0, y1, passo)) {
    svg.linea(v.sinistra, v.py(y), v.sinistra + v.larghezza, v.py(y), "stroke=\"#e4e4e0\"");
    svg.testo(v.sinistra - 8, v.py(y) + 4, etichetta(y / 1000, passo / 1000),
              "font-size=\"12\" text-anchor=\"end\"");
  }
  svg.testo(v.sinistra + v.larghezza / 2, kPiantaAlto + kPiantaAltezza + 34, "x (km)",
            "font-size=\"13\" text-anchor=\"middle\"");
  svg.testo(v.sinistra - 52, kPiantaAlto + kPiantaAltezza / 2, "y (km)",
            formato("font-size=\"13\" text-anchor=\"middle\" transform=\"rotate(-90 %.1f %.1f)\"",
                    v.sinistra - 52, kPiantaAlto + kPiantaAltezza / 2)
                .c_str());

  // The line itself, and the grid's run-out past its end, dashed.
  const std::size_t fine_linea =
      std::min(righe - 1, static_cast<std::size_t>(std::max(d.lunghezza, 0.0)));
  auto riga = [&](double metri) {
    return static_cast<std::size_t>(std::clamp(metri, 0.0, static_cast<double>(righe - 1)));
  };
  for (const GalleriaDisegnata& g : d.gallerie) {
    const std::size_t r0 = riga(g.da), r1 = riga(g.a);
    if (r1 <= r0) continue;
    svg += "<path d=\"" + tratto(t, v, r0, r1, 10) +
           formato("\" fill=\"none\" stroke=\"%s\" stroke-width=\"8\" stroke-linecap=\"butt\"/>\n",
                   g.illuminata ? kColoreIlluminata : kColoreGalleria);
  }
  svg += "<path d=\"" + tratto(t, v, fine_linea, righe - 1, kPassoPianta) +
         formato("\" fill=\"none\" stroke=\"%s\" stroke-width=\"2\" stroke-dasharray=\"6 5\"/>\n",
                 kColoreCoda);
  svg += "<path d=\"" + tratto(t, v, 0, fine_linea, kPassoPianta) +
         formato("\" fill=\"none\" stroke=\"%s\" stroke-width=\"2.5\"/>\n", kColoreLinea);
  for (const Punto& p : d.segnali) {
    const std::size_t r = riga(p.metri);
    if (!punto_buono(t, r)) continue;
    svg += formato("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"2.6\" fill=\"%s\"/>\n", v.px(t.x[r]),
                   v.py(t.y[r]), kColoreSegnale);
  }
  nomi_pianta(svg, t, v, d, righe);
}

// ---- along the line: lanes, then profiles ----

// Metres along the line to pixels; the axis ends at the grid's end.
struct ScalaMetri {
  double metri_griglia;
  double operator()(double metri) const {
    return kSinistra + metri / metri_griglia * kLarghezzaUtile;
  }
};

/// A label along the line: its text, its thing's place and how much it matters.
struct Etichetta {
  std::string testo;
  double x;
  int peso;
  const char* stile;
};

/// Labels in `righe` rows from `alto` down; those that find no room are
/// left out, so none covers another.
void etichette_in_righe(Svg& svg, const std::vector<Etichetta>& e, int righe, double alto,
                        double corpo) {
  std::vector<LabelSpan> spans;
  for (const Etichetta& x : e) {
    const double w = larghezza_testo(x.testo, corpo);
    const double da = std::clamp(x.x - w / 2, kSinistra + 2, kSinistra + kLarghezzaUtile - 2 - w);
    spans.push_back({da, da + w, x.peso});
  }
  const std::vector<int> riga = place_in_rows(spans, righe, 6);
  for (std::size_t i = 0; i < e.size(); ++i) {
    if (riga[i] < 0) continue;
    svg.testo(spans[i].from, alto + (riga[i] + 1) * kRigaEtichette - 4, e[i].testo,
              formato("font-size=\"%.0f\" %s", corpo, e[i].stile).c_str());
  }
}

struct Corsia {
  const char* titolo;
  double altezza;
  void (*disegna)(Svg&, const DatiDisegno&, const ScalaMetri&, double alto, double altezza);
};

void corsia_stazioni(Svg& svg, const DatiDisegno& d, const ScalaMetri& px, double alto, double h) {
  const double base = alto + h - 12;
  for (const StazioneDisegnata& s : d.stazioni)
    svg.rettangolo(px(s.inizio), base, std::max(px(s.fine) - px(s.inizio), 2.0), 8,
                   formato("fill=\"%s\"", kColoreArea));
  std::vector<Etichetta> nomi;
  for (std::size_t i = 0; i < d.stazioni.size(); ++i) {
    const StazioneDisegnata& s = d.stazioni[i];
    const double x = px(s.metri);
    svg.linea(x, alto + 2 * kRigaEtichette + 2, x, base + 8, "stroke=\"#222\"");
    svg += formato(
        "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"4\" fill=\"#fff\" stroke=\"#222\" stroke-width=\"1.5\"/>\n",
        x, base + 4);
    if (s.cella_fermata >= 0) {
      const Punto f{static_cast<double>(metri_cella(s.cella_fermata)), s.cella_fermata};
      svg += apri_oggetto(TipoCella::fermata, f);
      svg.rettangolo(px(f.metri) - 1.5, base - 3, 3, 14, "fill=\"#222\"");
      svg += "</g>\n";
    }
    // The ends of the line first, then the stations with a time.
    const int peso = (i == 0 || i + 1 == d.stazioni.size()) ? 3 : s.con_orario ? 2 : 1;
    nomi.push_back({s.nome, x, peso, "fill=\"#222\""});
  }
  etichette_in_righe(svg, nomi, 2, alto, 12);
}

void corsia_segnali(Svg& svg, const DatiDisegno& d, const ScalaMetri& px, double alto, double h) {
  const double mezzo = alto + h / 2;
  for (const Punto& p : d.segnali) {
    const double s = p.metri;
    svg += apri_oggetto(TipoCella::segnale, p);
    svg.linea(px(s), mezzo + 9, px(s), mezzo - 4, "stroke=\"#333\"");
    svg += formato("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3.5\" fill=\"%s\"/></g>\n", px(s),
                   mezzo - 7, kColoreSegnale);
  }
  for (const Punto& p : d.codici) {
    svg += apri_oggetto(TipoCella::codice, p);
    svg.rettangolo(px(p.metri) - 3, mezzo + 5, 6, 6, formato("fill=\"%s\"", kColoreCodice));
    svg += "</g>\n";
  }
  for (const Punto& p : d.abbattimenti)
    svg += apri_oggetto(TipoCella::abbattimento, p) +
           formato(
               "<path d=\"M%.1f %.1f l6 6 m0 -6 l-6 6\" stroke=\"%s\" stroke-width=\"1.5\"/></g>\n",
               px(p.metri) - 3, mezzo + 5, kColoreCodice);
}

void corsia_cartelli(Svg& svg, const DatiDisegno& d, const ScalaMetri& px, double alto, double h) {
  const double y = alto + h - 16;
  std::vector<Etichetta> testi;
  for (const CartelloDisegnato& c : d.cartelli) {
    const double x = px(c.dove.metri);
    svg += apri_oggetto(c.indicatore_velocita ? TipoCella::indicatore_v_max : TipoCella::cartello,
                        c.dove);
    if (c.indicatore_velocita) {
      svg.rettangolo(x - 5, y, 10, 12, "fill=\"#fff\" stroke=\"#111\"");
      testi.push_back({c.testo, x, 1, "fill=\"#111\""});
    } else {
      svg.rettangolo(x - 6, y + 1, 12, 9, formato("fill=\"%s\"", kColoreCartello));
      testi.push_back({c.testo, x, 2, "fill=\"#2b6cb0\""});
    }
    svg += "</g>\n";
  }
  etichette_in_righe(svg, testi, 2, alto, 11);
}

void corsia_gallerie(Svg& svg, const DatiDisegno& d, const ScalaMetri& px, double alto, double h) {
  const double y = alto + 5, altezza = h - 12;
  for (const GalleriaDisegnata& g : d.gallerie) {
    const double a = px(g.da), b = std::max(px(g.a), a + 2);
    svg.rettangolo(a, y, b - a, altezza,
                   formato("fill=\"%s\" stroke=\"%s\"",
                           g.illuminata ? kColoreIlluminata : kColoreGalleria, kColoreGalleria));
    const std::string lungo = formato("%.1f km", (g.a - g.da) / 1000);
    if (b - a > larghezza_testo(lungo, 10) + 8)
      svg.testo((a + b) / 2, y + altezza / 2 + 3.5, lungo,
                g.illuminata ? "font-size=\"10\" text-anchor=\"middle\" fill=\"#3a2c00\""
                             : "font-size=\"10\" text-anchor=\"middle\" fill=\"#fff\"");
  }
  for (const Punto& p : d.marche_gallerie) {
    svg += apri_oggetto(TipoCella::marca_galleria, p);
    svg.linea(px(p.metri), y + altezza, px(p.metri), y + altezza + 4, "stroke=\"#3a2c00\"");
    svg += "</g>\n";
  }
}

void corsia_rallentamenti(Svg& svg, const DatiDisegno& d, const ScalaMetri& px, double alto,
                          double h) {
  const double banda = alto + h - 20;
  std::vector<Etichetta> velocita;
  for (const RallentamentoDisegnato& r : d.rallentamenti) {
    const double a = px(r.inizio), b = std::max(px(r.fine), a + 3);
    svg.rettangolo(a, banda, b - a, 14,
                   formato("fill=\"%s\" fill-opacity=\"0.35\" stroke=\"%s\"", kColoreRallentamento,
                           kColoreRallentamento));
    // The start and end cells as ticks at their own places.
    for (const auto& [tipo, cella] :
         {std::pair<TipoCella, int32_t>{TipoCella::inizio_rallentamento, r.cella_inizio},
          std::pair<TipoCella, int32_t>{TipoCella::fine_rallentamento, r.cella_fine}}) {
      if (cella < 0) continue;
      const Punto p{static_cast<double>(metri_cella(cella)), cella};
      svg += apri_oggetto(tipo, p);
      svg.linea(px(p.metri), banda - 2, px(p.metri), banda + 16,
                formato("stroke=\"%s\" stroke-width=\"1.5\"", kColoreRallentamento).c_str());
      svg += "</g>\n";
    }
    velocita.push_back({formato("%d km/h", r.velocita), (a + b) / 2, 2, "fill=\"#9a4a00\""});
  }
  for (const Punto& a : d.avvisi)
    svg += apri_oggetto(TipoCella::avviso_rallentamento, a) +
           formato("<path d=\"M%.1f %.1f l-6 -12 h12 z\" fill=\"%s\"/></g>\n", px(a.metri),
                   banda + 14, kColoreRallentamento);
  for (const Punto& p : d.prima_avvisi) {
    svg += apri_oggetto(TipoCella::prima_avviso, p);
    svg.rettangolo(px(p.metri) - 1.5, banda + 10, 3, 3,
                   formato("fill=\"%s\"", kColoreRallentamento));
    svg += "</g>\n";
  }
  etichette_in_righe(svg, velocita, 1, alto, 11);
}

constexpr Corsia kCorsie[] = {
    {"stations", 56, corsia_stazioni},       {"signals", 30, corsia_segnali},
    {"boards", 50, corsia_cartelli},         {"tunnels", 26, corsia_gallerie},
    {"slowdowns", 40, corsia_rallentamenti},
};

double basso_corsie() {
  double y = kCorsieAlto;
  for (const Corsia& c : kCorsie) y += c.altezza + kSpazioCorsie;
  return y;
}

double basso_profili() { return basso_corsie() + 3 * kStrisciaAltezza + 2 * kSpazioStrisce; }

// One strip of the profiles: its frame and its scale.
struct Striscia {
  const char* titolo;
  const char* colore;
  double alto;  // top edge in pixels
  double min, max;

  double y(double v) const {
    return alto + kStrisciaAltezza - (v - min) / (max - min) * kStrisciaAltezza;
  }
};

// The strip's frame, its value scale and its title with its unit.
void riquadro_striscia(Svg& svg, const Striscia& s) {
  svg.rettangolo(kSinistra, s.alto, kLarghezzaUtile, kStrisciaAltezza,
                 "fill=\"none\" stroke=\"#bbb\"");
  const double passo_v = passo_tacche(s.max - s.min, 4);
  for (const double v : tacche(s.min, s.max, passo_v)) {
    svg.linea(kSinistra, s.y(v), kSinistra + kLarghezzaUtile, s.y(v), "stroke=\"#e4e4e0\"");
    svg.testo(kSinistra - 8, s.y(v) + 4, etichetta(v, passo_v),
              "font-size=\"12\" text-anchor=\"end\"");
  }
  svg.testo(kSinistra + 6, s.alto + 15, s.titolo,
            formato("font-size=\"13\" font-weight=\"bold\" fill=\"%s\" stroke=\"#fbfbf8\" "
                    "stroke-width=\"3\" paint-order=\"stroke\"",
                    s.colore)
                .c_str());
}

// The profile as a step line, one step per run of equal cells.
/// Cells no rule wrote hold NaN: they are hatched, not drawn as a value.
void gradini(Svg& svg, const Striscia& s, const ScalaMetri& px, const std::vector<double>& v) {
  std::string path;
  for (std::size_t k = 0; k < v.size();) {
    std::size_t e = k;
    while (e < v.size() && (v[e] == v[k] || (std::isnan(v[e]) && std::isnan(v[k])))) ++e;
    if (std::isnan(v[k])) {
      svg += formato(
          "<rect data-non-scritto=\"%zu-%zu\" x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" "
          "height=\"%.1f\" fill=\"url(#coda)\" stroke=\"%s\"/>\n",
          k, e - 1, px(k * 50.0), s.alto, px(e * 50.0) - px(k * 50.0), kStrisciaAltezza,
          colore("unwritten").data());
    } else {
      if (k == 0 || std::isnan(v[k - 1]))
        path += formato("%sM%.1f %.1f", path.empty() ? "" : " ", px(k * 50.0), s.y(v[k]));
      else
        path += formato(" V%.1f", s.y(v[k]));
      path += formato(" H%.1f", px(e * 50.0));
    }
    k = e;
  }
  if (!path.empty())
    svg += "<path d=\"" + path +
           formato("\" fill=\"none\" stroke=\"%s\" stroke-width=\"2\"/>\n", s.colore);
}

std::pair<double, double> estremi(const std::vector<double>& v, double min0, double max0) {
  double lo = min0, hi = max0;
  for (const double x : v)
    if (!std::isnan(x)) lo = std::min(lo, x), hi = std::max(hi, x);
  return {lo, hi};
}

// The km grid behind everything along the line, the grid's tail shaded and
// the line's end marked across all of it.
void sfondo_lungo(Svg& svg, const DatiDisegno& d, const ScalaMetri& px, double passo_km) {
  const double alto = kCorsieAlto, basso = basso_profili();
  svg.rettangolo(kSinistra, alto, kLarghezzaUtile, basso - alto, "fill=\"#fbfbf8\"");
  for (const double km : tacche(0, px.metri_griglia / 1000, passo_km))
    svg.linea(px(km * 1000), alto, px(km * 1000), basso, "stroke=\"#e4e4e0\"");
  const double fine = std::min(d.lunghezza, px.metri_griglia);
  if (fine < px.metri_griglia)
    svg.rettangolo(px(fine), alto, px(px.metri_griglia) - px(fine), basso - alto,
                   "fill=\"url(#coda)\"");
}

void fine_linea(Svg& svg, const DatiDisegno& d, const ScalaMetri& px) {
  if (d.lunghezza <= 0 || d.lunghezza > px.metri_griglia) return;
  svg.linea(px(d.lunghezza), kCorsieAlto, px(d.lunghezza), basso_profili(),
            "stroke=\"#000\" stroke-width=\"1.5\" stroke-dasharray=\"8 4\"");
}

// The km axis under the profiles: ticks, then the line's end and the grid's
// end in a row of their own, then the axis title.
void asse_km(Svg& svg, const DatiDisegno& d, const ScalaMetri& px, double passo_km) {
  const double basso = basso_profili();
  std::vector<Etichetta> km;
  for (const double k : tacche(0, px.metri_griglia / 1000, passo_km))
    km.push_back({etichetta(k, passo_km), px(k * 1000), 1, "fill=\"#222\""});
  etichette_in_righe(svg, km, 1, basso + 8, 12);
  std::vector<Etichetta> segni;
  if (d.lunghezza > 0 && d.lunghezza <= px.metri_griglia)
    segni.push_back(
        {formato("end of line, km %.1f", d.lunghezza / 1000), px(d.lunghezza), 3, "fill=\"#000\""});
  if (px.metri_griglia > d.lunghezza) {
    segni.push_back({formato("grid ends, km %.1f", px.metri_griglia / 1000), px(px.metri_griglia),
                     2, "fill=\"#555\""});
    const double largo = px(px.metri_griglia) - px(std::max(d.lunghezza, 0.0));
    if (largo > 200)
      segni.push_back({"grid\xe2\x80\x99s tail after the line\xe2\x80\x99s end",
                       (px(px.metri_griglia) + px(std::max(d.lunghezza, 0.0))) / 2, 1,
                       "fill=\"#555\""});
  }
  etichette_in_righe(svg, segni, 2, basso + 8 + kRigaEtichette, 11);
  svg.testo(kSinistra + kLarghezzaUtile / 2, basso + 8 + 4 * kRigaEtichette,
            "distance along the line (km)", "font-size=\"13\" text-anchor=\"middle\"");
  svg.testo(kSinistra - 8, basso + 8 + kRigaEtichette - 4, "km",
            "font-size=\"12\" text-anchor=\"end\" fill=\"#555\"");
}

void disegna_lungo(Svg& svg, const DatiDisegno& d) {
  const ScalaMetri px{std::max(static_cast<double>(d.celle) * kMetriCella, 1000.0)};
  const double passo_km = passo_tacche(px.metri_griglia / 1000, 16);
  svg.testo(kSinistra, kLungoAlto - 4, "Along the line (km)",
            "font-size=\"15\" font-weight=\"bold\"");
  sfondo_lungo(svg, d, px, passo_km);

  double y = kCorsieAlto;
  for (const Corsia& c : kCorsie) {
    svg.rettangolo(kSinistra, y, kLarghezzaUtile, c.altezza, "fill=\"none\" stroke=\"#bbb\"");
    svg.testo(kSinistra - 8, y + 14, c.titolo,
              "font-size=\"11\" font-weight=\"bold\" text-anchor=\"end\" fill=\"#444\"");
    c.disegna(svg, d, px, y, c.altezza);
    y += c.altezza + kSpazioCorsie;
  }

  // The last three cells carry no profile.
  auto per_cella = [&](const std::vector<Corsa>& corse) {
    std::vector<double> v;
    v.reserve(d.celle_profilo);
    for (std::size_t i = 0; i < corse.size(); ++i) {
      const std::size_t fine = i + 1 < corse.size()
                                   ? static_cast<std::size_t>(corse[i + 1].prima_cella)
                                   : d.celle_profilo;
      v.resize(std::max(v.size(), fine),
               corse[i].record == 0 ? std::numeric_limits<double>::quiet_NaN() : corse[i].valore);
    }
    return v;
  };
  const std::vector<double> pendenze = per_cella(d.pendenza), velocita = per_cella(d.velocita),
                            aderenze = per_cella(d.aderenza);
  const auto [pmin, pmax] = estremi(pendenze, -5, 5);
  const auto [vmin, vmax] = estremi(velocita, 0, 50);
  const auto [amin, amax] = estremi(aderenze, aderenze.empty() ? 0 : aderenze.front(),
                                    aderenze.empty() ? 100 : aderenze.front());
  const double margine_p = (pmax - pmin) * 0.12;
  const double passo = kStrisciaAltezza + kSpazioStrisce;
  const Striscia strisce[] = {
      {"gradient (\xe2\x80\xb0)", kColorePendenza, y, pmin - margine_p, pmax + margine_p},
      {"speed limit (km/h)", kColoreVelocita, y + passo, 0, vmax * 1.12},
      {"adhesion (%)", kColoreAderenza, y + 2 * passo, std::floor((amin - 5) / 10) * 10,
       std::ceil((amax + 5) / 10) * 10},
  };
  const std::vector<double>* valori[] = {&pendenze, &velocita, &aderenze};
  for (int i = 0; i < 3; ++i) {
    riquadro_striscia(svg, strisce[i]);
    gradini(svg, strisce[i], px, *valori[i]);
  }
  fine_linea(svg, d, px);
  asse_km(svg, d, px, passo_km);
}

// ---- the legend ----

void disegna_legenda(Svg& svg, double alto) {
  double x = kSinistra, y = alto + 10;
  auto voce = [&](const std::string& simbolo, const char* nome) {
    const double largo = 38 + larghezza_testo(nome, 12);
    if (x + largo > kLarghezza - kDestra) x = kSinistra, y += 22;
    svg += formato("<g transform=\"translate(%.1f %.1f)\">", x, y) + simbolo + "</g>\n";
    svg.testo(x + 30, y + 4, nome, "font-size=\"12\"");
    x += largo;
  };
  voce(formato("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"%s\" stroke-width=\"2.5\"/>",
               kColoreLinea),
       "line");
  voce(formato("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"%s\" stroke-width=\"2\" "
               "stroke-dasharray=\"6 5\"/>",
               kColoreCoda),
       "beyond the end");
  voce("<rect x=\"0\" y=\"-7\" width=\"24\" height=\"14\" fill=\"url(#coda)\" stroke=\"#bbb\"/>",
       "grid's tail");
  voce(formato("<rect x=\"0\" y=\"-5\" width=\"24\" height=\"10\" fill=\"%s\"/>", kColoreGalleria),
       "tunnel");
  voce(formato("<rect x=\"0\" y=\"-5\" width=\"24\" height=\"10\" fill=\"%s\" stroke=\"%s\"/>",
               kColoreIlluminata, kColoreGalleria),
       "lit tunnel");
  voce("<circle cx=\"12\" cy=\"0\" r=\"5\" fill=\"#fff\" stroke=\"#222\" stroke-width=\"2\"/>",
       "station");
  voce(formato("<circle cx=\"12\" cy=\"0\" r=\"3.5\" fill=\"%s\"/>", kColoreSegnale), "signal");
  voce(formato("<rect x=\"9\" y=\"-3\" width=\"6\" height=\"6\" fill=\"%s\"/>", kColoreCodice),
       "code cell");
  voce("<rect x=\"7\" y=\"-6\" width=\"10\" height=\"12\" fill=\"#fff\" stroke=\"#111\"/>",
       "speed-indicator board (speeds A/B/C)");
  voce(formato("<rect x=\"6\" y=\"-4\" width=\"12\" height=\"9\" fill=\"%s\"/>", kColoreCartello),
       "indicator board");
  voce(formato("<rect x=\"0\" y=\"-7\" width=\"24\" height=\"14\" fill=\"%s\" "
               "fill-opacity=\"0.35\" stroke=\"%s\"/>",
               kColoreRallentamento, kColoreRallentamento),
       "slowdown");
  voce(formato("<path d=\"M12 6 l-6 -12 h12 z\" fill=\"%s\"/>", kColoreRallentamento),
       "slowdown warning board");
}

}  // namespace

std::string disegna_svg(const ScenarioCompilato& f) {
  const DatiDisegno d = raccogli(disegnabile(f));
  const double legenda = basso_profili() + 8 + 5 * kRigaEtichette;
  const double altezza = legenda + 60;
  Svg svg;
  svg += formato(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
      "viewBox=\"0 0 %.0f %.0f\" font-family=\"%s\">\n",
      kLarghezza, altezza, kLarghezza, altezza, kCaratteri);
  svg +=
      "<defs><pattern id=\"coda\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\">"
      "<rect width=\"8\" height=\"8\" fill=\"#9aa5b1\" fill-opacity=\"0.12\"/>"
      "<path d=\"M0 8 L8 0\" stroke=\"#9aa5b1\" stroke-opacity=\"0.5\"/></pattern></defs>\n";
  svg += formato("<rect width=\"%.0f\" height=\"%.0f\" fill=\"#fff\"/>\n", kLarghezza, altezza);
  svg.testo(kSinistra, 32,
            testo_memorizzato(f.testata_linea[kVoceLinea].nome) + " \xe2\x80\x94 train " +
                testo_memorizzato(f.testata_linea[kVoceRipetizione].nome),
            "font-size=\"22\" font-weight=\"bold\"");
  svg.testo(kSinistra, 54,
            formato("line length %.1f km \xc2\xb7 %zu stations \xc2\xb7 %zu signals \xc2\xb7 %zu "
                    "tunnels \xc2\xb7 %zu %s",
                    d.lunghezza / 1000, d.stazioni.size(), d.segnali.size(), d.gallerie.size(),
                    d.rallentamenti.size(), d.rallentamenti.size() == 1 ? "slowdown" : "slowdowns"),
            "font-size=\"13\" fill=\"#555\"");
  disegna_pianta(svg, f, d);
  if (d.celle == 0) {
    svg.testo(kSinistra + kLarghezzaUtile / 2, kCorsieAlto + 100,
              "no route grid: the line source gave no length",
              "text-anchor=\"middle\" fill=\"#666\"");
  } else {
    disegna_lungo(svg, d);
  }
  disegna_legenda(svg, legenda);
  return svg.fine();
}

}  // namespace genera
