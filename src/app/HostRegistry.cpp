#include "app/HostRegistry.h"

#include "app/Ui.h"
#include "platform/Registry.h"

namespace upfold {

namespace {

// The registry layer's own text (file and line of a damaged file, a value that is not
// text) goes between the message and the contact line.
std::string WithDetail(const std::string& message, const RegistryError* error) {
  std::string text = message;
  if (error != nullptr) text += std::string("\r\r") + error->what();
  return text + kContactLine;
}

std::string CannotOpen(const RegistryError& error) {
  return WithDetail("Unable to open the registry at this time.", &error);
}

std::string CannotRead(const std::string& name, const RegistryError* error) {
  return WithDetail("Unable to read the '" + name + "' value from the registry at this time.",
                    error);
}

// Opens key without creating it: true when it exists. A registry file that cannot be read
// is reported here; a missing key is left to the caller's own message.
bool OpenKey(const Registry& registry, Ui& ui, const char* key, bool& exists) {
  try {
    exists = registry.KeyExists(Hive::LocalMachine, key);
    return true;
  } catch (const RegistryError& error) {
    ui.Information(CannotOpen(error));
    return false;
  }
}

std::string ReadValue(const Registry& registry, Ui& ui, const char* key, const std::string& name) {
  bool exists = false;
  if (!OpenKey(registry, ui, key, exists)) return {};
  if (!exists) {
    ui.Information(CannotRead(name, nullptr));
    return {};
  }
  try {
    return registry.ReadString(Hive::LocalMachine, key, name).value_or("");
  } catch (const RegistryError& error) {
    ui.Information(CannotRead(name, &error));
    return {};
  }
}

}  // namespace

std::string ReadHostValue(const Registry& registry, Ui& ui, const std::string& name) {
  return ReadValue(registry, ui, kHostKey, name);
}

std::string ReadDataPathValue(const Registry& registry, Ui& ui, const std::string& name) {
  return ReadValue(registry, ui, kDataPathKey, name);
}

bool WriteHostValue(Registry& registry, Ui& ui, const std::string& name, const std::string& value) {
  const std::string cannotReset = "Unable to reset the '" + name + "' value at this time.";
  bool exists = false;
  if (!OpenKey(registry, ui, kHostKey, exists)) return false;
  if (!exists) {
    ui.Information(WithDetail(cannotReset, nullptr));
    return false;
  }
  try {
    registry.WriteString(Hive::LocalMachine, kHostKey, name, value);
    return true;
  } catch (const RegistryError& error) {
    ui.Information(WithDetail(cannotReset, &error));
    return false;
  }
}

std::optional<std::vector<std::string>> ListDataPathValueNames(const Registry& registry, Ui& ui) {
  const std::string cannotList =
      std::string("Unable to open registry key  ") + kDataPathKey + "   at this time.";
  bool exists = false;
  if (!OpenKey(registry, ui, kDataPathKey, exists)) return std::nullopt;
  if (!exists) {
    ui.Information(WithDetail(cannotList, nullptr));
    return std::nullopt;
  }
  try {
    return registry.ValueNames(Hive::LocalMachine, kDataPathKey);
  } catch (const RegistryError& error) {
    ui.Information(WithDetail(cannotList, &error));
    return std::nullopt;
  }
}

}  // namespace upfold
