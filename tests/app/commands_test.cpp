#include <QMenu>

#include <gtest/gtest.h>

#include "app/menus.h"
#include "commands/command_table.h"
#include "program_fixture.h"
#include "settings/skin_set.h"
#include "shell/tray_event.h"
#include "shell/window_commands.h"
#include "support/drawn_pixels.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/menu.h"
#include "ui/picture_box.h"

namespace pimrose {
namespace {

struct MenuCase {
  MenuKind kind;
  const char16_t* key;
  QStringList titles;
};

// The items of each menu, in order, and the text key that names the menu.
TEST(CommandTable, EachMenuHasItsItemsInOrderUnderItsKey) {
  const MenuCase cases[] = {
      {MenuKind::Tray, u"退出程序", {u"显示程序"_qs, u"软件重启"_qs, u"退出程序"_qs}},
      {MenuKind::FloatIcon, u"悬浮菜单", {u"显示程序"_qs, u"隐藏悬浮"_qs, u"重启程序"_qs, u"退出程序"_qs}},
      {MenuKind::Picture, u"文件菜单", {u"访问目录"_qs, u"打开文件"_qs, u"置剪贴板"_qs}},
      {MenuKind::Test, u"测试菜单", {u"打开文件"_qs, u"刷新菜单"_qs, u"退出程序"_qs}},
  };
  for (const MenuCase& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.key).toStdString());
    EXPECT_EQ(menuTitles(c.kind), c.titles);
    EXPECT_EQ(menuKindKey(c.kind), QString::fromUtf16(c.key));
    EXPECT_EQ(menuKindOfKey(QString::fromUtf16(c.key)), c.kind);
  }
}

struct LookupCase {
  const char16_t* key;
  const char16_t* title;
  bool found;
  bool acts;
};

TEST(CommandTable, LookupByKeyAndTitleFindsOnlyRowsOfThatMenu) {
  const LookupCase cases[] = {
      {u"退出程序", u"软件重启", true, true},
      {u"悬浮菜单", u"重启程序", true, true},
      {u"悬浮菜单", u"软件重启", false, false},  // the tray menu's title, not the floating icon's
      {u"文件菜单", u"显示程序", false, false},
      {u"测试菜单", u"退出程序", true, false},  // the test menu's items do nothing
      {u"退出程序", u"", false, false},
      {u"没有菜单", u"退出程序", false, false},
      {u"", u"", false, false},
  };
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.key).toStdString() + "/" + QString::fromUtf16(c.title).toStdString());
    const CommandRow* row = findCommand(QString::fromUtf16(c.key), QString::fromUtf16(c.title));
    EXPECT_EQ(row != nullptr, c.found);
    EXPECT_EQ(row && row->handler, c.acts);
  }
}

class MenusTest : public ProgramTest {
 protected:
  MenusTest() : program_(services()) { program_.StartUp(); }

  // Pops a menu of that kind and chooses the item of that title, as the user would.
  void choose(MenuKind kind, const char16_t* title) {
    program_.menus().popUp(kind, QPoint(10, 10));
    const int index = static_cast<int>(menuTitles(kind).indexOf(QString::fromUtf16(title)));
    ASSERT_GE(index, 0);
    program_.menus().menu()->choose(program_.menus().menuItems()[index].id);
  }

  Program program_;
};

TEST_F(MenusTest, ExitInTheTrayMenuEndsTheProgram) {
  choose(MenuKind::Tray, u"退出程序");
  EXPECT_EQ(exitCodes_, std::vector<int>{0});
}

TEST_F(MenusTest, TheTestMenusExitDoesNothing) {
  choose(MenuKind::Test, u"退出程序");
  EXPECT_TRUE(exitCodes_.empty());
  EXPECT_TRUE(program_.windows().mainWindow().isVisible());
}

// The kind is recorded at every pop-up, so a dismissed picture menu does not capture the next choice.
TEST_F(MenusTest, AChoiceIsHandledByTheMenuItWasMadeIn) {
  Menus& menus = program_.menus();
  menus.popUp(MenuKind::Picture, QPoint(10, 10));
  menus.menu()->dismiss();
  EXPECT_EQ(menus.activeMenu(), MenuKind::Picture);
  EXPECT_EQ(menus.menuItems().size(), 3u);

  program_.windows().mainWindow().hide();
  choose(MenuKind::Tray, u"显示程序");
  EXPECT_EQ(menus.activeMenu(), MenuKind::Tray);
  EXPECT_TRUE(program_.windows().mainWindow().isVisible());
}

TEST_F(MenusTest, AnIdentifierTheMenuDoesNotHaveDoesNothing) {
  Menus& menus = program_.menus();
  menus.popUp(MenuKind::Tray, QPoint(10, 10));
  menus.OnMenuCommand(-1);
  menus.OnMenuCommand(99);
  menus.menu()->dismiss();
  EXPECT_TRUE(exitCodes_.empty());
}

TEST_F(MenusTest, BuildingAMenuReplacesTheItemsOfTheLastOne) {
  Menus& menus = program_.menus();
  menus.BuildMenu({u"甲"_qs, u"乙"_qs}, 80);
  ASSERT_EQ(menus.menuItems().size(), 2u);
  EXPECT_EQ(menus.menuItems()[1].title, u"乙"_qs);
  EXPECT_EQ(menus.menu()->itemTitle(menus.menuItems()[1].id), u"乙"_qs);
  EXPECT_GE(menus.menu()->widget()->minimumWidth(), 80);
}

// Items are drawn in the skin's menu text colour, in "微软雅黑" (mapped as the windows' texts are).
TEST_F(MenusTest, ItemsTakeTheSkinsMenuTextColourAndFace) {
  for (int skin : {0, 1}) {
    SCOPED_TRACE(skin);
    Q_EMIT program_.windows().mainControls().下拉框_皮肤->currentIndexChanged(skin);
    program_.menus().BuildMenu(menuTitles(MenuKind::Tray), Menus::kItemWidth);
    QMenu* menu = program_.menus().menu()->widget();
    menu->adjustSize();
    EXPECT_EQ(menu->font().family(), u"微软雅黑"_qs);
    EXPECT_EQ(menu->font().pixelSize(), Menus::kFontPixels);
    for (QAction* action : menu->actions())
      EXPECT_EQ(menu->actionGeometry(action).height(), Menus::kItemHeight);
    const int textPixels = test::pixelsNear(menu->grab().toImage(), skinSet(skin)->menuText);
    EXPECT_GT(textPixels, 30) << "strokes of the item texts";
  }
}

TEST_F(MenusTest, TheFloatingIconTogglesTheMainWindowAndOpensItsMenu) {
  ui::PictureBox* logo = program_.windows().floatControls().图片框_icon;
  Q_EMIT logo->sizeToggleGesture();
  EXPECT_FALSE(program_.windows().mainWindow().isVisible());
  Q_EMIT logo->sizeToggleGesture();
  EXPECT_TRUE(program_.windows().mainWindow().isVisible());
  Q_EMIT logo->rightPressed();
  EXPECT_EQ(program_.menus().activeMenu(), MenuKind::FloatIcon);
  EXPECT_EQ(program_.menus().menuItems().size(), 4u);
  program_.menus().menu()->dismiss();
}

TEST_F(MenusTest, HideFloatingIconHidesTheWindowAndClearsItsOption) {
  ui::CheckBox* box = program_.windows().mainControls().选择框_显示悬浮图标;
  box->toggleByUser();
  ASSERT_TRUE(program_.windows().floatWindow().isVisible());
  choose(MenuKind::FloatIcon, u"隐藏悬浮");
  EXPECT_FALSE(program_.windows().floatWindow().isVisible());
  EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(exitCodes_.empty());
}

TEST_F(MenusTest, TrayPressesShowTheWindowOrOpenTheTrayMenu) {
  program_.windows().mainWindow().hide();
  program_.shell().onTrayEvent(kTrayLeftPressed);
  EXPECT_TRUE(program_.windows().mainWindow().isVisible());
  program_.shell().onTrayEvent(kTrayRightPressed);
  EXPECT_EQ(program_.menus().activeMenu(), MenuKind::Tray);
  EXPECT_EQ(program_.menus().menuItems().size(), 3u);
  program_.menus().menu()->dismiss();
}

enum class Start { Hidden, Shown, Minimised, MaximisedThenMinimised };

struct ToggleCase {
  const char* name;
  Start start;
  bool visibleAfter;
  Qt::WindowStates stateAfter;
};

void bring(QWidget& window, Start start) {
  switch (start) {
    case Start::Hidden:
      window.hide();
      break;
    case Start::Shown:
      window.showNormal();
      break;
    case Start::Minimised:
      window.showNormal();
      window.showMinimized();
      break;
    case Start::MaximisedThenMinimised:
      window.showMaximized();
      window.setWindowState(window.windowState() | Qt::WindowMinimized);
      break;
  }
}

// A minimised window comes back rather than being hidden, and comes back as it was.
TEST(WindowCommands, ToggleHidesOnlyAWindowThatIsShownAndNotMinimised) {
  const ToggleCase cases[] = {
      {"hidden", Start::Hidden, true, Qt::WindowNoState},
      {"shown", Start::Shown, false, Qt::WindowNoState},
      {"minimised", Start::Minimised, true, Qt::WindowNoState},
      {"maximised, minimised", Start::MaximisedThenMinimised, true, Qt::WindowMaximized},
  };
  for (const ToggleCase& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget window;
    bring(window, c.start);
    ToggleMainWindow(window);
    EXPECT_EQ(window.isVisible(), c.visibleAfter);
    EXPECT_EQ(window.windowState() & ~Qt::WindowActive, c.stateAfter);
  }
}

TEST(WindowCommands, ShowKeepsAMaximisedWindowMaximised) {
  QWidget window;
  window.showMaximized();
  ShowMainWindow(window);
  EXPECT_TRUE(window.isMaximized());
  EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace pimrose
