// Draws a bar graph control of the window model in its font: one bar a category, scaled to the
// largest count, the category's name written upward in the bar, its count and percentage under it
// on two captioned rows, the title lines above and a heavy baseline.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace vx::qt {

class BarGraphView final : public QWidget {
  Q_OBJECT
 public:
  explicit BarGraphView(QWidget* parent = nullptr);

  // "name<TAB>count<TAB>percent<TAB>colour" a line; the title lines.
  void SetData(const QString& data);
  void SetTitle(const QString& title);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Bar {
    QString name;
    long count = 0;
    QString percent;
    QColor colour;
  };
  std::vector<Bar> bars_;
  QStringList title_;
};

}  // namespace vx::qt
