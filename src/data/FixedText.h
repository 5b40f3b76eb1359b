#pragma once
// Fixed-width text as the data files hold it: the printf formats "%-Ws" (left-justified),
// "%Ws" (right-justified) and their cutting forms "%-W.Ws" / "%W.Ws", and trimming. Texts are
// 8-bit bytes; a blank is the byte 0x20.

#include <cstddef>
#include <string>
#include <string_view>

namespace upfold {

// "%-Ws": blank-filled on the right to width; a longer text is kept whole.
std::string LeftJust(std::string_view text, std::size_t width);
// "%Ws": blank-filled on the left to width; a longer text is kept whole.
std::string RightJust(std::string_view text, std::size_t width);
// "%-W.Ws": cut to width, then blank-filled on the right; always exactly width bytes.
std::string LeftFit(std::string_view text, std::size_t width);
// "%W.Ws": cut to its first width bytes, then blank-filled on the left; exactly width bytes.
std::string RightFit(std::string_view text, std::size_t width);

// Without leading and/or trailing blanks and control characters (bytes up to 0x20).
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

}  // namespace upfold
