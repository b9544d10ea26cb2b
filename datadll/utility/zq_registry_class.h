// Reads and writes string values of the registry (kept in the emulation file of
// registry_file.h) and reads the program's mail defaults from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "datadll/utility/registry_file.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace vx {

struct TREGVALUE {
  String<1024> Name;
  String<1024> Value;
};
using TREGVALUEQ = Queue<TREGVALUE>;

class ZQREGISTRYCLASS {
 public:
  ZQREGISTRYCLASS() = default;
  // A registry kept in another file.
  explicit ZQREGISTRYCLASS(RegistryFile file) : registry_(std::move(file)), own_file_(true) {}

  // Unless the object was given a file, INIT finds the user's emulation file.
  void INIT(long quiet);
  void KILL();

  long STRINGTOHKEY(std::string_view name) const;

  std::string FETCH(long root, std::string_view default_value, std::string_view valueName,
                    std::string_view subKey);
  std::string FETCH(long root, std::string_view valueName, std::string_view subKey);
  std::string GETVALUE(std::string_view default_value, std::string_view valueName,
                       std::string_view subKey, long root);
  std::string GETVALUE(std::string_view valueName, std::string_view subKey, long root);

  void UPDATE(long root, std::string_view value, std::string_view valueName,
              std::string_view subKey);
  void PUTVALUE(std::string_view value, std::string_view valueName, std::string_view subKey,
                long root);

  void REMOVE(long root, std::string_view key);
  void REMOVE(long root, std::string_view valueName, std::string_view subKey);
  void DELETEVALUE(std::string_view valueName, std::string_view subKey, long root);
  void DELETEVALUE(std::string_view subKey, long root);

  void LOADQ(TREGVALUEQ& queue, long root, std::string_view subKey);
  void LOADQ(long root, std::string_view subKey);

  void THROWERROR(std::string_view verb, std::string_view key);

  std::string GETEMAILROOT();
  std::string GETEMAILSERVER();
  std::string GETEMAILADDRESS();
  std::string GETEMAILREPLYTOADDRESS();
  std::string GETEMAILNAME();
  std::string GETREGUSERNAME();

  std::uint8_t Quiet = 0;  // 1: errors are recorded, not shown
  String<255> ErrorVerb;
  String<255> ErrorCode;  // the registry's result code as text
  String<255> ErrorKey;
  TREGVALUEQ Values;

 private:
  RegistryFile registry_{std::filesystem::path()};
  bool own_file_ = false;
  long last_error_ = 0;  // result of the last registry call
};

}  // namespace vx
