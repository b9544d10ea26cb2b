#include "datadll/addons/edit_in_place.h"

#include "datadll/addons/addon_keys.h"
#include "runtime/events.h"
#include "runtime/window/window.h"

namespace vx::SBRW {

void EDITCLASS::INIT(int column, Control& list, std::string& variable) {
  FIELDNO = column;
  LISTBOX = &list;
  USEVAR = &variable;
  CREATECONTROL();
  SETUPALERTKEYS();
}

Control& EDITCLASS::MakeOverCell(Control& made) {
  FEQ = made.Number();
  made.Set(Prop::EditList, LISTBOX->Number()).Set(Prop::EditColumn, FIELDNO);
  return made;
}

void EDITCLASS::SETUPALERTKEYS() {
  if (!FEQ || !LISTBOX) return;
  Control& c = LISTBOX->OwnerWindow()[FEQ];
  c.Alert(addons::TabKey).Alert(addons::ShiftTab).Alert(EnterKey).Alert(EscKey);
  if (AlertsUpDown()) c.Alert(addons::DownKey).Alert(addons::UpKey);
}

void EDITCLASS::DESTROYCONTROL() {
  if (!FEQ || !LISTBOX) return;
  // The model keeps a control's number for the window's life: the editor goes out of sight.
  if (Control* c = LISTBOX->OwnerWindow().Find(FEQ))
    c->Set(Prop::EditList, 0L).Set(Prop::EditColumn, 0L).Hide();
  FEQ = 0;
}

void EDITCLASS::CopyIn() {
  if (!FEQ || !LISTBOX || !USEVAR) return;
  if (Control* c = LISTBOX->OwnerWindow().Find(FEQ)) {
    c->Update();
    if (!c->Use().bound()) *USEVAR = c->Get(Prop::Value);
  }
}

int EDITCLASS::TAKEEVENT() {
  if (!FEQ || FIELD() != FEQ) return 0;
  return TAKEEVENT(EVENT());
}

int EDITCLASS::TAKEEVENT(int event) {
  if (event == EditPlaceEvent) return TAKESELECTED();
  if (event == EditAcceptEvent) {
    CopyIn();
    return TAKEACCEPTED();
  }
  if (event != EVENT_AlertKey) return 0;
  int code = 0;
  switch (KEYCODE()) {
    case addons::TabKey:
      code = 1;
      break;
    case addons::ShiftTab:
      code = 2;
      break;
    case EnterKey:
      code = 3;
      break;
    case EscKey:
      return 4;  // nothing of the cell is kept
    case addons::DownKey:
      code = AlertsUpDown() ? 5 : 0;
      break;
    case addons::UpKey:
      code = AlertsUpDown() ? 6 : 0;
      break;
    default:
      return 0;
  }
  if (code == 0) return 0;
  CopyIn();
  return TAKEACCEPTED() != 0 ? 0 : code;
}

void EDITENTRYCLASS::CREATECONTROL() {
  const std::string picture = LISTBOX->Columns().size() >= static_cast<std::size_t>(FIELDNO)
                                  ? LISTBOX->Columns()[FIELDNO - 1].picture
                                  : std::string();
  MakeOverCell(LISTBOX->OwnerWindow().Entry(*USEVAR, picture.empty() ? "@s255" : picture));
}

namespace {
std::string ColumnPicture(const Control& list, int column) {
  if (column < 1 || static_cast<std::size_t>(column) > list.Columns().size()) return "@s255";
  const std::string& p = list.Columns()[static_cast<std::size_t>(column - 1)].picture;
  return p.empty() ? "@s255" : p;
}
}  // namespace

void EDITSPINCLASS::CREATECONTROL() {
  MakeOverCell(LISTBOX->OwnerWindow().Spin(*USEVAR, ColumnPicture(*LISTBOX, FIELDNO), 0, 99999));
}
void EDITDROPLISTCLASS::CREATECONTROL() { MakeOverCell(LISTBOX->OwnerWindow().DropList(*USEVAR)); }
void EDITDROPCOMBOCLASS::CREATECONTROL() {
  MakeOverCell(LISTBOX->OwnerWindow().Combo(*USEVAR, ColumnPicture(*LISTBOX, FIELDNO)));
}

int EDITFILEDROPCLASS::TAKEEVENT(int event) {
  if (event == EVENT_NewSelection) return TAKENEWSELECTION();
  return EDITCLASS::TAKEEVENT(event);
}

void EDITCHECKCLASS::CREATECONTROL() {
  MakeOverCell(LISTBOX->OwnerWindow().Check("", *USEVAR));
  SETCONTROLTEXT();
}
void EDITCHECKCLASS::SETCONTROLTEXT() {
  if (FEQ) LISTBOX->OwnerWindow()[FEQ].SetText(LISTBOX->Header(FIELDNO));
}
void EDITCHECKCLASS::TWEAKCONTROLPOSITION() {
  // The box stands 8 units left of the cell, so that its tick lands where the text would.
  if (FEQ) LISTBOX->OwnerWindow()[FEQ].Set(Prop::X, -8L);
}

void EDITENTRYLUCLASS::CREATECONTROL() {
  MakeOverCell(LISTBOX->OwnerWindow().Combo(*USEVAR, ColumnPicture(*LISTBOX, FIELDNO)))
      .Icon("~ST_LKUP.ICO");
}
int EDITENTRYLUCLASS::TAKEEVENT(int event) {
  // The lookup button's hook may open a lookup; whatever it answers, the cell stays open.
  if (event == EVENT_Rejected) {
    TAKEBUTTONACCEPTED();
    return 0;
  }
  return EDITCLASS::TAKEEVENT(event);
}

void EDITBUTTONCLASS::CREATECONTROL() { MakeOverCell(LISTBOX->OwnerWindow().Button("...")); }

}  // namespace vx::SBRW
