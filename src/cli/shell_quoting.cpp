#include "cli/shell_quoting.h"

namespace tallowby::cli {

namespace {

// The length of the printable UTF-8 character that text starts with, or 0 where it starts with a
// control character, DEL or a byte that begins no valid character.
std::size_t PrintableLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text.front());
  if (lead < 0x20 || lead == 0x7f) return 0;
  if (lead < 0x80) return 1;
  // The lead byte tells the length; below `least` the character would fit in fewer bytes, an
  // overlong form.
  const std::size_t length = (lead & 0xe0) == 0xc0   ? 2
                             : (lead & 0xf0) == 0xe0 ? 3
                             : (lead & 0xf8) == 0xf0 ? 4
                                                     : 0;
  if (length == 0) return 0;
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  const char32_t least = kLeast[length];
  char32_t code = lead & (0x7fU >> length);
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xc0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3fU);
  }
  const bool surrogate = code >= 0xd800 && code <= 0xdfff;
  // C1 controls, which some terminals obey as they obey ESC.
  const bool control = code >= 0x80 && code <= 0x9f;
  return code < least || code > 0x10ffff || surrogate || control ? 0 : length;
}

void AppendEscape(std::string& out, unsigned char byte) {
  static constexpr std::string_view kNamed = "abtnvfr";  // bytes 7 to 13
  if (byte >= 7 && byte <= 13) {
    out += '\\';
    out += kNamed[byte - 7];
    return;
  }
  out += '\\';
  out += static_cast<char>('0' + (byte >> 6));
  out += static_cast<char>('0' + ((byte >> 3) & 7));
  out += static_cast<char>('0' + (byte & 7));
}

}  // namespace

std::string ShellQuoted(std::string_view text) {
  enum class Quote { None, Plain, Escapes };
  Quote open = Quote::None;
  std::string out;
  const auto enter = [&](Quote quote) {
    if (open == quote) return;
    if (open != Quote::None) out += '\'';
    out += quote == Quote::Plain ? "'" : "$'";
    open = quote;
  };
  while (!text.empty()) {
    const std::size_t length = PrintableLength(text);
    if (length == 0) {
      enter(Quote::Escapes);
      AppendEscape(out, static_cast<unsigned char>(text.front()));
      text.remove_prefix(1);
      continue;
    }
    if (text.front() == '\'') {
      // Escaped where it stands: inside $'...', or between two quoted parts.
      if (open == Quote::Plain) out += '\'';
      if (open != Quote::Escapes) open = Quote::None;
      out += "\\'";
    } else {
      enter(Quote::Plain);
      out += text.substr(0, length);
    }
    text.remove_prefix(length);
  }
  if (out.empty()) return "''";
  return open == Quote::None ? out : out + '\'';
}

}  // namespace tallowby::cli
