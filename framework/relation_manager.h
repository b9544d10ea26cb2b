// The framework's relation manager (RELATIONMANAGER): a table's relations to other tables.
//
// It opens and closes a table together with the tables it relates to, and carries a change of
// a parent's linking fields or the deletion of a parent into the child records by each
// relation's mode. A whole change runs in one transaction: when any step fails, nothing of it
// stays. Operations return 0 on success, else the runtime error code (or kRestricted).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/file_manager.h"

namespace vx {

enum class RelationMode : std::uint8_t { None, Restrict, Cascade, Clear };

class RelationManager {
 public:
  // Returned when a restrict rule refused the change.
  static constexpr int kRestricted = -1;
  // Returned when the user declined the delete.
  static constexpr int kCancelled = -2;

  virtual ~RelationManager() = default;

  // `use_logout`: run changes in a transaction of their own (off when a caller frames them).
  virtual void Init(FileManager& me, bool use_logout = true);
  virtual void Kill();
  FileManager& Me() const { return *me_; }
  bool UseLogout = true;

  // A lookup relation: the other table is opened and closed with this one.
  void AddRelation(RelationManager& other);
  // A one-to-many relation to `child`, read by `child_key`; links follow with AddRelationLink.
  void AddRelation(RelationManager& child, RelationMode on_update, RelationMode on_delete,
                   const storage::KeyDef& child_key);
  // Pairs a field of this table with a field of the child of the last AddRelation.
  void AddRelationLink(std::string_view my_field, std::string_view child_field);

  int Open();
  int Close();

  // Deletes the current record and, by the relations' modes, its related records. With `ask`
  // the user confirms first.
  int Delete(bool ask = true);
  // Writes the buffer over the current record, carrying changed linking fields into the
  // related records by the relations' modes.
  int Update();

 private:
  struct Link {
    int mine;
    int theirs;
  };
  struct Relation {
    RelationManager* other;
    bool one_to_many;
    RelationMode on_update;
    RelationMode on_delete;
    const storage::KeyDef* child_key;
    std::vector<Link> links;
  };

  int OpenTree(std::vector<const RelationManager*>& seen);
  int CloseTree(std::vector<const RelationManager*>& seen);
  int DeleteTree(int depth);
  int UpdateTree(int depth);
  // Runs `action` on each child record linked to `parent_values` (a record image of this table).
  int ForEachChild(const Relation& relation, const char* parent_values,
                   const std::function<int(RelationManager& child)>& action);
  int Framed(int (RelationManager::*body)(int));

  FileManager* me_ = nullptr;
  std::vector<Relation> relations_;
};

}  // namespace vx
