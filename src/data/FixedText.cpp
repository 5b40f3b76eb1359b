#include "data/FixedText.h"

namespace upfold {

namespace {

bool IsSpace(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}

}  // namespace

std::string LeftJust(std::string_view text, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

std::string RightJust(std::string_view text, std::size_t width) {
  std::string out;
  if (text.size() < width) out.assign(width - text.size(), ' ');
  out += text;
  return out;
}

std::string LeftFit(std::string_view text, std::size_t width) {
  return LeftJust(text.substr(0, width), width);
}

std::string RightFit(std::string_view text, std::size_t width) {
  return RightJust(text.substr(0, width), width);
}

std::string TrimLeft(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return std::string(text.substr(i));
}

std::string TrimRight(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && IsSpace(text[n - 1])) --n;
  return std::string(text.substr(0, n));
}

std::string Trim(std::string_view text) {
  return TrimLeft(TrimRight(text));
}

}  // namespace upfold
