#pragma once
// The data of one value in a .reg file, kept exactly as it stands after the '=' (a quoted
// string, dword:..., hex:..., hex(n):... with its continuation lines joined by '\n'), so
// that values the program does not understand survive a rewrite byte for byte.

#include <cstddef>
#include <optional>
#include <string>

namespace upfold::regdata {

// "text" with \\ and \" escapes.
std::string Quote(const std::string& text);
// Reads a quoted string starting at line[pos] (the opening quote); on success pos is past
// the closing quote. A backslash before anything but \ or " stands for itself.
// nullopt when the closing quote is missing.
std::optional<std::string> ReadQuoted(const std::string& line, std::size_t& pos);

// Checks value data written after '=' (first line only for hex data). Returns an empty
// string when it is sound, otherwise what is wrong with it.
std::string CheckData(const std::string& data);
// True when the data is a hex list whose line ends with the continuation backslash.
bool ContinuesOnNextLine(const std::string& line);

// The text of a string value (a quoted string, or hex(1)/hex(2) data holding UTF-16LE);
// nullopt for any other type.
std::optional<std::string> TextOf(const std::string& data);
// Data for a text value: a quoted string, or hex(1) when the text holds a line break
// (a quoted string cannot span lines).
std::string TextData(const std::string& text);

}  // namespace upfold::regdata
