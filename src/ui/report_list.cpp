#include "ui/report_list.h"

#include <algorithm>

#include <QHeaderView>
#include <QTableWidget>

namespace pimrose::ui {

ReportList::ReportList(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent), table_(new QTableWidget(this)) {
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setHighlightSections(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setShowGrid(false);
  table_->setWordWrap(false);
  table_->setGeometry(rect());
  connect(table_, &QTableWidget::cellActivated, this, [this](int row, int) { Q_EMIT itemEvent(row); });
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { Q_EMIT itemEvent(row); });
}

int ReportList::insertColumn(const QString& title, int width, int at) {
  const int column = (at < 0 || at > table_->columnCount()) ? table_->columnCount() : at;
  table_->insertColumn(column);
  table_->setHorizontalHeaderItem(column, new QTableWidgetItem(title));
  table_->setColumnWidth(column, width);
  return column;
}

void ReportList::deleteColumn(int column) {
  if (column >= 0 && column < table_->columnCount()) table_->removeColumn(column);
}

int ReportList::columnCount() const {
  return table_->columnCount();
}

QString ReportList::columnTitle(int column) const {
  const QTableWidgetItem* item = table_->horizontalHeaderItem(column);
  return item ? item->text() : QString();
}

int ReportList::columnWidth(int column) const {
  return table_->columnWidth(column);
}

// Rows of one height take the header's default size and need no section resize: resizing one
// section makes the header recount every section's position, which made appending to a long list
// cost time in proportion to its length for each row.
int ReportList::insertItem(int rowHeight) {
  const int row = table_->rowCount();
  QHeaderView* rows = table_->verticalHeader();
  if (row == 0 && rowHeight >= rows->minimumSectionSize()) rows->setDefaultSectionSize(rowHeight);
  table_->insertRow(row);
  if (table_->rowHeight(row) != rowHeight) table_->setRowHeight(row, rowHeight);
  return row;
}

int ReportList::itemCount() const {
  return table_->rowCount();
}

void ReportList::removeItems(int first, int count) {
  first = std::max(first, 0);
  count = std::min(count, table_->rowCount() - first);
  if (count > 0) table_->model()->removeRows(first, count);
}

void ReportList::setItemTitle(int row, int column, const QString& text) {
  if (row < 0 || row >= table_->rowCount() || column < 0 || column >= table_->columnCount()) return;
  QTableWidgetItem* item = table_->item(row, column);
  if (!item) table_->setItem(row, column, item = new QTableWidgetItem);
  item->setText(text);
}

QString ReportList::itemTitle(int row, int column) const {
  const QTableWidgetItem* item = table_->item(row, column);
  return item ? item->text() : QString();
}

void ReportList::setRowColour(int row, QColor colour) {
  for (int column = 0; column < table_->columnCount(); ++column) {
    QTableWidgetItem* item = table_->item(row, column);
    if (!item) continue;
    if (colour.isValid())
      item->setForeground(colour);
    else
      item->setData(Qt::ForegroundRole, QVariant());
  }
}

void ReportList::setItemFontColour(int row, QColor colour) {
  if (row >= table_->rowCount()) return;
  if (row >= 0) return setRowColour(row, colour);
  for (int r = 0; r < table_->rowCount(); ++r) setRowColour(r, colour);
}

void ReportList::guaranteeVisible(int row) {
  if (row >= 0 && row < table_->rowCount()) table_->scrollTo(table_->model()->index(row, 0));
}

void ReportList::resizeEvent(QResizeEvent* event) {
  Control::resizeEvent(event);
  table_->setGeometry(rect());
}

}  // namespace pimrose::ui
