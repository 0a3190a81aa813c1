#pragma once

#include <vector>

#include "ui/control.h"

class QTabBar;

namespace pimrose::ui {

// SelectthefolderEx: pages of child controls under a tab bar (which may be hidden when the
// program switches pages itself). Child controls name their page in the table.
class Tabs : public Control {
  Q_OBJECT

 public:
  Tabs(const ControlDefinition& definition, QWidget* parent);

  QWidget* childHost(int page) override;
  QSize clientSize() const override;

  int tabCount() const { return static_cast<int>(pages_.size()); }
  // Property write: no pageChanged. A page out of range changes nothing.
  void setCurrentPage(int page);
  int currentPage() const { return current_; }
  void setTabTextColour(int tab, QColor colour);
  QColor tabTextColour(int tab) const;
  bool tabBarShown() const;

 Q_SIGNALS:
  void pageChanged(int oldPage, int newPage);
  void menuRequested();  // right button on the tab bar

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  int tabBarHeight() const;
  void showPage(int page);

  QTabBar* bar_;
  std::vector<QWidget*> pages_;
  int current_ = 0;
};

}  // namespace pimrose::ui
