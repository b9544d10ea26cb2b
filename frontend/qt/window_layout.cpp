#include "frontend/qt/window_layout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <algorithm>

namespace vx::qt {
namespace {

// Controls that take the spare width of a row they stand in.
bool Widens(ControlType type) {
  switch (type) {
    case ControlType::String:
    case ControlType::Entry:
    case ControlType::Text:
    case ControlType::Combo:
    case ControlType::List:
    case ControlType::Progress:
    case ControlType::Sheet:
    case ControlType::Region:
    case ControlType::Group:
      return true;
    default:
      return false;
  }
}

// The filler below the last row goes: a row now takes the spare height.
void DropFiller(Container& c) {
  if (c.filler) {
    c.grid->removeItem(c.filler);
    delete c.filler;
    c.filler = nullptr;
  }
}

void PlaceInGrid(Container& c, ControlType type, QWidget* widget, LayoutCell cell) {
  if (cell.row < 1 || cell.column < 1) cell = {c.next_row + 1, 1};  // not placed by the model
  const int row = cell.row - 1;
  c.next_row = std::max(c.next_row, cell.row);
  if (c.layout.arrangement == Arrangement::Grid) {
    c.grid->addWidget(widget, row, cell.column - 1);
  } else if (type == ControlType::Prompt) {
    c.grid->addWidget(widget, row, 0);
  } else if (type == ControlType::Button) {
    QHBoxLayout*& buttons = c.button_rows[row];
    if (!buttons) {
      buttons = new QHBoxLayout();
      buttons->addStretch(1);
      c.grid->addLayout(buttons, row, 0, 1, 2);
    }
    buttons->addWidget(widget);
  } else if (cell.column == 2) {
    c.grid->addWidget(widget, row, 1);
  } else {
    c.grid->addWidget(widget, row, 0, 1, 2);
  }
  if (Stretches(type)) {
    c.grid->setRowStretch(row, 1);
    c.rows_grow = true;
  }
  DropFiller(c);
  if (!c.rows_grow && c.fills) {
    c.filler = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding);
    c.grid->addItem(c.filler, c.next_row, 0, 1, std::max(1, c.grid->columnCount()));
  }
}

void PlaceInBox(Container& c, ControlType type, QWidget* widget) {
  switch (c.layout.arrangement) {
    case Arrangement::Row: {
      // Between the two spacers, which decide where the row's controls gather.
      c.box->insertWidget(c.box->count() - 1, widget, Widens(type) ? 1 : 0);
      c.row_grows = c.row_grows || Widens(type);
      c.row_only_buttons = c.row_only_buttons && type == ControlType::Button;
      const auto lead =
          !c.row_grows && c.row_only_buttons ? QSizePolicy::Expanding : QSizePolicy::Fixed;
      const auto trail =
          !c.row_grows && !c.row_only_buttons ? QSizePolicy::Expanding : QSizePolicy::Fixed;
      c.lead->changeSize(0, 0, lead, QSizePolicy::Minimum);
      c.trail->changeSize(0, 0, trail, QSizePolicy::Minimum);
      c.box->invalidate();
      break;
    }
    case Arrangement::Beside:
      c.box->addWidget(widget, 1);
      break;
    default:
      c.box->addWidget(widget, Stretches(type) || type == ControlType::Region ? 1 : 0);
      break;
  }
}

}  // namespace

bool Stretches(ControlType type) {
  return type == ControlType::List || type == ControlType::Text || type == ControlType::BarGraph ||
         type == ControlType::PageImage || type == ControlType::RichEdit;
}

void SetUpContainer(Container& c, QWidget* holder, const Layout& layout, bool nested) {
  c.layout = layout;
  c.holder = holder;
  switch (layout.arrangement) {
    case Arrangement::Free:
      return;  // no Qt layout: each control keeps the place the model gives it
    case Arrangement::FormRows:
      c.grid = new QGridLayout(holder);
      c.grid->setColumnStretch(1, 1);
      break;
    case Arrangement::Grid:
      c.grid = new QGridLayout(holder);
      for (int column = 0; column < layout.columns; ++column) c.grid->setColumnStretch(column, 1);
      break;
    case Arrangement::Row:
      c.box = new QHBoxLayout(holder);
      c.lead = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
      c.trail = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
      c.box->addSpacerItem(c.lead);
      c.box->addSpacerItem(c.trail);
      break;
    case Arrangement::Beside:
      c.box = new QHBoxLayout(holder);
      break;
    case Arrangement::Stacked:
      c.box = new QVBoxLayout(holder);
      break;
  }
  // A container inside another needs no second margin around its controls; a group box and a
  // tab page keep theirs whatever their arrangement, so their controls stand clear of the frame
  // and line up with those of a group or page in form rows.
  const bool framed = qobject_cast<QGroupBox*>(holder) || holder->property("vxPage").toBool();
  if (nested && layout.arrangement != Arrangement::FormRows && !framed) {
    if (c.grid) c.grid->setContentsMargins(0, 0, 0, 0);
    if (c.box) c.box->setContentsMargins(0, 0, 0, 0);
  }
}

void Place(Container& c, ControlType type, QWidget* widget, LayoutCell cell) {
  const Arrangement arrangement = c.layout.arrangement;
  if (arrangement == Arrangement::Free) {
    widget->setParent(c.holder);
    widget->show();
    return;
  }
  // A text in a row or grid heads what is around it (a month's name, a weekday over its days).
  if (type == ControlType::String &&
      (arrangement == Arrangement::Row || arrangement == Arrangement::Grid)) {
    static_cast<QLabel*>(widget)->setAlignment(Qt::AlignCenter);
  }
  // A grid keeps its cells where they are when some of its controls are hidden.
  if (arrangement == Arrangement::Grid) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
  }
  if (c.grid) {
    PlaceInGrid(c, type, widget, cell);
  } else {
    PlaceInBox(c, type, widget);
  }
}

void LetGrow(Container& c, QWidget* widget) {
  if (c.grid) {
    const int index = c.grid->indexOf(widget);
    int row = 0, column = 0, rows = 0, columns = 0;
    if (index >= 0) {
      c.grid->getItemPosition(index, &row, &column, &rows, &columns);
      c.grid->setRowStretch(row, 1);
      c.rows_grow = true;
      DropFiller(c);
    }
  } else if (c.box && c.layout.arrangement != Arrangement::Row &&
             c.layout.arrangement != Arrangement::Beside) {
    c.box->setStretchFactor(widget, 1);
  }
}

}  // namespace vx::qt
