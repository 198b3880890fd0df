// The field reader shared by the line source and the train source.
//
// A source is a stream of fields. A field ends at a comma or a line end
// (CR LF, LF or CR); blanks before it are skipped. A text field runs to the
// next comma or line end, its trailing blanks dropped; in double quotes it
// loses its quotes and may hold commas and line ends. A number ends at the
// first blank, comma or line end; the blanks after it are passed over with
// at most one comma or line end, so numbers may stand apart by blanks alone.
//
// A read that cannot give a value (nothing left, not a whole number, more
// than 32 bits) gives nothing and leaves the reason in guasto().
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace genera {

class FieldReader {
 public:
  /// Reads `text`, which must outlive the reader.
  explicit FieldReader(std::string_view text) : text_(text) {}

  /// The next field as text.
  std::optional<std::string> leggi_testo();

  /// The next field as a signed 32-bit number; an empty field is 0.
  std::optional<int32_t> leggi_numero();

  /// True when nothing is left to read after the field just read and its
  /// separator.
  bool fine() const { return pos_ >= text_.size(); }

  /// The 1-based line and column at which the field just read starts.
  int riga() const { return riga_campo_; }
  int colonna() const { return colonna_campo_; }

  /// The bytes the field just read takes in its line, from its column (for
  /// a quoted text, its quotes included; for a text run over a line end,
  /// to the end of its first line).
  int larghezza() const { return larghezza_campo_; }

  /// True when the text field just read was in double quotes.
  bool tra_virgolette() const { return tra_virgolette_; }

  /// What stands after the field just read on its own line, past the comma
  /// or blanks that ended it; empty when a line end ended it.
  std::string_view resto_della_riga() const;
  /// The 1-based column where resto_della_riga() starts.
  int colonna_resto() const { return static_cast<int>(pos_ - inizio_riga_) + 1; }

  /// True when the field just read ended at a comma (not a line end, not
  /// the end of the file).
  bool finito_a_virgola() const { return finito_a_virgola_; }

  /// True when the field just read is the first of its line.
  bool primo_della_riga() const { return primo_della_riga_; }

  /// What is left to read, and the line it starts on.
  std::string_view resto() const { return text_.substr(pos_); }
  int riga_resto() const { return riga_; }

  /// Why the last read gave nothing, and the line it names.
  const std::string& guasto() const { return guasto_; }
  int riga_guasto() const { return riga_guasto_; }
  /// True when the last read failed because nothing was left.
  bool guasto_fine() const { return guasto_fine_; }

 private:
  bool inizia_campo();
  void salta_spazi();
  bool a_capo_qui() const;
  void consuma_a_capo();
  void consuma_separatore();
  std::nullopt_t fallisci(std::string perche, int riga);

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t inizio_riga_ = 0;
  int riga_ = 1;
  int riga_campo_ = 0;
  int colonna_campo_ = 0;
  int campi_sulla_riga_ = 0;
  int larghezza_campo_ = 0;
  bool tra_virgolette_ = false;
  bool finito_a_virgola_ = false;
  bool primo_della_riga_ = false;
  std::string guasto_;
  int riga_guasto_ = 0;
  bool guasto_fine_ = false;
};

}  // namespace genera
