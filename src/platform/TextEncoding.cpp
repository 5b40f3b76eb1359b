#include "platform/TextEncoding.h"

namespace upfold {

namespace {

// Code points of the bytes 0x80..0x9F; the five bytes Windows-1252 leaves unassigned keep
// their C1 control code point, so that every byte survives a round trip.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Cp1252ToCodePoint(unsigned char c) {
  return c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : c;
}

std::optional<char> CodePointToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when it is malformed
// (overlong forms, surrogates and values above U+10FFFF included).
std::size_t DecodeUtf8(const std::string& text, std::size_t i, char32_t& cp) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char b = byte(i);
  std::size_t len;
  char32_t min;
  if (b < 0x80) {
    cp = b;
    return 1;
  } else if ((b & 0xE0) == 0xC0) {
    len = 2, cp = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    len = 3, cp = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    len = 4, cp = b & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8(text, i, cp);
    if (len == 0) {
      out += text[i++];
      continue;
    }
    out += CodePointToCp1252(cp).value_or('?');
    i += len;
  }
  return out;
}

bool FitsCp1252(const std::string& utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0 || !CodePointToCp1252(cp)) return false;
    i += len;
  }
  return true;
}

bool IsValidUtf8(const std::string& text, std::size_t* badOffset) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8(text, i, cp);
    if (len == 0) {
      if (badOffset) *badOffset = i;
      return false;
    }
    i += len;
  }
  return true;
}

std::optional<std::string> Utf16LeToUtf8(const std::string& bytes, std::size_t* badUnit) {
  std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t k) -> char16_t {
    return static_cast<unsigned char>(bytes[2 * k]) |
           (static_cast<unsigned char>(bytes[2 * k + 1]) << 8);
  };
  auto fail = [&](std::size_t k) -> std::optional<std::string> {
    if (badUnit) *badUnit = k;
    return std::nullopt;
  };
  if (bytes.size() % 2 != 0) return fail(units);
  std::string out;
  out.reserve(units);
  for (std::size_t k = 0; k < units; ++k) {
    char32_t cp = unit(k);
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (k + 1 >= units || unit(k + 1) < 0xDC00 || unit(k + 1) > 0xDFFF) return fail(k);
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
      ++k;
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      return fail(k);
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Utf8ToUtf16Le(const std::string& utf8) {
  std::string out;
  auto put = [&](char16_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {  // a stray byte: take it as Windows-1252
      cp = Cp1252ToCodePoint(static_cast<unsigned char>(utf8[i]));
      len = 1;
    }
    if (cp >= 0x10000) {
      put(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      put(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      put(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

char Cp1252Upper(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  switch (u) {
    case 0x9A: return static_cast<char>(0x8A);  // š
    case 0x9C: return static_cast<char>(0x8C);  // œ
    case 0x9E: return static_cast<char>(0x8E);  // ž
    case 0xFF: return static_cast<char>(0x9F);  // ÿ
  }
  return c;
}

bool EqualsIgnoreAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace upfold
