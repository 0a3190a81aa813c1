#include <QDir>
#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include "support/wait_for.h"
#include "ui/controls.h"

namespace pimrose::ui {
namespace {

QImage fakeThumbnail(int index, int width) {
  QRandomGenerator random(static_cast<quint32>(index + 1));
  const int height = width * (index % 3 == 0 ? 4 : 3) / (index % 3 == 0 ? 3 : 4);
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor::fromHsv(static_cast<int>(random.bounded(360)), 90, 230));
  sky.setColorAt(1, QColor::fromHsv(static_cast<int>(random.bounded(360)), 160, 90));
  painter.fillRect(image.rect(), sky);
  painter.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < 6; ++i) {
    painter.setBrush(QColor::fromHsv(static_cast<int>(random.bounded(360)), 120, 200, 170));
    painter.setPen(Qt::NoPen);
    const int r = static_cast<int>(random.bounded(width / 3)) + 8;
    painter.drawEllipse(
        QPoint(static_cast<int>(random.bounded(width)), static_cast<int>(random.bounded(height))), r, r);
  }
  return image;
}

// Fills the file list the way the program does: empty items first, icons as they are asked for.
void fillFileList(IconList* list, int count, int iconWidth) {
  list->setIconWidth(iconWidth);
  list->setIconHeight(iconWidth * 2);
  list->resetItems(count);
  for (int i = 0; i < count; ++i)
    list->setItemPath(i, QStringLiteral("/photos/trip/IMG_%1.jpg").arg(4000 + i));
  list->setItemCallback([list, iconWidth](IconList::IconQuestion question, int index) {
    if (question == IconList::IconQuestion::NeedsIcon && index % 7 != 5) {
      const QImage icon = fakeThumbnail(index, iconWidth);
      list->setItemSize(index, icon.height());
      list->setItemIcon(index, icon);
    }
    return IconList::IconAnswer::OnItsWay;
  });
}

void saveGrab(Window& window, const QString& name) {
  const QString folder = qEnvironmentVariable("PIMROSE_UI_GRAB_DIR");
  if (!folder.isEmpty()) window.grab().save(QDir(folder).filePath(name));
}

class MainWindowLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    window = loadWindow(mainWindowDefinition());
    window->show();
  }
  QRect rectIn(const QString& name, QWidget* ancestor) {
    auto* control = window->control<Control>(name);
    return QRect(control->mapTo(ancestor, QPoint(0, 0)), control->size());
  }
  std::unique_ptr<Window> window;
};

// The browser fills the window at the designed size and when maximised, in both skins.
TEST_F(MainWindowLayout, BrowserFillsTheWindowAtAnySize) {
  auto* list = window->control<IconList>(QStringLiteral("图标列表框_文件"));
  fillFileList(list, 240, 170);
  for (const QSize size : {QSize(1200, 700), QSize(1920, 1040)}) {
    window->resize(size);
    for (int skin : {0, 1}) {
      applySkin(*window, skin);
      test::waitFor([&] { return list->itemHasIcon(0); }, 2000);
      saveGrab(*window,
               QStringLiteral("browser-%1x%2-skin%3.png").arg(size.width()).arg(size.height()).arg(skin));
    }
    const int client = size.height() - 32 - 30;
    EXPECT_EQ(rectIn(QStringLiteral("选择夹_组件"), window.get()), QRect(0, 32, size.width(), client));
    EXPECT_EQ(rectIn(QStringLiteral("图标列表框_文件"), window.get()), QRect(0, 32, size.width(), client));
    EXPECT_EQ(rectIn(QStringLiteral("组件_状态提示"), window.get()),
              QRect(0, size.height() - 30, size.width(), 30));
    const QRect grip = rectIn(QStringLiteral("按钮_调整"), window.get());
    EXPECT_EQ(grip.bottomRight(), QPoint(size.width() - 3, size.height() - 3));
    const QRect slider = rectIn(QStringLiteral("滑块条_图标大小"), window.get());
    EXPECT_EQ(slider.width(), 150);
    EXPECT_LT(slider.right(), grip.left());
    EXPECT_LT(rectIn(QStringLiteral("标签_提示文本"), window.get()).right(), slider.left());
  }
}

// With no folder open the logo (and the first-run hint) show through the empty list, centred.
TEST_F(MainWindowLayout, EmptyBrowserShowsTheCentredLogo) {
  window->control<TextLabel>(QStringLiteral("标签_使用提示"))->show();
  for (int skin : {0, 1}) {
    applySkin(*window, skin);
    saveGrab(*window, QStringLiteral("empty-skin%1.png").arg(skin));
  }
  const QImage grab = window->grab().toImage();
  const QRect logo = rectIn(QStringLiteral("图片框_logo居中"), window.get());
  EXPECT_NEAR(logo.center().x(), 600, 2);
  // The logo's centre pixel differs from the window background: it is really drawn on top.
  const QPoint logoCentre(logo.center().x(), logo.top() + 64);
  EXPECT_NE(grab.pixelColor(logoCentre), window->colours().window);
}

TEST_F(MainWindowLayout, ViewerCoversTheBrowserPageWhenShown) {
  window->resize(1400, 800);
  auto* viewer = window->control<WindowSkin>(QStringLiteral("组件_图片背景"));
  auto* picture = window->control<PictureBox>(QStringLiteral("图片框_图片文件"));
  picture->setImage(fakeThumbnail(3, 1200));
  auto* frame = window->control<PictureBox>(QStringLiteral("图片框_图片容器"));
  picture->setGeometry(QRect(QPoint(0, 0), frame->size()));
  viewer->show();
  for (int skin : {0, 1}) {
    applySkin(*window, skin);
    saveGrab(*window, QStringLiteral("viewer-skin%1.png").arg(skin));
  }
  EXPECT_EQ(rectIn(QStringLiteral("组件_图片背景"), window.get()),
            rectIn(QStringLiteral("选择夹_组件"), window.get()));
  EXPECT_EQ(frame->geometry(), QRect(QPoint(0, 0), viewer->size()));
  // The panel is defined before the page switcher, yet it covers the page (logo included).
  const QPoint pageCentre = rectIn(QStringLiteral("图片框_logo居中"), window.get()).center();
  EXPECT_TRUE(viewer->isAncestorOf(window->childAt(pageCentre)));
  const QRect back = rectIn(QStringLiteral("按钮_关闭"), viewer);
  EXPECT_GT(back.left(), viewer->width() / 2);
  EXPECT_LT(back.top(), 20);
}

TEST_F(MainWindowLayout, SettingsAndAboutPagesSitInsideTheWindow) {
  auto* pages = window->control<Tabs>(QStringLiteral("选择夹_组件"));
  pages->setCurrentPage(1);
  auto* settingsTabs = window->control<Tabs>(QStringLiteral("选择夹_设置"));
  for (int tab : {0, 1}) {
    settingsTabs->setCurrentPage(tab);
    for (int skin : {0, 1}) {
      applySkin(*window, skin);
      saveGrab(*window, QStringLiteral("settings-tab%1-skin%2.png").arg(tab).arg(skin));
    }
  }
  const QRect page = rectIn(QStringLiteral("图片框背景_设置"), window.get());
  EXPECT_TRUE(QRect(0, 32, 1200, 700 - 62).contains(page)) << page.x() << "," << page.y();
  for (const ControlDefinition& control : mainWindowDefinition().controls) {
    if (control.parent != QStringLiteral("图片框背景_设置")) continue;
    const QRect box = rectIn(control.name, window.get());
    EXPECT_TRUE(page.contains(box)) << control.name.toStdString() << " at " << box.x() << "," << box.y();
  }
}

TEST_F(MainWindowLayout, PromptHolderComesToTheTopWhenShown) {
  auto* holder = window->control<Filter>(QStringLiteral("滤镜"));
  holder->setGeometry(1, 1, window->width() - 2, window->height() - 2);
  holder->show();
  for (int skin : {0, 1}) {
    applySkin(*window, skin);
    saveGrab(*window, QStringLiteral("prompt-skin%1.png").arg(skin));
  }
  EXPECT_EQ(window->childAt(QPoint(600, 200)), holder);
}

TEST_F(MainWindowLayout, ParkedControlsStayParked) {
  window->resize(1920, 1040);
  EXPECT_EQ(window->control<Button>(QStringLiteral("按钮_软件重启1"))->geometry(), QRect(1360, 448, 80, 32));
  EXPECT_EQ(window->control<EditBox>(QStringLiteral("配置_代理1"))->geometry(), QRect(1360, 408, 136, 24));
  EXPECT_EQ(window->control<Filter>(QStringLiteral("滤镜"))->geometry(), QRect(1312, 96, 344, 192));
}

TEST_F(MainWindowLayout, MinimumSizeIsTheDesignedSizeUnlessTheProgramSetsOther) {
  EXPECT_EQ(window->minimumSize(), QSize(1200, 700));
  window->resize(800, 500);
  EXPECT_EQ(window->size(), QSize(1200, 700));

  const std::unique_ptr<Window> other = loadWindow(mainWindowDefinition());
  other->skin()->setSizeLimitsHandler([](SizeLimits own) {
    own.minimum = QSize(1300, 760);
    return own;
  });
  other->show();
  EXPECT_EQ(other->minimumSize(), QSize(1300, 760));
}

}  // namespace
}  // namespace pimrose::ui
