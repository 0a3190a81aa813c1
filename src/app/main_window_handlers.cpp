#include "app/main_window_handlers.h"

#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/filter.h"
#include "ui/image_button.h"
#include "ui/main_window_metrics.h"
#include "ui/picture_box.h"
#include "ui/tabs.h"
#include "ui/window.h"
#include "ui/window_skin.h"

namespace pimrose {
namespace {

constexpr int kBrowserPage = 0;
constexpr int kSettingsPage = 1;

}  // namespace

MainWindowHandlers::MainWindowHandlers(ui::Window& mainWindow, const ui::MainWindowControls& controls,
                                       LogWindow logWindow, SkinChoice chooseSkin)
    : QObject(&mainWindow), window_(mainWindow), ui_(controls), logWindow_(std::move(logWindow)) {
  connect(ui_.超级按钮_程序设置, &ui::ImageButton::clicked, this, &MainWindowHandlers::onSettingsButton);
  connect(ui_.按钮_调整, &ui::Button::leftPressed, &window_,
          [this] { window_.beginSystemResize(Qt::BottomEdge | Qt::RightEdge); });
  connect(ui_.滤镜, &ui::Filter::leftPressed, &window_, &ui::Window::beginSystemMove);
  connect(ui_.图片框_提示, &ui::PictureBox::leftPressed, &window_, &ui::Window::beginSystemMove);
  connect(ui_.按钮_关闭, &ui::Button::leftPressed, this, [this] { ui_.组件_图片背景->hide(); });
  connect(&window_, &ui::Window::sizeChanged, this, &MainWindowHandlers::centreLogWindow);
  ui_.窗口EX1->setSizeLimitsHandler([](ui::SizeLimits) {
    return ui::SizeLimits{ui::kMainWindowSize, QSize(kMaximumExtent, kMaximumExtent)};
  });
  connect(ui_.下拉框_皮肤, &ui::ComboBox::currentIndexChanged, this,
          [chooseSkin = std::move(chooseSkin)](int index) { chooseSkin(index); });
}

// The settings button is a switch: its state says which page is showing.
void MainWindowHandlers::onSettingsButton() {
  auto* button = ui_.超级按钮_程序设置;
  auto* pages = ui_.选择夹_组件;
  if (button->state() == 0) {
    button->setState(1);
    pages->setCurrentPage(kSettingsPage);
    ui_.组件_图片背景->hide();
  } else {
    button->setState(0);
    pages->setCurrentPage(kBrowserPage);
  }
}

void MainWindowHandlers::centreLogWindow() {
  ui::Window* log = logWindow_();
  if (!log) return;
  const QSize pages = ui_.选择夹_组件->size();
  const QPoint at = window_.pos() + QPoint((pages.width() - log->width()) / 2,
                                           (pages.height() - log->height()) / 2 - ui::kCaptionHeight);
  log->move(at);
  // The prompt panel follows the same size change by itself (PromptPanel::relayout).
}

}  // namespace pimrose
