#pragma once

#include <QVariant>
#include <QVector>

#include "ui/control.h"

class QComboBox;

namespace pimrose::ui {

// ComboboxEx: a drop-down list of items, each a title and an integer value.
//
// The Qt box inside is made when the control is first shown: until then the items, the selection
// and the text colour are kept here, so a list on a page nobody has opened yet costs no widget at
// start-up (the settings page's lists are restored and read long before the page is seen).
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
  // Whether the Qt box has been made (the control was shown).
  bool built() const { return combo_ != nullptr; }

 Q_SIGNALS:
  void currentIndexChanged(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void skinChanged() override;

 private:
  struct Item {
    QString title;
    int value = 0;
  };
  void build();

  QComboBox* combo_ = nullptr;  // made on first show
  QVector<Item> items_;         // until then
  int current_ = -1;
  QColor textColour_;
  bool settingFromCode_ = false;
};

}  // namespace pimrose::ui
