// Kinds of controls, numbered as the window procedures count them.
#pragma once

namespace vx {

enum class ControlType : int {
  Window = 0,  // the window itself, when a message concerns it
  String = 2,
  Image = 3,
  Region = 4,
  Entry = 8,
  Button = 9,
  Prompt = 10,
  Option = 11,
  Check = 12,
  Group = 13,
  List = 14,
  Combo = 15,
  Spin = 16,
  Text = 17,
  Menu = 19,
  Item = 20,
  Radio = 21,
  Menubar = 22,
  Progress = 33,
  DropList = 34,
  Sheet = 37,
  Tab = 38,
  Panel = 39,
  BarGraph = 40,   // bars drawn from the data in its Value (see ControlMaker::BarGraph)
  PageImage = 41,  // a printed page drawn from its Value (see ControlMaker::PageImage)
  RichEdit = 42,   // a rich-text document edited in place (see ControlMaker::RichEdit)
  Ruler = 43,      // a ruler of tab stops drawn from its Value (see ControlMaker::Ruler)
  StatusBar = 120,
  StatusZone = 121,
  Toolbar = 128,
  SizeGrip = 130,  // the window's size grip, drawn by the front end in its lower right corner
};

// The size grip's side in pixels.
inline constexpr int kSizeGripPixels = 20;

}  // namespace vx
