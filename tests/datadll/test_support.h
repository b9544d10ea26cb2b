// Helpers for data-library tests: records filled field by field from a table's description,
// fields read and set as text by name, a folder of their own, and a message reporter that
// records what would have been shown.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "runtime/message_box.h"
#include "runtime/storage/table_def.h"

namespace vx::test {

inline const storage::FieldDef& FieldNamed(const storage::TableDef& t, const std::string& name) {
  const auto f = std::find_if(t.fields.begin(), t.fields.end(),
                              [&](const storage::FieldDef& fd) { return fd.name == name; });
  if (f == t.fields.end()) throw std::runtime_error(t.label + " has no field " + name);
  return *f;
}

// Sets a field of the calling thread's buffer from text: numbers from their digits, text
// blank-padded or NUL-terminated as the field stores it.
inline void SetFieldText(const storage::TableDef& t, const std::string& name,
                         const std::string& text) {
  const storage::FieldDef& f = FieldNamed(t, name);
  char* at = static_cast<char*>(t.buffer()) + f.offset;
  switch (f.type) {
    case storage::FieldType::String:
    case storage::FieldType::Memo:
      std::memset(at, ' ', f.size);
      std::memcpy(at, text.data(), std::min(text.size(), f.size));
      break;
    case storage::FieldType::CString:
      std::memcpy(at, text.c_str(), std::min(text.size() + 1, f.size));
      at[f.size - 1] = '\0';
      break;
    case storage::FieldType::Long:
    case storage::FieldType::ULong: {
      const std::int32_t v = std::stoi(text);
      std::memcpy(at, &v, 4);
      break;
    }
    case storage::FieldType::Short: {
      const std::int16_t v = static_cast<std::int16_t>(std::stoi(text));
      std::memcpy(at, &v, 2);
      break;
    }
    case storage::FieldType::Byte:
      at[0] = static_cast<char>(std::stoi(text));
      break;
    case storage::FieldType::Decimal:
      break;
  }
}

// A field of the calling thread's buffer as text (trailing blanks dropped).
inline std::string FieldText(const storage::TableDef& t, const std::string& name) {
  const storage::FieldDef& f = FieldNamed(t, name);
  const char* at = static_cast<const char*>(t.buffer()) + f.offset;
  switch (f.type) {
    case storage::FieldType::String:
    case storage::FieldType::Memo: {
      std::string s(at, f.size);
      s.erase(s.find_last_not_of(' ') + 1);
      return s;
    }
    case storage::FieldType::CString:
      return std::string(at);
    case storage::FieldType::Long:
    case storage::FieldType::ULong: {
      std::int32_t v = 0;
      std::memcpy(&v, at, 4);
      return std::to_string(v);
    }
    case storage::FieldType::Short: {
      std::int16_t v = 0;
      std::memcpy(&v, at, 2);
      return std::to_string(v);
    }
    case storage::FieldType::Byte:
      return std::to_string(static_cast<unsigned char>(at[0]));
    case storage::FieldType::Decimal:
      break;
  }
  return {};
}

// Fills every field of the calling thread's buffer with a value that differs from field to
// field (and from seed to seed): numbers seed*1000 + field number, texts "v<n>-<seed>".
inline void FillRecord(const storage::TableDef& t, int seed = 1) {
  int n = 0;
  for (const storage::FieldDef& f : t.fields) {
    ++n;
    if (f.type == storage::FieldType::Byte) {
      SetFieldText(t, f.name, std::to_string(n % 2 + 1));
    } else if (f.type == storage::FieldType::Long || f.type == storage::FieldType::ULong ||
               f.type == storage::FieldType::Short) {
      SetFieldText(t, f.name, std::to_string(seed * 1000 + n));
    } else if (f.type != storage::FieldType::Decimal) {
      SetFieldText(t, f.name, "v" + std::to_string(n) + "-" + std::to_string(seed));
    }
  }
}

// Every field of the calling thread's buffer as text, in field order.
inline std::vector<std::string> RecordText(const storage::TableDef& t) {
  std::vector<std::string> values;
  for (const storage::FieldDef& f : t.fields) values.push_back(FieldText(t, f.name));
  return values;
}

// A scratch folder that is the current directory while the object lives.
class InFreshFolder {
 public:
  InFreshFolder() {
    char pattern[] = "/tmp/vx-datadll-XXXXXX";
    dir_ = mkdtemp(pattern);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  ~InFreshFolder() {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  InFreshFolder(const InFreshFolder&) = delete;
  InFreshFolder& operator=(const InFreshFolder&) = delete;
  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path dir_;
  std::filesystem::path old_;
};

// Records every message box instead of showing it, and answers with its default button.
class CapturingReporter : public MessageReporter {
 public:
  unsigned Show(const MessageBoxRequest& box) override {
    shown.push_back(box);
    return box.default_button;
  }
  std::vector<MessageBoxRequest> shown;
};

// The data library loaded and started for a test, its messages captured.
class DataLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VX_Files_Load();
    errors_.Init();
    errors_.SetReporter(&reporter_);
    VX_FILES_INIT(&errors_, nullptr);
  }
  void TearDown() override { VX_Files_Unload(); }

  CapturingReporter reporter_;
  ErrorClass errors_;
};

}  // namespace vx::test
