#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "support/wait_for.h"
#include "ui/controls.h"
#include "ui/main_window_metrics.h"

namespace pimrose::ui {
namespace {

QString parentNameOf(const QObject* object) {
  for (const QObject* up = object->parent(); up; up = up->parent()) {
    if (auto* control = qobject_cast<const Control*>(up)) return control->name();
    if (qobject_cast<const Window*>(up)) return {};
  }
  return {};
}

ControlClass classOf(const QObject* object) {
  if (auto* control = qobject_cast<const Control*>(object)) return control->controlClass();
  if (auto* label = qobject_cast<const MessageLabel*>(object)) return label->controlClass();
  return qobject_cast<const Timer*>(object)->controlClass();
}

class EveryWindow : public ::testing::TestWithParam<const WindowDefinition*> {};

// Every row becomes a control of its class, under its parent, at its table rectangle.
TEST_P(EveryWindow, LoadsEveryControlAsDefined) {
  const WindowDefinition& definition = *GetParam();
  const std::unique_ptr<Window> window = loadWindow(definition);
  ASSERT_EQ(window->controls().size(), definition.controls.size());
  for (const ControlDefinition& row : definition.controls) {
    SCOPED_TRACE(row.name.toStdString());
    QObject* object = window->findControl(row.name);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(classOf(object), row.cls);
    if (auto* widget = qobject_cast<QWidget*>(object)) {
      EXPECT_EQ(parentNameOf(widget), row.parent);
      EXPECT_EQ(widget->geometry(), row.rect);
    }
  }
  EXPECT_EQ(window->size(), definition.rect.size());
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryWindow, ::testing::ValuesIn(allWindowDefinitions()),
                         [](const auto& info) { return info.param->name.toStdString(); });

struct Expected {
  const char* window;
  const char* name;
  ControlClass cls;
  QRect rect;
  const char* parent;
};

// Facts of the inventory written out again, so a slip in a table shows up here.
TEST(WindowInventory, KeyControlsHaveTheirClassGeometryAndParent) {
  const Expected cases[] = {
      {"MainWindow", "图片框_图片容器", ControlClass::PictureBoxEx, {-523, 117, 168, 176}, "组件_图片背景"},
      {"MainWindow", "图标列表框_文件", ControlClass::IcoListboxEx, {472, -8, 128, 128}, "选择夹_组件"},
      {"MainWindow", "选择框_双击查看图片", ControlClass::ChoiceboxEx, {8, 336, 134, 32}, "图片框背景_设置"},
      {"MainWindow", "选择框_缩略图缓存", ControlClass::ChoiceboxEx, {176, 336, 136, 32}, "图片框背景_设置"},
      {"MainWindow", "滤镜", ControlClass::FilterEx, {1312, 96, 344, 192}, ""},
      {"MainWindow", "分组框_弹出提示", ControlClass::MinutesboxEx, {1328, 320, 200, 60}, ""},
      {"MainWindow", "超级按钮_搜索", ControlClass::SuperbuttonEx, {156, 4, 20, 20}, "编辑框_搜索"},
      {"MainWindow", "标签_提示文本", ControlClass::EditboxEx, {30, 0, 184, 28}, "组件_状态提示"},
      {"MainWindow", "选择夹_设置", ControlClass::SelectthefolderEx, {160, 200, 704, 512}, "图片框_设置背景"},
      {"LogWindow", "超级列表框_日志", ControlClass::SuperListboxEx, {16, 40, 328, 168}, ""},
      {"TaskbarWidget", "标签_信息下", ControlClass::LabelEx, {0, 16, 208, 24}, "图片框_容器"},
      {"FloatWindow", "图片框_icon", ControlClass::PictureBoxEx, {0, 0, 48, 48}, ""},
      {"TextPopupWindow", "标签文本", ControlClass::LabelEx, {24, 32, 150, 64}, ""},
  };
  for (const Expected& expected : cases) {
    SCOPED_TRACE(expected.name);
    for (const WindowDefinition* definition : allWindowDefinitions()) {
      if (definition->name != QLatin1String(expected.window)) continue;
      const std::unique_ptr<Window> window = loadWindow(*definition);
      auto* control = window->control<Control>(QString::fromUtf8(expected.name));
      EXPECT_EQ(control->controlClass(), expected.cls);
      EXPECT_EQ(control->geometry(), expected.rect);
      EXPECT_EQ(parentNameOf(control), QString::fromUtf8(expected.parent));
    }
  }
}

TEST(WindowInventory, WindowsHaveTheirSizesAndEverySkinControl) {
  const std::pair<const WindowDefinition*, QSize> sizes[] = {
      {&mainWindowDefinition(), {1200, 700}},  {&textPopupWindowDefinition(), {195, 111}},
      {&logWindowDefinition(), {600, 400}},    {&floatWindowDefinition(), {48, 48}},
      {&taskbarWidgetDefinition(), {380, 65}},
  };
  for (const auto& [definition, size] : sizes) {
    const std::unique_ptr<Window> window = loadWindow(*definition);
    EXPECT_EQ(window->size(), size) << definition->name.toStdString();
    auto* skin = window->control<WindowSkin>(QStringLiteral("窗口EX1"));
    EXPECT_EQ(skin->geometry(), QRect(4, 4, 24, 24));
    EXPECT_EQ(window->skin(), skin);
  }
  EXPECT_EQ(loadWindow(floatWindowDefinition())->pos(), QPoint(0, 0));
  EXPECT_EQ(loadWindow(mainWindowDefinition())->windowTitle(), QStringLiteral("Pimrose"));
  EXPECT_EQ(mainWindowDefinition().controls.size(), 60u);
}

TEST(WindowInventory, InitialTextsAndItems) {
  const std::unique_ptr<Window> main = loadWindow(mainWindowDefinition());
  EXPECT_EQ(main->control<Button>(QStringLiteral("按钮_关闭"))->text(), QStringLiteral("返回"));
  EXPECT_EQ(main->control<Button>(QStringLiteral("按钮_保存配置"))->text(), QStringLiteral("保存配置"));
  auto* more = main->control<CheckBox>(QStringLiteral("选择框_更多格式"));
  EXPECT_EQ(more->text(), QStringLiteral("更多格式"));
  EXPECT_EQ(more->parentWidget(), main->control<PictureBox>(QStringLiteral("图片框背景_设置")));
  EXPECT_FALSE(more->isChecked());
  EXPECT_EQ(main->control<Button>(QStringLiteral("按钮_提示取消"))->text(), QStringLiteral("取消"));
  EXPECT_EQ(main->control<Button>(QStringLiteral("按钮_提示确定"))->text(), QStringLiteral("确定"));
  EXPECT_EQ(main->control<TextLabel>(QStringLiteral("标签_使用提示"))->text(),
            QStringLiteral("拖入文件夹开始看图"));
  EXPECT_EQ(main->control<TextLabel>(QStringLiteral("标签_提示标题"))->text(), QStringLiteral("提示"));
  EXPECT_EQ(main->control<TextLabel>(QStringLiteral("标签_关于声明"))->text(), QStringLiteral("免责申明"));
  EXPECT_EQ(main->control<TextLabel>(QStringLiteral("标签_当前版本"))->text(), QStringLiteral("当前版本:"));
  // The shared thumbnail cache is the one option box that starts checked.
  for (const CheckBox* box : main->controlsOf<CheckBox>())
    EXPECT_EQ(box->isChecked(), box->name() == QStringLiteral("选择框_缩略图缓存"))
        << box->name().toStdString();
  EXPECT_EQ(main->control<CheckBox>(QStringLiteral("选择框_缩略图缓存"))->text(),
            QStringLiteral("缩略图缓存"));
  auto* hotkeys = main->control<ComboBox>(QStringLiteral("下拉框_热键"));
  ASSERT_EQ(hotkeys->itemCount(), 12);
  EXPECT_EQ(hotkeys->itemTitle(0), QStringLiteral("F1"));
  EXPECT_EQ(hotkeys->itemTitle(11), QStringLiteral("F12"));
  auto* skins = main->control<ComboBox>(QStringLiteral("下拉框_皮肤"));
  ASSERT_EQ(skins->itemCount(), 2);
  EXPECT_EQ(skins->itemTitle(0), QStringLiteral("黑色"));
  EXPECT_EQ(skins->itemTitle(1), QStringLiteral("白色"));

  const std::unique_ptr<Window> taskbar = loadWindow(taskbarWidgetDefinition());
  EXPECT_EQ(taskbar->control<TextLabel>(QStringLiteral("标签_信息上"))->text(), QStringLiteral("初始化"));
  EXPECT_EQ(taskbar->control<TextLabel>(QStringLiteral("标签_信息下"))->text(), QStringLiteral("初始化"));
}

TEST(WindowInventory, TimersRunAtTheirIntervalsAndTheIdleOneWaits) {
  const std::unique_ptr<Window> main = loadWindow(mainWindowDefinition());
  EXPECT_EQ(main->control<Timer>(QStringLiteral("时钟_拖放路径"))->interval(), 50);
  EXPECT_EQ(main->control<Timer>(QStringLiteral("时钟_线程"))->interval(), 100);
  const std::unique_ptr<Window> taskbar = loadWindow(taskbarWidgetDefinition());
  EXPECT_EQ(taskbar->control<Timer>(QStringLiteral("任务栏_刷新信息"))->interval(), 1000);

  auto* placement = taskbar->control<Timer>(QStringLiteral("任务栏_刷新位置"));
  QSignalSpy fired(placement, &Timer::elapsed);
  EXPECT_EQ(placement->interval(), 0);
  EXPECT_FALSE(placement->isRunning());
  QTest::qWait(80);
  EXPECT_EQ(fired.count(), 0);
  placement->setInterval(10);
  EXPECT_TRUE(test::waitFor([&] { return fired.count() >= 2; }, 2000));
  placement->setInterval(0);
  const qsizetype after = fired.count();
  QTest::qWait(50);
  EXPECT_EQ(fired.count(), after);
}

// A child may name a parent defined later; among siblings the table order is the stacking order.
TEST(WindowInventory, TableOrderIsStackingOrderAmongSiblings) {
  const std::unique_ptr<Window> main = loadWindow(mainWindowDefinition());
  auto* page = main->control<PictureBox>(QStringLiteral("图片框背景_设置"));
  QStringList expected;
  for (const ControlDefinition& row : mainWindowDefinition().controls)
    if (row.parent == page->name()) expected << row.name;
  QStringList actual;
  for (QObject* child : page->children())
    if (auto* control = qobject_cast<Control*>(child)) actual << control->name();
  EXPECT_EQ(actual, expected);
  EXPECT_EQ(actual.first(), QStringLiteral("选择框_双击查看图片"));
}

TEST(WindowInventory, HiddenAtStartAndShownAtStart) {
  const std::unique_ptr<Window> main = loadWindow(mainWindowDefinition());
  EXPECT_FALSE(main->control<WindowSkin>(QStringLiteral("组件_图片背景"))->shown());
  EXPECT_FALSE(main->control<IconList>(QStringLiteral("图标列表框_搜索"))->shown());
  EXPECT_FALSE(main->control<Filter>(QStringLiteral("滤镜"))->shown());
  EXPECT_TRUE(main->control<IconList>(QStringLiteral("图标列表框_文件"))->shown());
  EXPECT_TRUE(main->control<WindowSkin>(QStringLiteral("组件_状态提示"))->shown());
}

}  // namespace
}  // namespace pimrose::ui

namespace pimrose::ui {
namespace {

// A repaint that reaches only a strip of the caption still paints the caption there.
TEST(WindowPainting, ARepaintReachingTheCaptionPaintsIt) {
  const std::unique_ptr<Window> window = loadWindow(mainWindowDefinition());
  window->resize(kMainWindowSize);
  ASSERT_TRUE(window->skin() && window->skin()->isWindowFrame());
  QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::magenta);
  window->render(&image, QPoint(), QRegion(0, 0, window->width(), 4));
  EXPECT_EQ(image.pixelColor(3, 2), window->colours().caption);
}

}  // namespace
}  // namespace pimrose::ui
