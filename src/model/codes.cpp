#include "model/codes.h"

#include <algorithm>
#include <array>

namespace genera {
namespace {

constexpr VoceCodice kTabella[] = {
    {Codice::lunghezza_eccessiva, "line_too_long",
     "The line length in \"lunghezza percorso\" is above 1,000,000 m.",
     "A length typed with one digit too many, or given in centimetres.",
     "Give the length of the line in metres, at most 1000000."},
    {Codice::progressive_non_multiple, "progressive_not_multiple_of_50",
     "A kilometric progressive's first or second value is not a multiple of 50 m.",
     "A progressive copied from a timetable to the metre, or a third value of 1 that adds 100 "
     "to a second value that was not a multiple of 50.",
     "Round the first two values of every \"progressiva chilometrica\" record to a multiple of "
     "50."},
    {Codice::ripetizione_inizio_non_multiplo, "cab_signal_start_not_multiple_of_50",
     "The cab-signal repetition stretch starts at a position that is not a multiple of 50 m.",
     "A start position copied to the metre.",
     "Give the first value of \"ripetizione segnali\" as a multiple of 50."},
    {Codice::ripetizione_fine_non_multiplo, "cab_signal_end_not_multiple_of_50",
     "The cab-signal repetition stretch ends at a position that is not a multiple of 50 m.",
     "An end position copied to the metre.",
     "Give the second value of \"ripetizione segnali\" as a multiple of 50 (0 for no "
     "repetition)."},
    {Codice::ripetizione_senza_codici, "cab_signal_code_count_missing",
     "The key of the cab-signal repetition record names neither 4 nor 9 codes.",
     "The digit was left out of the key, as in \"ripetizione segnali codici\".",
     "Write the number of codes into the key: \"ripetizione segnali 4 codici\" or "
     "\"ripetizione segnali 9 codici\"."},
    {Codice::cartello_occupato, "indicator_board_cell_taken",
     "An indicator board falls on a grid cell that already holds an object.",
     "Two boards, or a board and a speed-indicator board, less than 50 m apart.",
     "Move the board at least 50 m away from the other object."},
    {Codice::abbattimento_occupato, "code_cut_cell_taken",
     "A code cut (\"abbattimento\") falls on a grid cell that already holds an object.",
     "A code cut placed on a signal, a station stop or a slowdown cell.",
     "Move the code cut to a free cell, 50 m before or after."},
    {Codice::stazione_non_multipla, "station_not_multiple_of_50",
     "A station's position is not a multiple of 50 m.",
     "A position copied from a timetable to the metre.",
     "Round the station's position to a multiple of 50."},
    {Codice::lunghezza_stazione_non_multipla, "station_length_not_multiple_of_100",
     "A station's length is not a multiple of 100 m.", "A platform length given to the metre.",
     "Round the station's length (its third value) to a multiple of 100."},
    {Codice::stazioni_troppe, "too_many_stations",
     "The stations and the indicator boards' texts together need more than the 79 table "
     "entries they share.",
     "A long line with many stations and many indicator boards.",
     "Leave out stations without a stop, or indicator boards, until both fit."},
    {Codice::codice_davanti_segnale, "no_room_for_code_before_signal",
     "No free cell for the code in front of a signal that stands before a slowdown's warning "
     "board.",
     "Objects on both cells just before the signal.",
     "Move the signal, or the object just before it, by 50 to 100 m."},
    {Codice::codice_prima_rallentamento, "no_room_for_code_before_slowdown",
     "No free cell for one of the three codes in the kilometre before a slowdown's start.",
     "Signals, boards or stations on all three cells where the code could go.",
     "Move the slowdown, or one of the objects before it, by 50 m."},
    {Codice::codice_lungo_rallentamento, "no_room_for_code_along_slowdown",
     "No free cell for a code along a slowdown, or in front of the first signal after its end.",
     "Objects on every cell where the code could go.",
     "Move the slowdown, or the objects along it or just after it, by 50 m."},
    {Codice::oltre_griglia, "beyond_the_grid",
     "A record lies too near the end of the grid (the line plus 7000 m); the reading of the "
     "source stops there.",
     "A position beyond the line's end, or a line length that is too short.",
     "Check the record's position against \"lunghezza percorso\"; a station needs 800 m of grid "
     "after it, any other record 100 m."},
    {Codice::segnale_occupato, "signal_cell_taken",
     "A signal falls on a grid cell that already holds an object.",
     "A signal on a station stop, a slowdown cell or another signal within 50 m.",
     "Move the signal by 50 m, or the object it falls on."},
    {Codice::avviso_rallentamento_occupato, "slowdown_warning_board_cell_taken",
     "The warning board of a slowdown, 1200 m before its start, falls on a cell that already "
     "holds an object.",
     "A signal or a station stop 1200 m before the slowdown.",
     "Move the slowdown by 50 m, or the object at its warning board."},
    {Codice::inizio_rallentamento_occupato, "slowdown_start_cell_taken",
     "A slowdown's start falls on a grid cell that already holds an object.",
     "A signal or station stop at the slowdown's start.",
     "Move the slowdown's start by 50 m."},
    {Codice::fine_rallentamento_occupato, "slowdown_end_cell_taken",
     "A slowdown's end falls on a grid cell that already holds an object.",
     "A signal or station stop at the slowdown's end.", "Change the slowdown's length by 50 m."},
    {Codice::prima_avviso_occupata, "cells_before_warning_board_taken",
     "One of the four cells just before a slowdown's warning board already holds an object.",
     "A signal or a station stop up to 200 m before the warning board.",
     "Move the slowdown, or set its fifth value to 0 if the four cells are not wanted."},
    {Codice::indicatore_occupato, "speed_board_cell_taken",
     "A speed-indicator board falls on a grid cell that already holds an object.",
     "Two boards less than 50 m apart.", "Move the speed-indicator board by 50 m."},
    {Codice::stazioni_vicine, "stations_too_close",
     "A station's area starts less than 350 m after the end of the previous station's area.",
     "Stations out of order, or two stations too close together.",
     "List the stations in order along the line, at least 350 m apart between areas."},
    {Codice::fuori_griglia, "outside_the_grid",
     "A record's object would fall outside the grid, before the line's start or after the "
     "grid's end.",
     "A negative position, or a slowdown whose length takes its end beyond the grid.",
     "Keep every object between 0 m and the line's end."},
    {Codice::fermata_troppo_presto, "station_stop_too_early",
     "A station's stop cell would not lie beyond the grid's cell 1: its area ends at 100 m or "
     "earlier.",
     "A station too near the start of the line for its length.",
     "Move the station further along, or shorten it."},
    {Codice::guasto_lettura, "read_failure",
     "A source could not be read to the end: a record runs past the end of the file, a field "
     "is not a whole number, a value does not fit its field, or a source cannot be opened or "
     "deleted.",
     "A record with too few values on the last line, a letter in a number, or a value out of "
     "range (a byte field above 255, a speed above 1277 km/h).",
     "Look at the record named in the message and give it the values it needs."},
    {Codice::sorgente_linea_mancante, "line_source_missing", "The line source does not exist.",
     "The file was not written, or has another name.",
     "Give the line source as NAME_linea.txt beside the train source."},
    {Codice::generale_mancante, "header_missing",
     "No field holds \"[generale]\" before the end of the line source.",
     "An empty line source, or one whose header line is misspelt.",
     "Start the line source with a \"[generale]\" line followed by its header records."},
    {Codice::curva_errata, "bad_curve",
     "A curve's key names no class digit from 1 to 6, or the plan would run past 1,000,000 m.",
     "A curve written \"curvad\" without its class, or a curve far beyond the line's end.",
     "Write the curve's side and class in its key, as \"curvad4\" or \"curvas1\", and keep "
     "curves on the line."},
    {Codice::gallerie_troppe, "too_many_tunnels", "A line holds more than 80 tunnels.",
     "A long line split into many short tunnels.", "Join neighbouring tunnels into one record."},
    {Codice::cartelli_troppi, "too_many_indicator_boards",
     "A line holds more than 80 indicator boards with a text.",
     "Many boards on a long line.", "Leave out indicator boards until at most 80 remain."},
    {Codice::carattere_fuori_codepage, "character_not_in_code_page_1252",
     "A text holds a character that code page 1252, the one the simulator reads its texts in, "
     "does not have.",
     "A station name, a board text or a name written with letters of another script, such as "
     "Cyrillic, Greek or Chinese, or with a symbol such as an emoji.",
     "Write the text with the letters of Western European languages (accented letters, the "
     "euro sign and typographic quotes are fine), or transliterate it."},
    {Codice::marcatori_occupati, "race_code_marker_slot_taken",
     "a record has already put a value into a race-code marker slot (entry 85 intero1 or cell 1 "
     "valore1), so no compact file can be written",
     "An object placed on cell 1 (50 to 99 m), such as a signal at 0 m.",
     "Move the object at the start of the line to 100 m or later."},
    {Codice::codici_gara_occupati, "race_code_slot_taken",
     "a record has already put a value into a race-code slot (entry 85 dato4 or cell 1 "
     "valore2), so no compact file can be written",
     "An object on cell 1 (50 to 99 m) that fills its second value, such as a signal or a "
     "slowdown with a second value.",
     "Move the object at the start of the line to 100 m or later."},
};

constexpr bool in_ordine() {
  for (std::size_t i = 1; i < std::size(kTabella); ++i)
    if (numero(kTabella[i - 1].codice) >= numero(kTabella[i].codice)) return false;
  return true;
}
static_assert(in_ordine(), "the table is kept in ascending order of number");

}  // namespace

std::span<const VoceCodice> tabella_codici() { return kTabella; }

const VoceCodice* cerca_codice(int32_t n) {
  const auto it = std::lower_bound(std::begin(kTabella), std::end(kTabella), n,
                                   [](const VoceCodice& v, int32_t x) { return numero(v.codice) < x; });
  return it != std::end(kTabella) && numero(it->codice) == n ? it : nullptr;
}

const VoceCodice& voce_codice(Codice codice) { return *cerca_codice(numero(codice)); }

}  // namespace genera
