#include "framework/table_form_saver.h"

#include "framework/request_globals.h"

namespace vx {

Level TableFormSaver::Save(long request) {
  int code = 0;
  switch (request) {
    case InsertRecord:
      code = relation_.Me().Insert();
      break;
    case ChangeRecord:
      code = relation_.Update();
      break;
    case DeleteRecord:
      code = relation_.Delete(true);
      break;
    default:
      return Level_Benign;  // viewing stores nothing
  }
  return code == 0 ? Level_Benign : Level_Notify;
}

}  // namespace vx
