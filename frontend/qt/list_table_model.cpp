#include "frontend/qt/list_table_model.h"

#include <cstdlib>

#include <QColor>
#include <QFont>

#include "frontend/qt/named_icons.h"
#include "runtime/fixed_string.h"

namespace vx::qt {

QColor ModelColour(long value) {
  if (value < 0) return {};
  return QColor(static_cast<int>(value & 0xff), static_cast<int>((value >> 8) & 0xff),
                static_cast<int>((value >> 16) & 0xff));
}

namespace {
Qt::Alignment Justify(char justify) {
  switch (justify) {
    case 'R':
    case 'D':
      return Qt::AlignRight | Qt::AlignVCenter;
    case 'C':
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}
}  // namespace

void ListTableModel::SetColumns(std::vector<ListColumn> columns) {
  beginResetModel();
  columns_ = std::move(columns);
  endResetModel();
}

void ListTableModel::SetRows(std::shared_ptr<const std::vector<ListRow>> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int ListTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !rows_) return 0;
  return static_cast<int>(rows_->size());
}

int ListTableModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  // A list without a format still shows its first column.
  return columns_.empty() ? 1 : static_cast<int>(columns_.size());
}

const ListCell* ListTableModel::Cell(const QModelIndex& index) const {
  if (!rows_ || index.row() < 0 || static_cast<std::size_t>(index.row()) >= rows_->size())
    return nullptr;
  const ListRow& row = (*rows_)[static_cast<std::size_t>(index.row())];
  if (index.column() < 0 || static_cast<std::size_t>(index.column()) >= row.size()) return nullptr;
  return &row[static_cast<std::size_t>(index.column())];
}

// A tree row stands indented by its depth behind its marker: open, closed (it has rows below
// it to show) or none (a leaf).
QString ListTableModel::TreeMarker(const QModelIndex& index) const {
  const ListCell* cell = Cell(index);
  const long depth = std::labs(cell->level);
  const QModelIndex next = this->index(index.row() + 1, index.column());
  const ListCell* below = Cell(next);
  const bool open = cell->level > 0 && below && std::labs(below->level) > depth;
  const QString marker = cell->level < 0 ? QStringLiteral("\u25B8 ")
                         : open          ? QStringLiteral("\u25BE ")
                                         : QStringLiteral("\u2003");
  return QString(static_cast<qsizetype>(2 * (depth - 1)), QChar(0x2002)) + marker;
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
  const ListCell* cell = Cell(index);
  if (!cell) return {};
  switch (role) {
    case Qt::DisplayRole: {
      const std::string_view text = ClipView(cell->text);
      const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
      return cell->level != 0 ? TreeMarker(index) + shown : shown;
    }
    case kTreeLevelRole:
      return static_cast<qlonglong>(cell->level);
    case Qt::DecorationRole:
      if (cell->icon.empty()) return {};
      return NamedIcon(cell->icon);
    case Qt::ForegroundRole: {
      QColor c = ModelColour(cell->fg);
      return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::BackgroundRole: {
      QColor c = ModelColour(cell->bg);
      return c.isValid() ? QVariant(c) : QVariant();
    }
    case kSelectedForegroundRole: {
      QColor c = ModelColour(cell->selected_fg);
      return c.isValid() ? QVariant(c) : QVariant();
    }
    case kSelectedBackgroundRole: {
      QColor c = ModelColour(cell->selected_bg);
      return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::TextAlignmentRole:
      if (static_cast<std::size_t>(index.column()) < columns_.size()) {
        return static_cast<int>(
            Justify(columns_[static_cast<std::size_t>(index.column())].justify));
      }
      return {};
    default:
      return {};
  }
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 ||
      static_cast<std::size_t>(section) >= columns_.size()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  const ListColumn& column = columns_[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) return QString::fromStdString(column.header);
  if (role == Qt::TextAlignmentRole) return static_cast<int>(Justify(column.header_justify));
  if (role == Qt::FontRole && column.underline) {
    // The column the list is sorted on (the list extension's "Underline" mark).
    QFont font;
    font.setUnderline(true);
    return font;
  }
  return {};
}

}  // namespace vx::qt
