#pragma once

#include <vector>

#include "ui/control.h"

class QTabBar;

namespace pimrose::ui {

// SelectthefolderEx: pages of child controls under a tab bar (which may be hidden when the
// program switches pages itself). Child controls name their page in the table.
//
// The Qt tab bar is made when the control is first shown, and never for a hidden bar: laying out its
// titles is among the dearest steps of loading a window, and the settings page's tabs are not seen at
// start-up. Until then the titles' colours are kept here.
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
  void showEvent(QShowEvent* event) override;
  void skinChanged() override;

 private:
  int tabBarHeight() const;
  void showPage(int page);
  void buildBar();

  QTabBar* bar_ = nullptr;  // made on first show, when the bar is shown at all
  QStringList titles_;
  std::vector<QColor> titleColours_;  // until the bar is made
  std::vector<QWidget*> pages_;
  int current_ = 0;
  int skinChanges_ = 0;  // skins the window has put on while the bar was not made
};

}  // namespace pimrose::ui
