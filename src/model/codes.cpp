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
     "A signal or station stop at the slowdown's start.", "Move the slowdown's start by 50 m."},
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
     "A line holds more than 80 indicator boards with a text.", "Many boards on a long line.",
     "Leave out indicator boards until at most 80 remain."},
    {Codice::carattere_fuori_codepage, "character_not_in_code_page_1252",
     "A text holds a character that code page 1252, the one the simulator reads its texts in, "
     "does not have.",
     "A station name, a board text or a name written with letters of another script, such as "
     "Cyrillic, Greek or Chinese, or with a symbol such as an emoji.",
     "Write the text with the letters of Western European languages (accented letters, the "
     "euro sign and typographic quotes are fine), or transliterate it."},
    {Codice::misura_non_positiva, "length_not_positive",
     "A length or a stretch is 0 or negative: a curve, a slowdown or a station with no length.",
     "Two fields swapped, a minus sign too many, or an end written where a length belongs.",
     "Give the length in metres, above 0. The rules would store the record as written, and "
     "what it lays on the grid is not what was meant (a slowdown of -200 m lays codes to the "
     "end of the line)."},
    {Codice::fine_prima_di_inizio, "end_before_start",
     "A tunnel or the cab-signal repetition stretch ends before, or where, it starts.",
     "Start and end swapped.",
     "Give the start first and the end after it. A tunnel ending before its start lays "
     "nothing; a reversed repetition stretch is stored as written."},
    {Codice::linea_senza_lunghezza, "line_length_not_positive",
     "The line length in \"lunghezza percorso\" is 0 or negative: the line has no grid of "
     "its own.",
     "A length left empty, or a minus sign too many.",
     "Give the length of the line in metres, above 0."},
    {Codice::codifica_larga, "source_not_8_bit",
     "A source is saved as UTF-16 or UTF-32: every other byte is NUL, and no record can be "
     "read.",
     "An editor on Windows that saves \"Unicode\" text, or a spreadsheet's \"Unicode text\" "
     "export.",
     "Save the source as UTF-8 or as Windows-1252 (ANSI) text."},
    {Codice::separatore_errato, "fields_not_separated_by_commas",
     "A record's fields are separated by tabs, semicolons or blanks instead of commas.",
     "A source exported from a spreadsheet, or typed with semicolons.",
     "Separate the key and every value with a comma, as in \"pendenza, 6000, 12\"."},
    {Codice::sorgente_treno_vuota, "train_source_empty",
     "The train source holds no record: there is no train to drive.",
     "An empty file, a file that is all comments, or records written before \"[generale]\".",
     "Write the train's records after a \"[generale]\" line."},
    {Codice::rallentamento_senza_celle, "slowdown_shorter_than_a_cell",
     "A slowdown is so short that its end falls on its start cell: it has no stretch.",
     "A length given in kilometres (2 for 2000 m), or a length under 50 m.",
     "Give the length in metres, long enough that the end lies in a later 50 m cell than the "
     "start. The rules would lay the end on the start cell, and the codes along the slowdown "
     "then run to the end of the line."},
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
  const auto* const it =
      std::lower_bound(std::begin(kTabella), std::end(kTabella), n,
                       [](const VoceCodice& v, int32_t x) { return numero(v.codice) < x; });
  return it != std::end(kTabella) && numero(it->codice) == n ? it : nullptr;
}

const VoceCodice& voce_codice(Codice codice) { return *cerca_codice(numero(codice)); }

const VoceCodice* cerca_codice(std::string_view nome) {
  for (const VoceCodice& v : kTabella)
    if (v.nome == nome) return &v;
  return nullptr;
}

namespace {

constexpr VoceAvviso kAvvisi[] = {
    {Avviso::campi_prima_di_generale, "fields_before_header",
     "Fields stand before \"[generale]\": a source is read from there on, so they are not read.",
     "Records written above the \"[generale]\" line.", "Move them below \"[generale]\"."},
    {Avviso::chiave_ignota, "unknown_key",
     "A key names no record: it is ignored, with the fields after it on its line.",
     "A misspelt keyword, or a section name in the singular.",
     "Write the keyword as the manual gives it; the message suggests the nearest."},
    {Avviso::chiave_fuori_posto, "key_in_the_wrong_place",
     "A key names a record that is read in another part of the sources.",
     "A header record after the header block, or a train record in the line source.",
     "Move the record where it is read."},
    {Avviso::valore_a_inizio_riga, "value_starts_a_line",
     "A number starts a line but belongs to no record.",
     "A key left out, or a comma too many on the line before.",
     "Give the line its key, or join it to the record it belongs to."},
    {Avviso::fuori_passo_50, "position_off_the_50_m_grid",
     "A position is not a multiple of 50 m: the object is placed by its rounded position.",
     "A position copied to the metre.", "Round the position to a multiple of 50."},
    {Avviso::record_sostituito, "record_replaced",
     "A record sets a value that a record before it set: the earlier one has no effect.",
     "A record given twice.", "Keep one of the two."},
    {Avviso::profilo_fuori_ordine, "profile_out_of_order",
     "A gradient, speed or adhesion record comes after one further along the line.",
     "Records not sorted by position.", "Sort the records of each profile by position."},
    {Avviso::curva_a_sinistra, "curve_key_turns_left",
     "A curve key holds an \"s\" besides a \"d\": any \"s\" turns the curve left.",
     "A key such as \"curva destra 4\".", "Write a right curve's key with no \"s\": \"curvad4\"."},
    {Avviso::virgolette_aperte, "quote_runs_over_a_line_end",
     "A quoted text runs on over a line end.", "A closing quote left out.",
     "Close the quote on the same line."},
    {Avviso::valori_a_capo, "values_run_on_to_the_next_line",
     "A record's values run on to a later line than its key.",
     "A value missing: the record takes its last values from the next line.",
     "Give the record all its values on its own line."},
    {Avviso::fermata_sostituisce, "station_stop_replaces_an_object",
     "A station's stop cell replaces an object an earlier record put there.",
     "A signal, board or slowdown where a station stops.",
     "Move the object, or the station, by at least 50 m."},
    {Avviso::generale_assente, "no_header",
     "No field holds \"[generale]\": nothing in the train source is read.",
     "The header line left out or misspelt.", "Start the records with a \"[generale]\" line."},
    {Avviso::valore_avvolto, "value_wraps_when_stored",
     "A value lies outside what its stored field holds: it wraps, and the simulator reads "
     "another value.",
     "A value typed in the wrong unit, or two fields swapped.",
     "Give a value in the field's storable range (the manual's field tables give it)."},
    {Avviso::valore_insensato, "value_out_of_its_range",
     "A value lies outside the range that makes sense for its field: minutes above 59, a "
     "negative position, a speed that is not a multiple of 5.",
     "A typing mistake, or two fields swapped.",
     "Give a value in the field's sensible range (the manual's field tables give it)."},
    {Avviso::orari_non_crescenti, "station_times_go_back",
     "A station's scheduled time is earlier than the one of a station before it.",
     "A time typed wrong, or stations out of order.",
     "Give the stations in the order of the journey with rising times (0, 0, 0 for none)."},
    {Avviso::valori_avanzati, "values_left_over",
     "A record's line holds more values than the record reads: the rest is read as keys and "
     "ignored.",
     "A decimal comma (\"12,5\"), or a value too many.",
     "Numbers are whole metres or units: write \"12\" or \"13\", and leave out the extra "
     "value."},
    {Avviso::testo_tagliato, "text_cut_at_a_comma",
     "A text ends at a comma that is not inside double quotes: the rest is not stored.",
     "A board text or a station name with a comma.",
     "Put the text in double quotes: \"(ORTA, Nord)\"."},
    {Avviso::scrittura_sovrapposta, "overwrites_an_earlier_record",
     "A record writes over what an earlier record wrote on the same cell: tunnels that overlap, "
     "approach markers over markers.",
     "Two records too close together, or one given twice.",
     "Move one of them, or leave out the one given twice."},
    {Avviso::oltre_fine_linea, "beyond_the_end_of_the_line",
     "A record lies past the line's end, in the 7000 m of grid after it.",
     "A position in the wrong unit, or a line length too short.",
     "Check the position and the line length."},
    {Avviso::valore_cambiato, "value_changed_when_stored",
     "A value the author wrote is stored as another by the rules: a signal's time kept only "
     "when its sx is 2 and raised from 1 to 100 up to 101, a station's byte4 or byte3 made 0.",
     "A value copied from another record, or a field whose condition the record does not meet.",
     "Write the value that is stored (the message says which), or change the record so that "
     "the rules keep the value."},
    {Avviso::rallentamenti_sovrapposti, "slowdowns_overlap",
     "A slowdown starts or ends inside the stretch of an earlier slowdown.",
     "A slowdown given twice, or a length that runs into the next slowdown.",
     "Join the two slowdowns into one, or shorten the first so that it ends before the next "
     "starts."},
    {Avviso::nome_ripetuto, "station_name_repeated",
     "Two stations have the same name: the driver cannot tell them apart.",
     "A station record copied and moved without its name changed.",
     "Give each station its own name."},
    {Avviso::commento_con_record, "record_key_read_as_a_comment",
     "A key that starts a line names a record but holds a hyphen: it is read as a comment, and "
     "the record is not read.",
     "A hyphen in a key, as in \"curva-s1\" or \"velocita - fine galleria\".",
     "Take the hyphen out of the key; start a comment with \"-\"."},
    {Avviso::testo_dopo_virgolette, "text_after_the_closing_quote",
     "Something stands after a text's closing quote on its line: it is not stored.",
     "A text only partly in double quotes, as in \"(ORTA)\" (Nord).",
     "Put the whole text inside the double quotes."},
    {Avviso::testo_vuoto, "empty_text",
     "A text field is empty: the board shows nothing, the station has no name.",
     "A text left out after the last comma, or \"\".", "Write the text."},
    {Avviso::testo_troncato, "text_cut_to_its_stored_length",
     "A text is longer than its stored field holds (65535 bytes in code page 1252): only its "
     "start is stored.",
     "A closing quote left out, so the text takes in the rest of the file, or a text pasted "
     "whole.",
     "Shorten the text, or close its quote."},
    {Avviso::carattere_di_controllo, "control_character_in_a_text",
     "A text holds a control character (a NUL byte, a tab, ...): it is stored, but no display "
     "shows it as a character.",
     "A file damaged or written by a program that pads with NUL bytes.",
     "Delete the character; an editor that shows invisible characters finds it."},
    {Avviso::testo_fuori_posto, "text_is_another_field",
     "A text field holds what is not a text: a field from a later line, a number, or a record's "
     "key.",
     "The text left out, so the next line's key is taken as the text, or a value too many before "
     "it.",
     "Count the record's values: give each one, and the text last, on the record's own line."},
    {Avviso::profilo_stessa_posizione, "profile_records_at_one_position",
     "Two gradient, speed or adhesion records stand at one position: the first writes at most "
     "one cell.",
     "A record given twice, or a position typed wrong.",
     "Keep one of the two, or mend the position."},
    {Avviso::posato_in_parte, "not_laid_whole",
     "A tunnel or a curve is not laid whole: part of it, or all of it, falls where nothing is "
     "laid.",
     "A tunnel shorter than one 50 m cell or running past the grid's end; a curve that starts "
     "where the plan is already drawn, or runs past the plan's end.",
     "Check its positions and length, and give the curves in order of position."},
    {Avviso::progressive_azzerate, "progressives_cleared",
     "The three kilometric progressives are all stored as 0: no first value stands above the "
     "other two.",
     "Two progressives with the same first value, or a negative one beside two zeros.",
     "Give the progressives different first values, or 0, 0, 0 to the ones not used."},
};

constexpr bool avvisi_in_ordine() {
  for (std::size_t i = 1; i < std::size(kAvvisi); ++i)
    if (numero(kAvvisi[i - 1].avviso) >= numero(kAvvisi[i].avviso)) return false;
  return true;
}
static_assert(avvisi_in_ordine(), "the table is kept in ascending order of number");

}  // namespace

std::span<const VoceAvviso> tabella_avvisi() { return kAvvisi; }

const VoceAvviso* cerca_avviso(int32_t n) {
  for (const VoceAvviso& v : kAvvisi)
    if (numero(v.avviso) == n) return &v;
  return nullptr;
}

const VoceAvviso* cerca_avviso(std::string_view nome) {
  for (const VoceAvviso& v : kAvvisi)
    if (v.nome == nome) return &v;
  return nullptr;
}

const VoceAvviso& voce_avviso(Avviso a) { return *cerca_avviso(numero(a)); }

}  // namespace genera
