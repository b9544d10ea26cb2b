#include "datadll/utility/zq_registry_class.h"

#include <vector>

#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::string_view kAccountManager = "Software\\Microsoft\\Internet Account Manager";

std::string Clipped(std::string_view text) { return std::string(ClipView(text)); }

}  // namespace

void ZQREGISTRYCLASS::INIT(long quiet) {
  Quiet = static_cast<std::uint8_t>(quiet);
  if (!own_file_) registry_ = RegistryFile();
  Values.Free();
}

void ZQREGISTRYCLASS::KILL() { Values.Free(); }

long ZQREGISTRYCLASS::STRINGTOHKEY(std::string_view name) const {
  const std::string upper = UPPER(name);
  if (upper.find("ROOT") != std::string::npos) return HKEY_CLASSES_ROOT;
  if (upper.find("LOCAL") != std::string::npos || upper.find("MACHINE") != std::string::npos)
    return HKEY_LOCAL_MACHINE;
  if (upper.find("USERS") != std::string::npos) return HKEY_USERS;
  return HKEY_CURRENT_USER;
}

std::string ZQREGISTRYCLASS::FETCH(long root, std::string_view default_value,
                                   std::string_view valueName, std::string_view subKey) {
  std::vector<std::pair<std::string, std::string>> values;
  last_error_ = registry_.Values(root, Clipped(subKey), values);
  if (last_error_ != kRegOk) {
    THROWERROR("opening", subKey);
    return std::string(default_value);
  }
  const std::string wanted = UPPER(ClipView(valueName));
  for (const auto& [name, data] : values) {
    if (UPPER(ClipView(name)) == wanted) return std::string(CutUtf8(ClipView(data), 255));
  }
  return std::string(default_value);
}

std::string ZQREGISTRYCLASS::FETCH(long root, std::string_view valueName, std::string_view subKey) {
  return FETCH(root, "", valueName, subKey);
}

std::string ZQREGISTRYCLASS::GETVALUE(std::string_view default_value, std::string_view valueName,
                                      std::string_view subKey, long root) {
  return FETCH(root, default_value, valueName, subKey);
}

std::string ZQREGISTRYCLASS::GETVALUE(std::string_view valueName, std::string_view subKey,
                                      long root) {
  return FETCH(root, valueName, subKey);
}

void ZQREGISTRYCLASS::UPDATE(long root, std::string_view value, std::string_view valueName,
                             std::string_view subKey) {
  last_error_ = registry_.OpenKey(root, Clipped(subKey));
  if (last_error_ != kRegOk &&
      last_error_ != kRegNotFound) {  // a missing key is created, a bad name is not
    THROWERROR("opening", subKey);
    return;
  }
  last_error_ =
      registry_.SetValue(root, Clipped(subKey), Clipped(valueName), CutUtf8(ClipView(value), 499));
  if (last_error_ != kRegOk) THROWERROR("setting", valueName);
}

void ZQREGISTRYCLASS::PUTVALUE(std::string_view value, std::string_view valueName,
                               std::string_view subKey, long root) {
  UPDATE(root, value, valueName, subKey);
}

void ZQREGISTRYCLASS::REMOVE(long root, std::string_view key) {
  const std::string path = Clipped(key);
  const std::size_t split = path.rfind('\\');
  const std::string parent = split == std::string::npos ? std::string() : path.substr(0, split);
  last_error_ = registry_.OpenKey(root, parent);
  if (last_error_ != kRegOk) {
    THROWERROR("opening", key);
    return;
  }
  last_error_ = registry_.DeleteKey(root, path);
  if (last_error_ != kRegOk) THROWERROR("deleting", key);
}

void ZQREGISTRYCLASS::REMOVE(long root, std::string_view valueName, std::string_view subKey) {
  if (ClipView(valueName).empty()) {
    // The key goes with all its values; there is no value left to delete afterwards.
    REMOVE(root, subKey);
    return;
  }
  last_error_ = registry_.OpenKey(root, Clipped(subKey));
  if (last_error_ != kRegOk) {
    THROWERROR("opening", subKey);
    return;
  }
  last_error_ = registry_.DeleteValue(root, Clipped(subKey), Clipped(valueName));
  if (last_error_ != kRegOk) THROWERROR("deleting", valueName);
}

void ZQREGISTRYCLASS::DELETEVALUE(std::string_view valueName, std::string_view subKey, long root) {
  REMOVE(root, valueName, subKey);
}

void ZQREGISTRYCLASS::DELETEVALUE(std::string_view subKey, long root) { REMOVE(root, "", subKey); }

void ZQREGISTRYCLASS::LOADQ(TREGVALUEQ& queue, long root, std::string_view subKey) {
  queue.Free();
  std::vector<std::pair<std::string, std::string>> values;
  last_error_ = registry_.Values(root, Clipped(subKey), values);
  if (last_error_ != kRegOk) {
    THROWERROR("opening", subKey);
    return;
  }
  for (const auto& [name, data] : values) {
    queue.buffer.Name = ClipView(name);
    queue.buffer.Value = ClipView(data);
    queue.AddBy(&TREGVALUE::Name);
  }
}

void ZQREGISTRYCLASS::LOADQ(long root, std::string_view subKey) { LOADQ(Values, root, subKey); }

void ZQREGISTRYCLASS::THROWERROR(std::string_view verb, std::string_view key) {
  ErrorVerb = verb;
  ErrorKey = key;
  ErrorCode = std::to_string(last_error_);
  if (Quiet) return;
  MESSAGE("Error " + std::string(verb) + " " + Clipped(key) + ":\r" + ErrorCode.str(), "Error");
}

std::string ZQREGISTRYCLASS::GETEMAILROOT() {
  const std::string account =
      SUB(FETCH(HKEY_CURRENT_USER, "Default Mail Account", kAccountManager), 1, 8);
  if (ClipView(account).empty()) return {};
  return std::string(kAccountManager) + "\\Accounts\\" + account;
}

std::string ZQREGISTRYCLASS::GETEMAILSERVER() {
  return Clipped(FETCH(HKEY_CURRENT_USER, "SMTP Server", GETEMAILROOT()));
}

std::string ZQREGISTRYCLASS::GETEMAILADDRESS() {
  return Clipped(FETCH(HKEY_CURRENT_USER, "SMTP Email Address", GETEMAILROOT()));
}

std::string ZQREGISTRYCLASS::GETEMAILREPLYTOADDRESS() {
  return Clipped(FETCH(HKEY_CURRENT_USER, "SMTP Reply To Email Address", GETEMAILROOT()));
}

std::string ZQREGISTRYCLASS::GETEMAILNAME() {
  return Clipped(FETCH(HKEY_CURRENT_USER, "SMTP Display Name", GETEMAILROOT()));
}

std::string ZQREGISTRYCLASS::GETREGUSERNAME() {
  return Clipped(
      FETCH(HKEY_LOCAL_MACHINE, "RegisteredOwner", "Software\\Microsoft\\Windows\\CurrentVersion"));
}

}  // namespace vx
