#include "ui/tabs.h"

#include <algorithm>

#include <QTabBar>

#include "ui/ui_log.h"
#include "ui/window.h"

namespace pimrose::ui {

Tabs::Tabs(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent),
      titles_(definition.props.items.isEmpty() ? QStringList{QString()} : definition.props.items),
      titleColours_(titles_.size()) {
  for (qsizetype i = 0; i < titles_.size(); ++i) {
    auto* page = new QWidget(this);
    page->setObjectName(definition.name + QStringLiteral("#page"));
    pages_.push_back(page);
  }
  showPage(0);
  resizeEvent(nullptr);
}

// A bar made with the control measured its titles before the window's style sheet reached it and kept
// those sizes until a second sheet (another skin) made it measure them again, with the sheet. The bar
// made now measures them as that bar would have by this time, so that its height, and the place of
// every control on the pages, stays what it was. The bar comes first among the control's children;
// the pages follow its height, and the controls anchored to them the pages' new size.
void Tabs::buildBar() {
  const bool measuredBeforeTheSheet = skinChanges_ <= 1;
  QWidget outside;  // the control's font, none of the window's sheet
  outside.setFont(font());
  bar_ = new QTabBar(measuredBeforeTheSheet ? &outside : this);
  for (const QString& title : titles_) bar_->addTab(title);
  if (measuredBeforeTheSheet) {
    (void)bar_->sizeHint();
    bar_->setParent(this);
  }
  for (qsizetype i = 0; i < titles_.size(); ++i)
    if (titleColours_[std::size_t(i)].isValid()) bar_->setTabTextColor(int(i), titleColours_[std::size_t(i)]);
  titleColours_.clear();
  bar_->setDrawBase(false);
  bar_->setExpanding(false);
  bar_->setFocusPolicy(Qt::NoFocus);
  bar_->setContextMenuPolicy(Qt::CustomContextMenu);
  bar_->setCurrentIndex(current_);
  bar_->lower();
  connect(bar_, &QTabBar::customContextMenuRequested, this, &Tabs::menuRequested);
  connect(bar_, &QTabBar::tabBarClicked, this, [this](int tab) {
    if (tab < 0 || tab == current_) return;
    const int old = current_;
    showPage(tab);
    Q_EMIT pageChanged(old, tab);
  });
  bar_->show();
  resizeEvent(nullptr);
  if (Window* owner = ownerWindow()) owner->applyAnchors();
}

void Tabs::skinChanged() {
  ++skinChanges_;
  Control::skinChanged();
}

void Tabs::showEvent(QShowEvent* event) {
  if (!bar_ && !definition().props.tabBarHidden) buildBar();
  Control::showEvent(event);
}

QWidget* Tabs::childHost(int page) {
  return pages_[std::clamp(page, 0, tabCount() - 1)];
}

bool Tabs::tabBarShown() const {
  return !definition().props.tabBarHidden;
}

// Before the bar is made nothing of the pages is seen, so their height does not matter yet.
int Tabs::tabBarHeight() const {
  return bar_ && !bar_->isHidden() ? bar_->sizeHint().height() : 0;
}

QSize Tabs::clientSize() const {
  return {width(), std::max(0, height() - tabBarHeight())};
}

void Tabs::setCurrentPage(int page) {
  if (page < 0 || page >= tabCount()) return;
  showPage(page);
  qCDebug(lcUi).noquote() << "tabs" << name() << "page" << page;
}

void Tabs::showPage(int page) {
  current_ = page;
  for (int i = 0; i < tabCount(); ++i) pages_[i]->setVisible(i == page);
  if (bar_) bar_->setCurrentIndex(page);
}

void Tabs::setTabTextColour(int tab, QColor colour) {
  if (bar_)
    bar_->setTabTextColor(tab, colour);
  else if (tab >= 0 && tab < tabCount())
    titleColours_[std::size_t(tab)] = colour;
}

QColor Tabs::tabTextColour(int tab) const {
  if (bar_) return bar_->tabTextColor(tab);
  return tab >= 0 && tab < tabCount() ? titleColours_[std::size_t(tab)] : QColor();
}

void Tabs::resizeEvent(QResizeEvent* event) {
  if (event) Control::resizeEvent(event);
  const int barHeight = tabBarHeight();
  if (bar_) bar_->setGeometry(0, 0, width(), barHeight);
  for (QWidget* page : pages_) page->setGeometry(0, barHeight, width(), height() - barHeight);
}

}  // namespace pimrose::ui
