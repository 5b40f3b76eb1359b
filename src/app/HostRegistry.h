#pragma once
// The suite's registry keys under HKEY_LOCAL_MACHINE and the routines the commands use to read
// and write single values there. Every routine opens its key without creating it, reports a
// failure itself in an information box (ending with the contact line) and leaves the caller
// to stop without a second message.

#include <optional>
#include <string>
#include <vector>

namespace upfold {

class Registry;
class Ui;

// Host key of the suite's settings on this installation.
inline constexpr const char* kHostKey = "\\Software\\Verrin\\Marrowfield\\Host";
// Data sets of the host: "H_x" holds a data directory, "D_x" its description.
inline constexpr const char* kDataPathKey = "\\Software\\Verrin\\Marrowfield\\Host\\H_Data";
// The dataset platform's alias to the data directory (values PhysicalName, Description).
inline constexpr const char* kAliasKey = "\\Software\\Titan\\Btrieve\\Aliases\\MFWIN";

// The text of a value under the host key. Empty when the value is missing; empty after a
// message when the key is missing, the registry cannot be read or the value is not text.
std::string ReadHostValue(const Registry& registry, Ui& ui, const std::string& name);

// Writes a text value (possibly empty) under the existing host key. False after a message
// when the key is missing or the registry refuses the write (nothing is written then).
bool WriteHostValue(Registry& registry, Ui& ui, const std::string& name, const std::string& value);

// As ReadHostValue, under the data-path key.
std::string ReadDataPathValue(const Registry& registry, Ui& ui, const std::string& name);

// Names of the values under the data-path key, as stored and in stored order; nullopt after a
// message when the key is missing or the registry cannot be read.
std::optional<std::vector<std::string>> ListDataPathValueNames(const Registry& registry, Ui& ui);

}  // namespace upfold
