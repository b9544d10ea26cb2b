#include "datadll/utility/zq_td_file_manager.h"

#include <cstring>
#include <limits>
#include <vector>

#include "runtime/storage/errors.h"
#include "runtime/storage/sqlite_session.h"

namespace vx {
namespace {

// Bytes of a field in the record buffer.
std::size_t FieldBytes(const storage::FieldDef& field) {
  switch (field.type) {
    case storage::FieldType::Long:
    case storage::FieldType::ULong:
      return 4;
    case storage::FieldType::Short:
      return 2;
    case storage::FieldType::Byte:
      return 1;
    default:
      return field.size;
  }
}

// The last key component read and written as a number of its own type.
std::int64_t ReadNumber(const storage::FieldDef& field, const char* record) {
  const char* at = record + field.offset;
  switch (field.type) {
    case storage::FieldType::Long: {
      std::int32_t v = 0;
      std::memcpy(&v, at, 4);
      return v;
    }
    case storage::FieldType::ULong: {
      std::uint32_t v = 0;
      std::memcpy(&v, at, 4);
      return v;
    }
    case storage::FieldType::Short: {
      std::int16_t v = 0;
      std::memcpy(&v, at, 2);
      return v;
    }
    case storage::FieldType::Byte:
      return static_cast<unsigned char>(*at);
    default:
      return 0;
  }
}

void WriteNumber(const storage::FieldDef& field, char* record, std::int64_t value) {
  char* at = record + field.offset;
  switch (field.type) {
    case storage::FieldType::Long: {
      const auto v = static_cast<std::int32_t>(value);
      std::memcpy(at, &v, 4);
      break;
    }
    case storage::FieldType::ULong: {
      const auto v = static_cast<std::uint32_t>(value);
      std::memcpy(at, &v, 4);
      break;
    }
    case storage::FieldType::Short: {
      const auto v = static_cast<std::int16_t>(value);
      std::memcpy(at, &v, 2);
      break;
    }
    case storage::FieldType::Byte:
      *at = static_cast<char>(value);
      break;
    default:
      break;
  }
}

// The highest value of the field's type, where the neighbour waits while the two swap.
std::int64_t TopOfRange(const storage::FieldDef& field) {
  switch (field.type) {
    case storage::FieldType::ULong:
      return std::numeric_limits<std::uint32_t>::max();
    case storage::FieldType::Short:
      return std::numeric_limits<std::int16_t>::max();
    case storage::FieldType::Byte:
      return std::numeric_limits<std::uint8_t>::max();
    default:
      return std::numeric_limits<std::int32_t>::max();
  }
}

bool SameField(const storage::FieldDef& field, const char* a, const char* b) {
  return std::memcmp(a + field.offset, b + field.offset, FieldBytes(field)) == 0;
}

std::uint8_t Failure(int code) {
  return static_cast<std::uint8_t>(code > 0 && code < 256 ? code : storage::kDriverError);
}

}  // namespace

std::uint8_t ZQTDFILEMANAGER::SEQUENCE(short direction, const storage::KeyDef& key) {
  if (key.components.empty()) return Failure(storage::kBadKey);
  const storage::TableDef& table = def();
  std::vector<const storage::FieldDef*> fields;
  for (const storage::KeyComponent& component : key.components) {
    const int at = table.FieldIndex(component.field);
    if (at < 0) return Failure(storage::kBadKey);
    fields.push_back(&table.fields[static_cast<std::size_t>(at)]);
  }
  const storage::FieldDef& last = *fields.back();
  char* buffer = static_cast<char*>(table.buffer());
  const std::vector<char> asked(buffer, buffer + table.record_size);
  const storage::FileState saved = SaveFile();
  const auto give_up = [&](int code) {
    RestoreFile(saved);
    return Failure(code);
  };

  // The record itself: the walk from its key values reads it first, unless it is not stored.
  if (const int code = SetFromBuffer(key); code != 0) return give_up(code);
  if (const int code = TryNext(); code != 0) return give_up(code);
  for (const storage::FieldDef* field : fields) {
    if (!SameField(*field, buffer, asked.data())) return give_up(storage::kRecordNotFound);
  }
  const std::int64_t record_at = file().Position();
  const std::vector<char> record(buffer, buffer + table.record_size);

  // Its neighbour, which must belong to the same list.
  int read = direction == 1 ? TryPrevious() : TryNext();
  if (read == 0 && file().Position() == record_at)
    read = direction == 1 ? TryPrevious() : TryNext();
  if (read != 0) return give_up(storage::kNoRecord);
  for (std::size_t i = 0; i + 1 < fields.size(); ++i) {
    if (!SameField(*fields[i], buffer, record.data())) return give_up(storage::kNoRecord);
  }
  const std::int64_t neighbour_at = file().Position();
  const std::int64_t record_value = ReadNumber(last, record.data());
  const std::int64_t neighbour_value = ReadNumber(last, buffer);
  std::int64_t parking = TopOfRange(last);
  while (parking == record_value || parking == neighbour_value) --parking;

  if (const int code = storage::LOGOUT(1); code != 0) {
    std::memcpy(buffer, asked.data(), asked.size());
    return give_up(code);
  }
  // The writes report nothing while the transaction holds the file: a failure is reported
  // once it has been rolled back, so no message box waits with the write lock taken.
  const auto write = [&](std::int64_t position, std::int64_t value) {
    if (const int code = file().GetPosition(position); code != 0) return code;
    WriteNumber(last, buffer, value);
    return TryUpdate();
  };
  int code = write(neighbour_at, parking);
  if (code == 0) code = write(record_at, neighbour_value);
  if (code == 0) code = write(neighbour_at, record_value);
  if (code == 0) code = storage::COMMIT();
  if (code != 0) {
    const storage::KeyDef* duplicate = file().DuplicateKey();
    storage::ROLLBACK();
    RestoreFile(saved);
    std::memcpy(buffer, asked.data(), asked.size());
    if (code == storage::kDuplicateKey) {
      Report(FileMessage::DuplicateKey, code, duplicate != nullptr ? duplicate->description : "");
    } else {
      Report(FileMessage::UpdateFailed, code);
    }
    return Failure(code);
  }
  // The moved record as stored, in place of the one asked for.
  std::vector<char> moved = record;
  WriteNumber(last, moved.data(), neighbour_value);
  RestoreFile(saved);
  std::memcpy(buffer, moved.data(), moved.size());
  return 0;
}

}  // namespace vx
