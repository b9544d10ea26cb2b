#include "framework/relation_manager.h"

#include <algorithm>
#include <vector>

#include "runtime/storage/open_burst.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_session.h"

namespace vx {
namespace {

using storage::FieldDef;

// Deeper than any chain of relations in a dictionary: a loop of relations stops here.
constexpr int kMaxDepth = 16;

// What went wrong inside a framed change, reported once the transaction is rolled back (so
// no message box waits while the files are locked).
struct Pending {
  FileMessage message = FileMessage::DeleteFailed;
  const RelationManager* where = nullptr;
  const RelationManager* child = nullptr;
  int code = 0;
};

Pending& ThisThreadPending() {
  thread_local Pending pending;
  return pending;
}

void CopyField(const FieldDef& from, const char* from_record, const FieldDef& to, char* to_record) {
  const bool from_text = storage::IsText(from.type);
  const bool to_text = storage::IsText(to.type);
  if (!from_text && !to_text && from.type != storage::FieldType::Decimal &&
      to.type != storage::FieldType::Decimal) {
    storage::SetFieldInteger(to, to_record, storage::FieldInteger(from, from_record));
  } else {
    storage::SetFieldText(to, to_record, storage::FieldText(from, from_record));
  }
}

std::vector<char> Image(const FileManager& fm) {
  const char* buffer = static_cast<const char*>(fm.def().buffer());
  return {buffer, buffer + fm.def().record_size};
}

}  // namespace

void RelationManager::Init(FileManager& me, bool use_logout) {
  me_ = &me;
  UseLogout = use_logout;
  relations_.clear();
}

void RelationManager::Kill() {
  relations_.clear();
  me_ = nullptr;
}

void RelationManager::AddRelation(RelationManager& other) {
  relations_.push_back({&other, false, RelationMode::None, RelationMode::None, nullptr, {}});
}

void RelationManager::AddRelation(RelationManager& child, RelationMode on_update,
                                  RelationMode on_delete, const storage::KeyDef& child_key) {
  relations_.push_back({&child, true, on_update, on_delete, &child_key, {}});
}

void RelationManager::AddRelationLink(std::string_view my_field, std::string_view child_field) {
  if (relations_.empty()) return;
  Relation& r = relations_.back();
  r.links.push_back({me_->def().FieldIndex(my_field), r.other->Me().def().FieldIndex(child_field)});
}

int RelationManager::OpenTree(std::vector<const RelationManager*>& seen) {
  if (std::find(seen.begin(), seen.end(), this) != seen.end()) return 0;
  seen.push_back(this);
  if (const int code = me_->Open(); code != 0) return code;
  for (Relation& r : relations_) {
    if (const int code = r.other->OpenTree(seen); code != 0) return code;
  }
  return 0;
}

int RelationManager::CloseTree(std::vector<const RelationManager*>& seen) {
  if (std::find(seen.begin(), seen.end(), this) != seen.end()) return 0;
  seen.push_back(this);
  for (Relation& r : relations_) r.other->CloseTree(seen);
  return me_->Close();
}

int RelationManager::Open() {
  // The tree's tables open as one piece of work: each file's schema version is read once.
  const storage::OpenBurst burst;
  std::vector<const RelationManager*> seen;
  return OpenTree(seen);
}

int RelationManager::Close() {
  std::vector<const RelationManager*> seen;
  return CloseTree(seen);
}

int RelationManager::ForEachChild(const Relation& relation, const char* parent_values,
                                  const std::function<int(RelationManager& child)>& action) {
  RelationManager& child = *relation.other;
  FileManager& fm = child.Me();
  const bool opened_here = fm.Opened() == 0;
  if (opened_here) {
    if (const int code = fm.Open(); code != 0) return code;
  }
  storage::File& file = fm.file();
  const storage::FileState saved = file.GetState();
  char* buffer = static_cast<char*>(fm.def().buffer());
  std::vector<int> fields;
  for (const Link& link : relation.links) {
    CopyField(me_->def().fields[static_cast<std::size_t>(link.mine)], parent_values,
              fm.def().fields[static_cast<std::size_t>(link.theirs)], buffer);
    fields.push_back(link.theirs);
  }
  int code = file.SetEqual(*relation.child_key, fields);
  while (code == 0 && (code = file.Next()) == 0) code = action(child);
  if (code == storage::kNoRecord) code = 0;
  file.RestoreState(saved);
  if (opened_here) fm.Close();
  return code;
}

int RelationManager::DeleteTree(int depth) {
  if (depth > kMaxDepth) return storage::kDriverError;
  const std::vector<char> parent = Image(*me_);
  for (const Relation& r : relations_) {
    if (!r.one_to_many || r.on_delete == RelationMode::None) continue;
    int code = 0;
    switch (r.on_delete) {
      case RelationMode::Restrict:
        code = ForEachChild(r, parent.data(), [&](RelationManager& child) {
          ThisThreadPending() = {FileMessage::RestrictDelete, this, &child, 0};
          return kRestricted;
        });
        break;
      case RelationMode::Cascade:
        code = ForEachChild(r, parent.data(),
                            [&](RelationManager& child) { return child.DeleteTree(depth + 1); });
        break;
      case RelationMode::Clear:
        code = ForEachChild(r, parent.data(), [&](RelationManager& child) {
          char* buffer = static_cast<char*>(child.Me().def().buffer());
          for (const Link& link : r.links)
            storage::ClearField(child.Me().def().fields[static_cast<std::size_t>(link.theirs)],
                                buffer);
          const int result = child.Me().TryUpdate();
          if (result != 0)
            ThisThreadPending() = {FileMessage::UpdateFailed, &child, nullptr, result};
          return result;
        });
        break;
      case RelationMode::None:
        break;
    }
    if (code != 0) {
      if (code != kRestricted && ThisThreadPending().code == 0)
        ThisThreadPending() = {FileMessage::DeleteFailed, r.other, nullptr, code};
      return code;
    }
  }
  const int code = me_->TryDelete();
  if (code != 0) ThisThreadPending() = {FileMessage::DeleteFailed, this, nullptr, code};
  return code;
}

int RelationManager::UpdateTree(int depth) {
  if (depth > kMaxDepth) return storage::kDriverError;
  storage::File& file = me_->file();
  const std::vector<char> changed = Image(*me_);
  // The record as stored, to see which linking fields the caller changed.
  const storage::FileState saved = file.GetState();
  int code = file.GetPosition(file.Position());
  const std::vector<char> stored = Image(*me_);
  file.RestoreState(saved);
  if (code != 0) {
    ThisThreadPending() = {FileMessage::UpdateFailed, this, nullptr, code};
    return code;
  }
  char* buffer = static_cast<char*>(me_->def().buffer());
  for (const Relation& r : relations_) {
    if (!r.one_to_many || r.on_update == RelationMode::None) continue;
    bool moved = false;
    for (const Link& link : r.links) {
      const FieldDef& f = me_->def().fields[static_cast<std::size_t>(link.mine)];
      if (storage::FieldText(f, changed.data()) != storage::FieldText(f, stored.data()))
        moved = true;
    }
    if (!moved) continue;
    switch (r.on_update) {
      case RelationMode::Restrict:
        code = ForEachChild(r, stored.data(), [&](RelationManager& child) {
          ThisThreadPending() = {FileMessage::RestrictUpdate, this, &child, 0};
          return kRestricted;
        });
        if (code == kRestricted) {
          // The linking fields go back to what is stored; the other changes stay in the buffer.
          for (const Link& link : r.links) {
            const FieldDef& f = me_->def().fields[static_cast<std::size_t>(link.mine)];
            CopyField(f, stored.data(), f, buffer);
          }
        }
        break;
      case RelationMode::Cascade:
      case RelationMode::Clear:
        code = ForEachChild(r, stored.data(), [&](RelationManager& child) {
          char* child_buffer = static_cast<char*>(child.Me().def().buffer());
          for (const Link& link : r.links) {
            const FieldDef& to = child.Me().def().fields[static_cast<std::size_t>(link.theirs)];
            if (r.on_update == RelationMode::Clear) {
              storage::ClearField(to, child_buffer);
            } else {
              CopyField(me_->def().fields[static_cast<std::size_t>(link.mine)], changed.data(), to,
                        child_buffer);
            }
          }
          return child.UpdateTree(depth + 1);
        });
        break;
      case RelationMode::None:
        break;
    }
    if (code != 0) return code;
  }
  code = me_->TryUpdate();
  if (code != 0) ThisThreadPending() = {FileMessage::UpdateFailed, this, nullptr, code};
  return code;
}

int RelationManager::Framed(int (RelationManager::*body)(int)) {
  ThisThreadPending() = Pending{};
  int code = 0;
  if (UseLogout) {
    storage::LOGOUT(me_->LockRecover);
    code = (this->*body)(0);
    if (code != 0) {
      storage::ROLLBACK();
    } else if (storage::COMMIT() != 0) {
      code = storage::kDriverError;
      ThisThreadPending() = {FileMessage::UpdateFailed, this, nullptr, code};
    }
  } else {
    code = (this->*body)(0);
  }
  if (code == 0) return 0;

  const Pending pending = ThisThreadPending();
  const RelationManager* where = pending.where ? pending.where : this;
  if (pending.message == FileMessage::RestrictDelete ||
      pending.message == FileMessage::RestrictUpdate) {
    FileErrorSink* sink = me_->errors();
    if (sink) {
      FileProblem p;
      p.message = pending.message;
      p.file = pending.child->Me().file().Name();
      p.label = pending.child->Me().def().label;
      const std::string& name = p.label.empty() ? p.file : p.label;
      if (pending.message == FileMessage::RestrictDelete) {
        p.caption = "Referential Integrity Delete Error";
        p.text = "This record is referenced from the file " + name +
                 ". This record cannot be deleted while these references exist.";
      } else {
        p.caption = "Referential Integrity Update Error";
        p.text = "This record is referenced from the file " + name +
                 ". Linking field(s) have been restricted from change and have been reset to "
                 "original values.";
      }
      sink->TakeFileProblem(p);
    }
    return kRestricted;
  }
  if (pending.code > 0) {
    // Duplicates are named by their key; everything else by the operation that failed.
    const FileManager& fm = where->Me();
    const storage::KeyDef* key =
        pending.code == storage::kDuplicateKey ? fm.file().DuplicateKey() : nullptr;
    if (key) {
      fm.Report(FileMessage::DuplicateKey, pending.code, key->description);
    } else {
      fm.Report(pending.message, pending.code);
    }
  }
  return code;
}

int RelationManager::Delete(bool ask) {
  if (ask && me_->errors() && me_->Report(FileMessage::ConfirmDelete, 0) == 0) return kCancelled;
  return Framed(&RelationManager::DeleteTree);
}

int RelationManager::Update() { return Framed(&RelationManager::UpdateTree); }

}  // namespace vx
