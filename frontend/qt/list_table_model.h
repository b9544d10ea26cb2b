// The rows of a model list as a Qt table model: the view asks only for the rows it shows, so
// long lists scroll without lag.
#pragma once

#include <QAbstractTableModel>
#include <memory>
#include <vector>

#include "runtime/window/front_end.h"
#include "runtime/window/list_format.h"

namespace vx::qt {

// Roles beyond Qt's: the colours of a cell while its row is selected.
inline constexpr int kSelectedForegroundRole = Qt::UserRole + 1;
inline constexpr int kSelectedBackgroundRole = Qt::UserRole + 2;
// A tree column's level: the row's depth from 1, negative while contracted; 0 not a tree.
inline constexpr int kTreeLevelRole = Qt::UserRole + 3;

class ListTableModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void SetColumns(std::vector<ListColumn> columns);
  void SetRows(std::shared_ptr<const std::vector<ListRow>> rows);
  const std::vector<ListColumn>& Columns() const { return columns_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const ListCell* Cell(const QModelIndex& index) const;
  QString TreeMarker(const QModelIndex& index) const;
  std::vector<ListColumn> columns_;
  std::shared_ptr<const std::vector<ListRow>> rows_;
};

// A colour as the model stores it (0x00BBGGRR); invalid for -1.
QColor ModelColour(long value);

}  // namespace vx::qt
