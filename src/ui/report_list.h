#pragma once

#include "ui/control.h"

class QTableWidget;

namespace pimrose::ui {

// SuperListboxEx: rows of text cells under titled columns.
class ReportList : public Control {
  Q_OBJECT

 public:
  ReportList(const ControlDefinition& definition, QWidget* parent);

  // Inserts before `at` (at < 0 or past the end: appends); answers the column's index.
  int insertColumn(const QString& title, int width, int at = -1);
  void deleteColumn(int column);  // out of range: ignored
  int columnCount() const;
  QString columnTitle(int column) const;
  int columnWidth(int column) const;

  // Appends a row of that height; answers its index (zero-based).
  int insertItem(int rowHeight = 30);
  int itemCount() const;
  // Removes `count` rows from `first` on; the part outside the list is ignored.
  void removeItems(int first, int count);
  // Cells out of range are ignored (set) or empty (get).
  void setItemTitle(int row, int column, const QString& text);
  QString itemTitle(int row, int column) const;
  // An invalid colour means the skin's text colour; row < 0 means every row.
  void setItemFontColour(int row, QColor colour);
  void guaranteeVisible(int row);

  QTableWidget* table() const { return table_; }

 Q_SIGNALS:
  void itemEvent(int row);  // a row was double-clicked or activated

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void setRowColour(int row, QColor colour);

  QTableWidget* table_;
};

}  // namespace pimrose::ui
