// The field reader shared by the line source and the train source.
//
// A source is a stream of fields. A field ends at a comma or a line end
// (CR LF, LF or CR); blanks before it are skipped. A text field runs to the
// next comma or line end, its trailing blanks dropped; in double quotes it
// loses its quotes and may hold commas and line ends. A number ends at the
// first blank, comma or line end; the blanks after it are passed over with
// at most one comma or line end, so numbers may stand apart by blanks alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace genera {

class FieldReader {
 public:
  /// Reads `text`, which must outlive the reader.
  explicit FieldReader(std::string_view text) : text_(text) {}

  /// The next field as text. Throws errore_esecuzione when nothing is left.
  std::string leggi_testo();

  /// The next field as a signed 32-bit number; an empty field is 0. Throws
  /// errore_esecuzione when nothing is left, when the field is not a whole
  /// number, or when it does not fit 32 bits.
  int32_t leggi_numero();

  /// True when nothing is left to read after the field just read and its
  /// separator.
  bool fine() const { return pos_ >= text_.size(); }

  /// The 1-based line on which the field just read starts.
  int riga() const { return riga_campo_; }

 private:
  void salta_spazi();
  bool a_capo_qui() const;
  void consuma_a_capo();
  void consuma_separatore();
  void inizia_campo();

  std::string_view text_;
  std::size_t pos_ = 0;
  int riga_ = 1;
  int riga_campo_ = 0;
};

/// True when `campo` contains `parola`, letter case ignored (ASCII).
bool contiene(std::string_view campo, std::string_view parola);

/// True when `campo` contains `parola` exactly as written.
bool contiene_esatto(std::string_view campo, std::string_view parola);

}  // namespace genera
