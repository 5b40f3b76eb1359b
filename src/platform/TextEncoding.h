#pragma once
// The program's text is 8-bit Windows-1252, as the original's ANSI calls were; the host's
// files and file names are UTF-8. These conversions sit at the boundaries (the registry
// file, host paths). A character that Windows-1252 cannot hold becomes '?', as Windows does.

#include <optional>
#include <string>

namespace upfold {

std::string Cp1252ToUtf8(const std::string& text);
// Invalid UTF-8 bytes are taken as Windows-1252 characters.
std::string Utf8ToCp1252(const std::string& text);
// True when every character of the UTF-8 text exists in Windows-1252.
bool FitsCp1252(const std::string& utf8);
// False when the bytes are not well-formed UTF-8; badOffset receives the first bad byte.
bool IsValidUtf8(const std::string& text, std::size_t* badOffset = nullptr);

// UTF-16LE bytes (no byte-order mark) to UTF-8. nullopt for an odd length or a broken
// surrogate pair; badUnit receives the index of the offending 16-bit unit.
std::optional<std::string> Utf16LeToUtf8(const std::string& bytes, std::size_t* badUnit = nullptr);
std::string Utf8ToUtf16Le(const std::string& utf8);

// Upper case of a Windows-1252 character (ASCII and the accented letters), for comparing
// file names without regard to case.
char Cp1252Upper(char c);
// ASCII-only case folding, for registry key and value names.
bool EqualsIgnoreAsciiCase(const std::string& a, const std::string& b);

}  // namespace upfold
