#include "frontend/qt/list_column_widths.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "runtime/dates.h"
#include "runtime/fixed_string.h"
#include "runtime/pictures.h"

namespace vx::qt {
namespace {

// Padding a list cell draws around its text (the delegate's margins and the grid line).
constexpr int kCellMargin = 12;

int Advance(const QFontMetrics& metrics, std::string_view text) {
  const std::string_view shown = ClipView(text);
  return metrics.horizontalAdvance(
      QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())));
}

char PictureKind(const std::string& picture) {
  return picture.size() >= 2
             ? static_cast<char>(std::toupper(static_cast<unsigned char>(picture[1])))
             : '\0';
}

// The widest text a picture can show: dates over every month and weekday, times over the
// morning and the evening, numbers as wide as the picture with the widest digit.
int WidestPictureText(const std::string& picture, const QFontMetrics& metrics) {
  int widest = 0;
  switch (PictureKind(picture)) {
    case 'D':
      for (int month = 1; month <= 12; ++month) {
        for (int day = 22; day <= 28; ++day)
          widest = std::max(widest, Advance(metrics, FORMAT(DATE(month, day, 2028), picture)));
      }
      break;
    case 'T':
      // 10:58:58 and 22:58:58 (a time counts from 1 at midnight).
      for (std::int32_t hour : {10, 22}) {
        const std::int32_t time = 1 + hour * TIME_HOUR + 58 * TIME_MINUTE + 58 * TIME_SECOND;
        widest = std::max(widest, Advance(metrics, FORMAT(time, picture)));
      }
      break;
    case 'N':
    case 'E': {
      std::string eights = FORMAT(std::string_view("1"), picture);
      for (char& c : eights) {
        if (c >= '0' && c <= '9') c = '8';
      }
      widest = Advance(metrics, eights);
      break;
    }
    default:
      break;  // text: the designer's width says how much of it shows
  }
  return widest;
}

}  // namespace

int PictureWidth(const std::string& picture, const QFontMetrics& metrics, int most_chars) {
  if (const int widest = WidestPictureText(picture, metrics); widest > 0) return widest;
  if (PictureKind(picture) != 'S') return 0;
  const int chars = std::min(most_chars, std::atoi(picture.c_str() + 2));
  return static_cast<int>(std::lround(chars * DialogCharWidth(metrics)));
}

double DialogCharWidth(const QFontMetrics& metrics) {
  static const QString letters =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return std::ceil(metrics.horizontalAdvance(letters) / 52.0);
}

int ColumnPixels(const ListColumn& column, const QFontMetrics& metrics) {
  const int designed = static_cast<int>(std::lround(column.width * DialogCharWidth(metrics) / 4.0));
  const int indent = static_cast<int>(std::lround(column.indent * DialogCharWidth(metrics) / 4.0));
  const int header = Advance(metrics, column.header) + kCellMargin;
  const int picture = WidestPictureText(column.picture, metrics);
  const int icon = column.icon ? metrics.height() + 4 : 0;
  return std::max({designed, header, picture > 0 ? picture + indent + icon + kCellMargin : 0});
}

}  // namespace vx::qt
