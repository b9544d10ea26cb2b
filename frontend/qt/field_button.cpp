#include "frontend/qt/field_button.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QWidget>

namespace vx::qt {
namespace {

// A row holding the button and then the field, which takes the row's spare width.
QWidget* Holder(QWidget* field, QWidget* button) {
  auto* holder = new QWidget(field->parentWidget());
  auto* row = new QHBoxLayout(holder);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(button);
  row->addWidget(field, 1);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  holder->setSizePolicy(field->sizePolicy());
  return holder;
}

}  // namespace

bool PlaceBeforeField(Container& c, QWidget* field, QWidget* button) {
  if (c.grid) {
    const int index = c.grid->indexOf(field);
    if (index < 0) return false;
    int row = 0, column = 0, rows = 0, columns = 0;
    c.grid->getItemPosition(index, &row, &column, &rows, &columns);
    delete c.grid->takeAt(index);  // the layout's item only: the field moves into the holder
    c.grid->addWidget(Holder(field, button), row, column, rows, columns);
    return true;
  }
  if (c.box) {
    const int index = c.box->indexOf(field);
    if (index < 0) return false;
    const int stretch = c.box->stretch(index);
    delete c.box->takeAt(index);
    c.box->insertWidget(index, Holder(field, button), stretch);
    return true;
  }
  return false;
}

}  // namespace vx::qt
