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
// than 32 bits) gives nothing and leaves the reason in failure().
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
  std::optional<std::string> read_text();

  /// The next field as a signed 32-bit number; an empty field is 0.
  std::optional<int32_t> read_number();

  /// True when nothing is left to read after the field just read and its
  /// separator.
  bool at_end() const { return pos_ >= text_.size(); }

  /// The 1-based line and column at which the field just read starts.
  int line() const { return field_line_; }
  int column() const { return field_column_; }

  /// The bytes the field just read takes in its line, from its column (for
  /// a quoted text, its quotes included; for a text run over a line end,
  /// to the end of its first line).
  int width() const { return field_width_; }

  /// True when the text field just read was in double quotes.
  bool quoted() const { return quoted_; }

  /// What stood between the closing quote of the text just read and its
  /// separator, its blanks dropped: it is not part of the value. Empty
  /// after a text not in quotes.
  std::string_view after_quote() const {
    return text_.substr(after_quote_begin_, after_quote_end_ - after_quote_begin_);
  }
  /// The 1-based column where after_quote() starts.
  int after_quote_column() const { return after_quote_column_; }

  /// What stands after the field just read on its own line, past the comma
  /// or blanks that ended it; empty when a line end ended it.
  std::string_view rest_of_line() const;
  /// The 1-based column where rest_of_line() starts.
  int rest_column() const { return static_cast<int>(pos_ - line_start_) + 1; }

  /// True when the field just read ended at a comma (not a line end, not
  /// the end of the file).
  bool ended_at_comma() const { return ended_at_comma_; }

  /// True when the field just read is the first of its line.
  bool first_on_line() const { return first_on_line_; }

  /// What is left to read, and the line it starts on.
  std::string_view rest() const { return text_.substr(pos_); }
  int rest_line() const { return line_; }

  /// Why the last read gave nothing, and the line it names.
  const std::string& failure() const { return failure_; }
  int failure_line() const { return failure_line_; }
  /// True when the last read failed because nothing was left.
  bool failed_at_end() const { return failed_at_end_; }

 private:
  bool start_field();
  void skip_blanks();
  bool at_line_break() const;
  void consume_line_break();
  void consume_separator();
  std::nullopt_t fail(std::string reason, int line);

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_start_ = 0;
  int line_ = 1;
  int field_line_ = 0;
  int field_column_ = 0;
  int fields_on_line_ = 0;
  int field_width_ = 0;
  bool quoted_ = false;
  std::size_t after_quote_begin_ = 0;
  std::size_t after_quote_end_ = 0;
  int after_quote_column_ = 0;
  bool ended_at_comma_ = false;
  bool first_on_line_ = false;
  std::string failure_;
  int failure_line_ = 0;
  bool failed_at_end_ = false;
};

}  // namespace genera
