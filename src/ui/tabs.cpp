#include "ui/tabs.h"

#include <algorithm>

#include <QTabBar>

#include "ui/ui_log.h"

namespace pimrose::ui {

Tabs::Tabs(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent), bar_(new QTabBar(this)) {
  const QStringList titles =
      definition.props.items.isEmpty() ? QStringList{QString()} : definition.props.items;
  for (const QString& title : titles) {
    bar_->addTab(title);
    auto* page = new QWidget(this);
    page->setObjectName(definition.name + QStringLiteral("#page"));
    pages_.push_back(page);
  }
  bar_->setDrawBase(false);
  bar_->setExpanding(false);
  bar_->setFocusPolicy(Qt::NoFocus);
  bar_->setContextMenuPolicy(Qt::CustomContextMenu);
  bar_->setVisible(!definition.props.tabBarHidden);
  connect(bar_, &QTabBar::customContextMenuRequested, this, &Tabs::menuRequested);
  connect(bar_, &QTabBar::tabBarClicked, this, [this](int tab) {
    if (tab < 0 || tab == current_) return;
    const int old = current_;
    showPage(tab);
    Q_EMIT pageChanged(old, tab);
  });
  showPage(0);
  resizeEvent(nullptr);
}

QWidget* Tabs::childHost(int page) {
  return pages_[std::clamp(page, 0, tabCount() - 1)];
}

bool Tabs::tabBarShown() const {
  return !bar_->isHidden();
}

int Tabs::tabBarHeight() const {
  return tabBarShown() ? bar_->sizeHint().height() : 0;
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
  bar_->setCurrentIndex(page);
}

void Tabs::setTabTextColour(int tab, QColor colour) {
  bar_->setTabTextColor(tab, colour);
}

QColor Tabs::tabTextColour(int tab) const {
  return bar_->tabTextColor(tab);
}

void Tabs::resizeEvent(QResizeEvent* event) {
  if (event) Control::resizeEvent(event);
  const int barHeight = tabBarHeight();
  bar_->setGeometry(0, 0, width(), barHeight);
  for (QWidget* page : pages_) page->setGeometry(0, barHeight, width(), height() - barHeight);
}

}  // namespace pimrose::ui
