// The failure codes: one table, the only place a code's number is written.
// Messages, the JSON report and the documentation all name a code through
// this table. Most numbers are those the simulator's tools have always used;
// 23, 104, 105 and 106 are our own, for faults the old numbering has no
// code for.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace genera {

enum class Codice : int32_t {
  nessuno = 0,
  lunghezza_eccessiva = 1,
  progressive_non_multiple = 2,
  ripetizione_inizio_non_multiplo = 3,
  ripetizione_fine_non_multiplo = 4,
  ripetizione_senza_codici = 5,
  cartello_occupato = 6,
  abbattimento_occupato = 7,
  stazione_non_multipla = 8,
  lunghezza_stazione_non_multipla = 9,
  stazioni_troppe = 10,
  codice_davanti_segnale = 11,
  codice_prima_rallentamento = 12,
  codice_lungo_rallentamento = 13,
  oltre_griglia = 15,
  segnale_occupato = 16,
  avviso_rallentamento_occupato = 17,
  inizio_rallentamento_occupato = 18,
  fine_rallentamento_occupato = 19,
  prima_avviso_occupata = 20,
  indicatore_occupato = 21,
  stazioni_vicine = 22,
  fuori_griglia = 23,
  fermata_troppo_presto = 24,
  guasto_lettura = 25,
  sorgente_linea_mancante = 101,
  generale_mancante = 102,
  curva_errata = 103,
  gallerie_troppe = 104,
  cartelli_troppi = 105,
  carattere_fuori_codepage = 106,
  misura_non_positiva = 107,
  fine_prima_di_inizio = 108,
  linea_senza_lunghezza = 109,
  codifica_larga = 110,
  separatore_errato = 111,
  sorgente_treno_vuota = 112,
  rallentamento_senza_celle = 113,
  marcatori_occupati = 1250,
  codici_gara_occupati = 1251,
};

/// One row of the table: what a person needs to act on a code.
struct VoceCodice {
  Codice codice;
  std::string_view nome;      // short identifier, lower case with underscores
  std::string_view sommario;  // what it means, one sentence
  std::string_view causa;     // what usually causes it
  std::string_view rimedio;   // how to fix it
};

/// Every code, in ascending order of number.
std::span<const VoceCodice> tabella_codici();

/// The row of `numero`, or nullptr when no code has that number.
const VoceCodice* cerca_codice(int32_t numero);

/// The row of `codice`; every enumerator has one.
const VoceCodice& voce_codice(Codice codice);

inline constexpr int32_t numero(Codice c) { return static_cast<int32_t>(c); }

/// The row of the code called `nome` ("beyond_the_grid"), or nullptr.
const VoceCodice* cerca_codice(std::string_view nome);

/// The warnings: numbered apart from the codes (from 201), named like them.
/// A warning never changes an output byte or the exit status.
enum class Avviso : int32_t {
  nessuno = 0,
  campi_prima_di_generale = 201,
  chiave_ignota = 202,
  chiave_fuori_posto = 203,
  valore_a_inizio_riga = 204,
  fuori_passo_50 = 205,
  record_sostituito = 206,
  profilo_fuori_ordine = 207,
  curva_a_sinistra = 208,
  virgolette_aperte = 209,
  valori_a_capo = 210,
  fermata_sostituisce = 211,
  generale_assente = 212,
  valore_avvolto = 213,
  valore_insensato = 214,
  orari_non_crescenti = 215,
  valori_avanzati = 216,
  testo_tagliato = 217,
  scrittura_sovrapposta = 218,
  oltre_fine_linea = 219,
  valore_cambiato = 220,
  rallentamenti_sovrapposti = 221,
  nome_ripetuto = 222,
  commento_con_record = 223,
  testo_dopo_virgolette = 224,
  testo_vuoto = 225,
  testo_troncato = 226,
  carattere_di_controllo = 227,
  testo_fuori_posto = 228,
  profilo_stessa_posizione = 229,
  posato_in_parte = 230,
  progressive_azzerate = 231,
};

struct VoceAvviso {
  Avviso avviso;
  std::string_view nome;
  std::string_view sommario;
  std::string_view causa;
  std::string_view rimedio;
};

/// Every warning, in ascending order of number.
std::span<const VoceAvviso> tabella_avvisi();

/// The row of warning `numero` or called `nome`, or nullptr.
const VoceAvviso* cerca_avviso(int32_t numero);
const VoceAvviso* cerca_avviso(std::string_view nome);

/// The row of `a`; every enumerator but `nessuno` has one.
const VoceAvviso& voce_avviso(Avviso a);

inline constexpr int32_t numero(Avviso a) { return static_cast<int32_t>(a); }

}  // namespace genera
