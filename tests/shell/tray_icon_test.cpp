#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

#include "shell/hide_into_tray.h"
#include "shell/tray_event.h"
#include "shell/tray_icon.h"

namespace pimrose {
namespace {

QByteArray programIco() {
  QFile file(QStringLiteral(":/pimrose/tray.ico"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(TrayEvents, OnlyPressesAndTheIconsOwnNoticesAct) {
  struct Case {
    int code;
    const char* expected;
  };
  const Case cases[] = {
      {kTrayLeftPressed, "show"},
      {kTrayRightPressed, "menu"},
      {kTrayEventTaskbarRecreated, "add"},
      {kTrayEventHostLost, "lost"},
      {0x202, ""} /* left release */,
      {0x205, ""} /* right release */,
      {0x200, ""} /* move */,
      {kTrayLeftDoubleClicked, ""},
      {kTrayMiddlePressed, ""},
      {kTrayBalloonClicked, ""},
      {kTrayEventWindowDestroyed, ""},
      {0, ""},
      {-1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    std::string done;
    const TrayActions actions{[&] { done += "show"; }, [&] { done += "menu"; }, [&] { done += "add"; },
                              [&] { done += "lost"; }};
    onTrayEvent(c.code, actions);
    EXPECT_EQ(done, c.expected);
  }
  onTrayEvent(kTrayLeftPressed, TrayActions{});  // no action given: nothing happens, nothing breaks
}

class TrayIconTest : public ::testing::Test {
 protected:
  // The icon goes first, so the owner's end and the routine's events outlive it.
  bool host = true;
  std::vector<int> events;
  QWidget owner;
  TrayIcon tray{[this] { return host; }};

  void addAndAttach() {
    tray.add(&owner, programIco(), QStringLiteral("Pimrose"));
    tray.attach([this](int event) { events.push_back(event); });
  }
};

TEST_F(TrayIconTest, IsShownOnlyWithAHostAndAnImage) {
  EXPECT_TRUE(tray.add(&owner, programIco(), QStringLiteral("Pimrose")));
  EXPECT_TRUE(tray.isShownInTray());
  EXPECT_TRUE(canHideIntoTray(tray));
  EXPECT_EQ(tray.tip(), QStringLiteral("Pimrose"));
  host = false;
  EXPECT_FALSE(canHideIntoTray(tray));
  host = true;
  // Damaged bytes and a window without an icon of its own give nothing to click.
  EXPECT_FALSE(tray.add(&owner, QByteArray("not an icon"), QStringLiteral("Pimrose")));
  EXPECT_FALSE(canHideIntoTray(tray));
}

TEST_F(TrayIconTest, WithoutBytesShowsTheWindowsOwnIcon) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::red);
  owner.setWindowIcon(QIcon(pixmap));
  EXPECT_TRUE(tray.add(&owner, QByteArray(), QStringLiteral("Pimrose")));
  EXPECT_FALSE(tray.icon().isNull());
}

TEST_F(TrayIconTest, RefusesAMissingWindow) {
  EXPECT_FALSE(tray.add(nullptr, programIco(), QStringLiteral("Pimrose")));
  EXPECT_FALSE(tray.isAdded());
}

TEST_F(TrayIconTest, RemoveTwiceChangesNothingTheSecondTime) {
  addAndAttach();
  EXPECT_TRUE(tray.remove());
  EXPECT_FALSE(tray.isShownInTray());
  EXPECT_FALSE(tray.remove());
  EXPECT_FALSE(tray.isAdded());
}

TEST_F(TrayIconTest, LongTipsAreCutAt127BytesOnACharacterBoundary) {
  const QString han(64, QChar(0x4e2d));  // 128 bytes in code page 936
  tray.add(&owner, programIco(), han);
  EXPECT_EQ(tray.tip(), QString(63, QChar(0x4e2d)));
  tray.setTip(QStringLiteral("a") + han);
  EXPECT_EQ(tray.tip(), QStringLiteral("a") + QString(63, QChar(0x4e2d)));
  tray.setTip(QString(127, QLatin1Char('x')) + QStringLiteral("yz"));
  EXPECT_EQ(tray.tip(), QString(127, QLatin1Char('x')));
}

TEST_F(TrayIconTest, TellsTheRoutineWhenTheHostGoesAndComesBack) {
  addAndAttach();
  tray.checkHost();
  EXPECT_TRUE(events.empty());
  host = false;
  tray.checkHost();
  tray.checkHost();
  host = true;
  tray.checkHost();
  EXPECT_EQ(events, (std::vector<int>{kTrayEventHostLost, kTrayEventTaskbarRecreated}));
  // Added again after the host came back: same tip, still shown, and clicks still reach the routine.
  tray.add(&owner, programIco(), QStringLiteral("Pimrose"));
  EXPECT_EQ(tray.tip(), QStringLiteral("Pimrose"));
  EXPECT_TRUE(tray.isShownInTray());
}

TEST_F(TrayIconTest, SaysNothingAboutTheHostOnceRemoved) {
  addAndAttach();
  tray.remove();
  host = false;
  tray.checkHost();
  EXPECT_TRUE(events.empty());
}

TEST_F(TrayIconTest, ReportsTheOwnerWindowsEnd) {
  auto* window = new QWidget;
  tray.add(window, programIco(), QStringLiteral("Pimrose"));
  tray.attach([this](int event) { events.push_back(event); });
  delete window;
  EXPECT_EQ(events, std::vector<int>{kTrayEventWindowDestroyed});
}

TEST_F(TrayIconTest, IconChangesAndBalloonsNeedUsableInput) {
  addAndAttach();
  EXPECT_FALSE(tray.changeIcon(QByteArray("\0\0\1\0", 4)));
  EXPECT_TRUE(tray.changeIcon(programIco()));
  EXPECT_TRUE(tray.showBalloon(QStringLiteral("提示"), QStringLiteral("text"), 1, 0));
  host = false;
  EXPECT_FALSE(tray.showBalloon(QStringLiteral("提示"), QStringLiteral("text"), 1, 0));
}

TEST(HideIntoTray, AWindowIsHiddenOnlyWhileATrayIconIsShown) {
  using enum SendAway;
  EXPECT_EQ(closeRequestOutcome(true, true), HideIntoTray);
  EXPECT_EQ(closeRequestOutcome(true, false), Minimise);
  EXPECT_EQ(closeRequestOutcome(false, true), Exit);
  EXPECT_EQ(closeRequestOutcome(false, false), Exit);
  EXPECT_EQ(closeButtonOutcome(false, true), HideIntoTray);
  EXPECT_EQ(closeButtonOutcome(true, false), Minimise);
  EXPECT_EQ(closeButtonOutcome(false, false), Exit);
  EXPECT_EQ(minimiseButtonOutcome(true), HideIntoTray);
  EXPECT_EQ(minimiseButtonOutcome(false), Minimise);
  EXPECT_TRUE(hideAtEarlyBoot(true, true));
  EXPECT_FALSE(hideAtEarlyBoot(true, false));
  EXPECT_FALSE(hideAtEarlyBoot(false, true));
}

}  // namespace
}  // namespace pimrose
