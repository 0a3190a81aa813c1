#pragma once

#include <QVariant>

#include "ui/control.h"

class QComboBox;

namespace pimrose::ui {

// ComboboxEx: a drop-down list of items, each a title and an integer value.
class ComboBox : public Control {
  Q_OBJECT

 public:
  ComboBox(const ControlDefinition& definition, QWidget* parent);

  // Inserts before `at` (at < 0 or past the end: appends); answers the item's index.
  int insertItem(const QString& title, int value = 0, int at = -1);
  // Out-of-range indexes are ignored.
  void deleteItem(int index);
  void clear();
  int itemCount() const;
  QString itemTitle(int index) const;  // empty for an index out of range
  int itemValue(int index) const;      // 0 for an index out of range

  // Property writes: no currentIndexChanged. An index out of range selects nothing (-1).
  void setCurrentIndex(int index);
  int currentIndex() const;
  // Selects the first item with that title; a title no item has leaves the selection.
  void setCurrentText(const QString& title);
  QString currentText() const;
  void setTextColour(QColor colour);

 Q_SIGNALS:
  void currentIndexChanged(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void skinChanged() override;

 private:
  QComboBox* combo_;
  QColor textColour_;
  bool settingFromCode_ = false;
};

}  // namespace pimrose::ui
