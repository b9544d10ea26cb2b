// A control of a window: its kind, number, parent, properties and use-variable.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window/binding.h"
#include "runtime/window/control_type.h"
#include "runtime/window/front_end.h"
#include "runtime/window/layout.h"
#include "runtime/window/list_format.h"
#include "runtime/window/properties.h"
#include "runtime/window/property_bag.h"

namespace vx {

class Window;
class Control;

// Where a list's rows come from: a queue or a view, read row by row as field texts in the
// order the list format numbers them (value, then colours and icon where the format says).
class ListSource {
 public:
  virtual ~ListSource() = default;
  virtual std::size_t Records() const = 0;
  virtual std::vector<std::string> Fields(std::size_t row) const = 0;  // row from 0
  // The row's fields where the source keeps them as they are (so a render reads them without a
  // copy); nullptr where it makes them for each call.
  virtual const std::vector<std::string>* KeptFields(std::size_t /*row*/) const { return nullptr; }
  // Whether a long render of the rows may give other runtime threads a turn now and then
  // (YIELD): only rows that no other thread changes meanwhile (a shared queue may shrink).
  virtual bool MayYieldWhileRendered() const { return false; }
};

// Makes controls inside a window or inside a container control (sheet, tab, option, group,
// menu, toolbar ...). Every control gets the next control number of its window.
class ControlMaker {
 public:
  virtual ~ControlMaker() = default;
  friend class Window;

  Control& Prompt(std::string_view text);
  Control& String(std::string_view text);                  // a fixed text
  Control& String(Binding use, std::string_view picture);  // a text that shows a variable
  Control& Entry(Binding use, std::string_view picture);
  Control& Text(Binding use);  // multi-line text
  Control& Spin(Binding use, std::string_view picture, long low, long high, long step = 1);
  Control& Button(std::string_view text);
  Control& Check(std::string_view text, Binding use);
  Control& Option(std::string_view text, Binding use);
  Control& Radio(std::string_view text, std::string_view value = {});
  Control& DropList(Binding use, std::string_view from = {});
  Control& Combo(Binding use, std::string_view picture, std::string_view from = {});
  Control& List(std::string_view format);
  Control& Sheet();
  Control& Tab(std::string_view text);
  Control& Group(std::string_view text = {});
  Control& Panel();
  Control& Region();
  Control& Image(std::string_view file);
  Control& Progress(long low = 0, long high = 100);
  // A bar chart the front end draws: Value holds one bar a line, "name<TAB>count<TAB>percent
  // text<TAB>colour" (colour as 0xBBGGRR), Text the title lines ("\n" between them); FontName,
  // FontSize, FontColor and FontStyle give the font of the names.
  Control& BarGraph();
  // A printed page the front end draws: Value holds the page in its text form
  // (report::PageImageText, runtime/report/page_image.h), Zoom its size.
  Control& PageImage();
  // A rich-text editor: Value holds the document as RTF (runtime/window/rich_text_rtf.h),
  // SelStart and SelEnd the selection; the front end sends the user's edits as one text
  // (runtime/window/rich_edit_input.h) that sets all three.
  Control& RichEdit();
  // A ruler over a rich-text editor: Value holds the tab stops in twips from its left end ("|"
  // between them); the front end marks each stop on an inch scale. A click is EVENT_Accepted
  // with the place clicked, in twips from the left end, as the choice (kept as Choice).
  Control& Ruler();
  Control& Menu(std::string_view text);
  Control& Item(std::string_view text);
  Control& Separator();

  // Containers that only arrange what is made inside them (regions with a layout, see
  // layout.h): a row of buttons or of fields side by side, a grid of `columns` columns, panes
  // side by side or stacked, and a block of form rows.
  Control& Row();
  Control& Grid(int columns);
  Control& Beside();
  Control& Stacked();
  Control& FormRows();
  // A borderless region whose controls stand where their X, Y, Width and Height say.
  Control& Free();
  // A size grip in the window's lower right corner, outside every layout; its X, Y, Width and
  // Height (pixels) say where it stands.
  Control& SizeGrip();

 protected:
  virtual Window& MakerWindow() = 0;
  virtual int MakerParent() const = 0;
  Control& Make(ControlType type, std::string_view text, Binding use);
  Control& MakeArranged(Layout layout);
};

class Control : public ControlMaker {
 public:
  Control(Window& window, int number, ControlType type, int parent, Binding use);

  int Number() const { return number_; }
  operator int() const { return number_; }  // NOLINT: a control stands for its number
  ControlType Type() const { return type_; }
  int Parent() const { return parent_; }
  const Binding& Use() const { return use_; }
  Window& OwnerWindow() const { return window_; }

  // Properties by number or name; setting announces the change when the value differs.
  std::string Get(Prop prop) const { return props_.Get(prop); }
  long GetNumber(Prop prop) const { return props_.GetNumber(prop); }
  bool Is(Prop prop) const { return GetNumber(prop) != 0; }
  Control& Set(Prop prop, std::string_view value);
  Control& Set(Prop prop, long value) { return Set(prop, std::string_view(std::to_string(value))); }
  Control& Set(Prop prop, int value) { return Set(prop, static_cast<long>(value)); }
  Control& Set(Prop prop, bool value) { return Set(prop, value ? 1L : 0L); }
  Control& Set(Prop prop, const char* value) { return Set(prop, std::string_view(value)); }
  const std::map<Prop, std::string>& Props() const { return props_.All(); }

  // The usual properties by name.
  std::string TextValue() const { return Get(Prop::Text); }
  Control& SetText(std::string_view text) { return Set(Prop::Text, text); }
  Control& Tip(std::string_view tip) { return Set(Prop::Tip, tip); }
  Control& Icon(std::string_view icon) { return Set(Prop::Icon, icon); }
  Control& Key(std::string_view key) { return Set(Prop::Key, key); }
  Control& Hide(bool hide = true) { return Set(Prop::Hide, hide); }
  Control& Unhide() { return Hide(false); }
  Control& Disable(bool disable = true) { return Set(Prop::Disable, disable); }
  Control& Enable(bool enable = true) { return Disable(!enable); }
  Control& Required(bool required = true) { return Set(Prop::Required, required); }
  Control& ReadOnly(bool read_only = true) { return Set(Prop::ReadOnly, read_only); }
  Control& Password(bool password = true) { return Set(Prop::Password, password); }
  Control& Default();           // becomes the window's default button
  Control& Alert(int keycode);  // the key, pressed on this control, comes as EVENT_AlertKey
  Control& Value(std::string_view value) { return Set(Prop::Value, value); }
  // How this container arranges its controls; set it before making them.
  Control& Arrange(Arrangement arrangement, int columns = 0) {
    return Set(Prop::Layout, Layout{arrangement, columns}.Text());
  }
  // Where the container's layout put this control (row and column from 1; 0 when not laid out).
  LayoutCell Cell() const {
    return {static_cast<int>(GetNumber(Prop::Row)), static_cast<int>(GetNumber(Prop::Column))};
  }

  // Hidden or disabled itself or through a container.
  bool Visible() const;
  bool Enabled() const;

  // Screen and variable: Display shows the use-variable, Update stores what is shown into it.
  void Display();
  void Update();

  // Chosen item, row or tab (from 1; 0 none) of a list, drop list, combo, option or sheet.
  long Choice() const { return GetNumber(Prop::Selected); }
  void Choose(long choice);

  // Lists: where rows come from, their format and the icon list.
  Control& From(ListSource* source);
  Control& From(std::string_view items);  // drop lists and combos: "a|b|#value|c"
  // Drop lists and combos: a colour sample (0xBBGGRR, -1 none) beside each item, in the order of
  // the items (a choice of colours shows each colour by its name).
  Control& Swatches(std::vector<long> colours);
  Control& Format(std::string_view format);
  Control& IconList(std::vector<std::string> icons);
  const std::vector<ListColumn>& Columns() const { return Shown().columns; }
  // Explicit place in a free container, in dialog units (see layout.h).
  Control& Place(long x, long y, long width, long height);
  std::size_t Rows() const;
  const std::vector<ListRow>& ShownRows() const { return *rows_; }
  // The same rows as the front ends get them: shared, never changed once rendered.
  std::shared_ptr<const std::vector<ListRow>> SharedRows() const { return rows_; }
  // Field texts of a row (from 1) of a list's source; empty when out of range.
  std::vector<std::string> RowFields(long row) const;

  // Lists: the format the window was built with (the one a user's "Reset to Default" returns
  // to), kept apart from the format shown now, which a user's layout may change after opening.
  const std::string& DesignFormat() const { return design_format_; }
  const std::vector<ListColumn>& DesignColumns() const;
  Control& ResetFormat() { return Format(design_format_); }
  // Lists: the header text and the underline mark of a column (from 1) as shown now.
  std::string Header(int column) const;
  bool Underlined(int column) const;

  // Controls directly inside this one, in control order.
  std::vector<Control*> Children() const;

 protected:
  Window& MakerWindow() override { return window_; }
  int MakerParent() const override { return number_; }

 private:
  friend class Window;
  friend class ControlMaker;
  void Render();  // list rows from the source, announced
  void ApplyInput(const struct Event& event);
  // lists: where the mouse was, a column resized, the rows in view
  void ApplyMouse(const struct Event& event);
  // The control as it first appears to a front end. Its properties travel in the snapshot
  // without a copy and come back with TakeBack once it has been announced; a front end that
  // keeps the snapshot leaves the control a copy of them.
  std::shared_ptr<ControlSnapshot> LendSnapshot();
  void TakeBack(std::shared_ptr<ControlSnapshot> snapshot);
  const ListFormat& Shown() const;  // the format shown now (read once for every list showing it)
  std::string ChoiceValue(long choice) const;
  long ChoiceOf(std::string_view value) const;

  Window& window_;
  int number_;
  ControlType type_;
  int parent_;
  Binding use_;
  PropertyBag props_;
  std::shared_ptr<const ListFormat> format_;  // none: no format set
  std::string design_format_;
  std::shared_ptr<const ListFormat> design_;
  ListSource* source_ = nullptr;
  std::vector<std::string> items_;                    // drop list and combo texts shown
  std::vector<std::string> item_values_;              // what choosing each stores
  std::vector<long> item_swatches_;                   // colour sample beside each, -1 none
  std::shared_ptr<const std::vector<ListRow>> rows_;  // never null; until rendered, no rows
};

}  // namespace vx
