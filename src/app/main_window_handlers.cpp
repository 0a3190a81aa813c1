#include "app/main_window_handlers.h"

#include "ui/controls.h"

namespace pimrose {
namespace {

const QString kSettingsButton = QStringLiteral("超级按钮_程序设置");
const QString kPages = QStringLiteral("选择夹_组件");
const QString kViewer = QStringLiteral("组件_图片背景");
constexpr int kBrowserPage = 0;
constexpr int kSettingsPage = 1;

}  // namespace

MainWindowHandlers::MainWindowHandlers(ui::Window& mainWindow, ui::Window& logWindow, SkinChoice chooseSkin)
    : QObject(&mainWindow), window_(mainWindow), logWindow_(logWindow) {
  connect(window_.control<ui::ImageButton>(kSettingsButton), &ui::ImageButton::clicked, this,
          &MainWindowHandlers::onSettingsButton);
  connect(window_.control<ui::Button>(QStringLiteral("按钮_调整")), &ui::Button::leftPressed, &window_,
          [this] { window_.beginSystemResize(Qt::BottomEdge | Qt::RightEdge); });
  connect(window_.control<ui::Filter>(QStringLiteral("滤镜")), &ui::Filter::leftPressed, &window_,
          &ui::Window::beginSystemMove);
  connect(window_.control<ui::PictureBox>(QStringLiteral("图片框_提示")), &ui::PictureBox::leftPressed,
          &window_, &ui::Window::beginSystemMove);
  connect(window_.control<ui::Button>(QStringLiteral("按钮_关闭")), &ui::Button::leftPressed, this,
          [this] { window_.control<ui::WindowSkin>(kViewer)->hide(); });
  connect(&window_, &ui::Window::sizeChanged, this, &MainWindowHandlers::centreLogWindow);
  if (ui::WindowSkin* skin = window_.skin()) {
    connect(skin, &ui::WindowSkin::sizeLimitsRequested, this, [](ui::SizeLimits* limits) {
      limits->minimum = QSize(kMinimumWidth, kMinimumHeight);
      limits->maximum = QSize(kMaximumExtent, kMaximumExtent);
    });
  }
  connect(window_.control<ui::ComboBox>(QStringLiteral("下拉框_皮肤")), &ui::ComboBox::currentIndexChanged,
          this, [chooseSkin = std::move(chooseSkin)](int index) { chooseSkin(index + 1); });
}

// The settings button is a switch: its state says which page is showing.
void MainWindowHandlers::onSettingsButton() {
  auto* button = window_.control<ui::ImageButton>(kSettingsButton);
  auto* pages = window_.control<ui::Tabs>(kPages);
  if (button->state() == 0) {
    button->setState(1);
    pages->setCurrentPage(kSettingsPage);
    window_.control<ui::WindowSkin>(kViewer)->hide();
  } else {
    button->setState(0);
    pages->setCurrentPage(kBrowserPage);
  }
}

void MainWindowHandlers::centreLogWindow() {
  const QSize pages = window_.control<ui::Tabs>(kPages)->size();
  const QPoint at = window_.pos() + QPoint((pages.width() - logWindow_.width()) / 2,
                                           (pages.height() - logWindow_.height()) / 2 - 32);
  logWindow_.move(at);
}

}  // namespace pimrose
