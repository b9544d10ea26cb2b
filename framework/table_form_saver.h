// Saves a form's record in its table: an insert through the file manager, a change and a delete
// through the relation manager, so that related records follow the relation rules.
#pragma once

#include "framework/relation_manager.h"
#include "framework/window_manager.h"

namespace vx {

class TableFormSaver final : public RecordSaver {
 public:
  explicit TableFormSaver(RelationManager& relation) : relation_(relation) {}
  // Level_Benign when stored; a failure has been reported and keeps the form open, as does a
  // delete the user declined.
  Level Save(long request) override;

 private:
  RelationManager& relation_;
};

}  // namespace vx
