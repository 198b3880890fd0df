#include "linecomp/field_reader.h"

#include "model/text.h"

namespace genera {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::nullopt_t FieldReader::fail(std::string reason, int line) {
  failure_ = std::move(reason);
  failure_line_ = line;
  failed_at_end_ = false;
  return std::nullopt;
}

void FieldReader::skip_blanks() {
  while (pos_ < text_.size() && blank(text_[pos_])) ++pos_;
}

bool FieldReader::at_line_break() const {
  return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

void FieldReader::consume_line_break() {
  if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++line_;
  line_start_ = pos_;
  fields_on_line_ = 0;
}

std::string_view FieldReader::rest_of_line() const {
  if (line_ != field_line_) return {};
  const std::size_t end = text_.find_first_of("\r\n", pos_);
  return text_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
}

void FieldReader::consume_separator() {
  ended_at_comma_ = false;
  if (pos_ >= text_.size()) return;
  if (text_[pos_] == ',') {
    ended_at_comma_ = true;
    ++pos_;
  } else if (at_line_break()) {
    consume_line_break();
  }
}

bool FieldReader::start_field() {
  // Past the end, the line to name is that of the last field read, not the
  // empty line after its line break.
  if (at_end()) {
    fail("read past the end of the file", field_line_ > 0 ? field_line_ : line_);
    failed_at_end_ = true;
    return false;
  }
  skip_blanks();
  // A field that starts right after a line break is the first of its line.
  if (line_ != field_line_) fields_on_line_ = 0;
  ++fields_on_line_;
  // Asked after the read, when the line end after the field may be consumed.
  first_on_line_ = fields_on_line_ == 1;
  field_line_ = line_;
  field_column_ = static_cast<int>(pos_ - line_start_) + 1;
  return true;
}

std::optional<std::string> FieldReader::read_text() {
  if (!start_field()) return std::nullopt;
  quoted_ = pos_ < text_.size() && text_[pos_] == '"';
  if (quoted_) {
    const std::size_t open_quote = pos_;
    ++pos_;
    std::string value;
    while (pos_ < text_.size() && text_[pos_] != '"') {
      if (at_line_break()) {
        const std::size_t start = pos_;
        consume_line_break();
        value.append(text_.substr(start, pos_ - start));
      } else {
        value.push_back(text_[pos_++]);
      }
    }
    if (pos_ < text_.size()) ++pos_;  // the closing quote
    field_width_ = line_ == field_line_
                       ? static_cast<int>(pos_ - open_quote)
                       : static_cast<int>(text_.find_first_of("\r\n", open_quote) - open_quote);
    // Whatever stands between the closing quote and the separator is
    // dropped; its place is kept for the reader to say so.
    skip_blanks();
    after_quote_begin_ = pos_;
    after_quote_column_ = static_cast<int>(pos_ - line_start_) + 1;
    while (pos_ < text_.size() && text_[pos_] != ',' && !at_line_break()) ++pos_;
    after_quote_end_ = pos_;
    while (after_quote_end_ > after_quote_begin_ && blank(text_[after_quote_end_ - 1]))
      --after_quote_end_;
    consume_separator();
    return value;
  }
  after_quote_begin_ = after_quote_end_ = 0;
  const std::size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != ',' && !at_line_break()) ++pos_;
  std::size_t value_end = pos_;
  while (value_end > start && blank(text_[value_end - 1])) --value_end;
  std::string value(text_.substr(start, value_end - start));
  field_width_ = static_cast<int>(value_end - start);
  consume_separator();
  return value;
}

std::optional<int32_t> FieldReader::read_number() {
  if (!start_field()) return std::nullopt;
  const std::size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != ',' && !blank(text_[pos_]) && !at_line_break())
    ++pos_;
  const std::string_view digits = text_.substr(start, pos_ - start);
  field_width_ = static_cast<int>(digits.size());
  skip_blanks();
  consume_separator();
  if (digits.empty()) return 0;

  std::size_t i = 0;
  bool negative = false;
  if (digits[0] == '+' || digits[0] == '-') {
    negative = digits[0] == '-';
    i = 1;
  }
  if (i == digits.size()) return fail(citazione(digits) + " is not a whole number", field_line_);
  int64_t value = 0;
  for (; i < digits.size(); ++i) {
    const char c = digits[i];
    if (c < '0' || c > '9') return fail(citazione(digits) + " is not a whole number", field_line_);
    value = value * 10 + (c - '0');
    if (value > 2147483648LL)
      return fail("the number " + citazione(digits) + " does not fit 32 bits", field_line_);
  }
  if (negative) value = -value;
  if (value > 2147483647LL)
    return fail("the number " + citazione(digits) + " does not fit 32 bits", field_line_);
  return static_cast<int32_t>(value);
}

}  // namespace genera
