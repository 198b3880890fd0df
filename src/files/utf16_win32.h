// UTF-8 and UTF-16, for the Windows platform files only: the program's
// text is UTF-8, the system's wide calls take UTF-16.
#pragma once

#include <string>

namespace genera {

/// `text` in UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring utf16_from_utf8(const std::string& text);

/// `text` in UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8_from_utf16(const std::wstring& text);

}  // namespace genera
