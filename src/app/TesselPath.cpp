#include "app/TesselPath.h"

#include <cctype>

namespace upfold {

std::optional<std::string> PathToTesselFormat(const std::string& path) {
  if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0]))) {
    return std::nullopt;
  }
  const std::string drive(1, path[0]);
  const std::string rest = path.substr(2);
  if (!rest.empty() && rest[0] != '\\') return std::nullopt;  // C:DIR is relative
  if (rest.size() <= 1) return "//" + drive;
  return "/" + rest.substr(1) + "/" + drive;
}

}  // namespace upfold
