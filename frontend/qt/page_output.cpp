#include "frontend/qt/page_output.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "frontend/qt/page_painter.h"

namespace vx::qt {
namespace {

QPageSize PaperOf(const report::PageImageQueue& pages) {
  const report::PageImage& first = pages.pages.front();
  return QPageSize(QSizeF(first.width / 1000.0, first.height / 1000.0), QPageSize::Inch, QString(),
                   QPageSize::FuzzyMatch);
}

// Paints every sheet on a device already set up; answers false when a page cannot be begun.
bool PaintSheets(QPagedPaintDevice& device, QPainter& painter, const report::PageImageQueue& pages,
                 int copies, bool collate) {
  // The paper's top left corner is the origin: the device's full page, not its margins.
  const double scale = device.logicalDpiX() / static_cast<double>(report::kUnitsPerInch);
  bool first = true;
  for (const std::size_t index : report::SheetOrder(pages.size(), copies, collate)) {
    if (!first && !device.newPage()) return false;
    first = false;
    painter.save();
    painter.scale(scale, scale);
    PaintPageImage(painter, pages.pages[index]);
    painter.restore();
  }
  return true;
}

}  // namespace

PrintOutcome WritePdf(const report::PageImageQueue& pages, const QString& file) {
  if (pages.empty()) return {report::PrintAnswer::Failed, "There are no pages."};
  QPdfWriter writer(file);
  writer.setTitle(QString::fromStdString(pages.title));
  writer.setCreator(QStringLiteral("Varnodex"));
  writer.setResolution(1200);
  writer.setPageSize(PaperOf(pages));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter;
  if (!painter.begin(&writer))
    return {report::PrintAnswer::Failed, "\"" + file.toStdString() + "\" cannot be written."};
  const bool painted = PaintSheets(writer, painter, pages, 1, false);
  if (!painter.end() || !painted)
    return {report::PrintAnswer::Failed, "\"" + file.toStdString() + "\" cannot be written."};
  return {report::PrintAnswer::Printed, {}};
}

PrintOutcome PrintOnPaper(const report::PageImageQueue& pages, QWidget* parent) {
  if (pages.empty()) return {report::PrintAnswer::Failed, "There are no pages."};
  const QPrinterInfo target = QPrinterInfo::defaultPrinter().isNull()
                                  ? QPrinterInfo::availablePrinters().value(0)
                                  : QPrinterInfo::defaultPrinter();
  if (target.isNull()) return {report::PrintAnswer::NoPrinter, {}};
  QPrinter printer(target, QPrinter::HighResolution);
  printer.setDocName(QString::fromStdString(pages.title));
  printer.setPageSize(PaperOf(pages));
  printer.setFullPage(true);
  printer.setCopyCount(pages.copies);
  printer.setCollateCopies(pages.collate);
  {
    QPointer<QPrintDialog> dialog(new QPrintDialog(&printer, parent));
    dialog->setOption(QAbstractPrintDialog::PrintCollateCopies);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    delete dialog.data();
    if (!accepted) return {report::PrintAnswer::Cancelled, {}};
  }
  // The sheets carry the copies themselves, so the printer makes one of each.
  const int copies = printer.copyCount();
  const bool collate = printer.collateCopies();
  printer.setCopyCount(1);
  QPainter painter;
  if (!painter.begin(&printer))
    return {report::PrintAnswer::Failed,
            "The printer \"" + printer.printerName().toStdString() + "\" could not be started."};
  const bool painted = PaintSheets(printer, painter, pages, copies, collate);
  if (!painter.end() || !painted)
    return {report::PrintAnswer::Failed, "The printer stopped before the last page."};
  return {report::PrintAnswer::Printed, {}};
}

}  // namespace vx::qt
