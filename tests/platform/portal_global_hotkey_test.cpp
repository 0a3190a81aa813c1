#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "platform/portal_global_hotkey.h"
#include "private_bus.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

// The hotkey against the end-to-end tests' stand-in of the GlobalShortcuts portal.
class PortalHotkeyTest : public test::PrivateBusTest {
 protected:
  void TearDown() override {
    if (portal_.state() != QProcess::NotRunning) {
      portal_.terminate();  // the stand-in this test started
      portal_.waitForFinished();
    }
    test::PrivateBusTest::TearDown();
  }

  void startPortal(const QStringList& flags) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    portal_.setProcessEnvironment(environment);
    portal_.start(QStringLiteral(PIMROSE_DESKTOP_STAND_IN), flags);
    ASSERT_TRUE(saidLine("ready"));
  }

  // Waits for a line of the stand-in's output starting with `start`.
  bool saidLine(const char* start) {
    return test::waitFor([&] {
      while (portal_.canReadLine()) {
        const QByteArray line = portal_.readLine().trimmed();
        said_ << QString::fromUtf8(line);
        if (line.startsWith(start)) return true;
      }
      return false;
    });
  }

  // The test's hand on the stand-in: a press of a bound shortcut, the portal closing its sessions.
  void tellStandIn(const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.pimrose.StandIn"),
                                                       QStringLiteral("/org/pimrose/StandIn"),
                                                       QStringLiteral("org.pimrose.StandIn"), method);
    call.setArguments(arguments);
    client_.call(call);
  }

  // The outcome of one registration: the identifier, then whether the portal settled it as held.
  std::optional<bool> settledFor(GlobalHotkey& hotkey, int id) {
    QSignalSpy settled(&hotkey, &GlobalHotkey::settled);
    if (!test::waitFor([&] { return !settled.isEmpty(); })) return std::nullopt;
    EXPECT_EQ(settled.first().at(0).toInt(), id);
    EXPECT_FALSE(hotkey.isPending(id));
    return settled.first().at(1).toBool();
  }

  QProcess portal_;
  QStringList said_;
};

TEST_F(PortalHotkeyTest, TheChosenKeyIsBoundAndItsActivationPressesIt) {
  startPortal({QStringLiteral("--portal")});
  const auto hotkey = makePortalGlobalHotkey(client_);
  QSignalSpy pressed(hotkey.get(), &GlobalHotkey::pressed);
  const int id = hotkey->registerHotkey(0, kVirtualKeyF1 + 4);
  ASSERT_EQ(id, GlobalHotkey::kFirstId);
  EXPECT_TRUE(hotkey->isPending(id));
  EXPECT_EQ(settledFor(*hotkey, id), true);
  ASSERT_TRUE(saidLine("BindShortcuts"));
  EXPECT_EQ(said_.last(), u"BindShortcuts toggle-main-window-f5 preferred_trigger=F5");

  tellStandIn(QStringLiteral("Press"), {QStringLiteral("toggle-main-window-f5")});
  ASSERT_TRUE(test::waitFor([&] { return !pressed.isEmpty(); }));
  EXPECT_EQ(pressed.first().at(0).toInt(), id);

  EXPECT_TRUE(hotkey->unregisterHotkey(id));
  EXPECT_TRUE(saidLine("session closed"));
}

// The desktop may take a bound key back by closing its session: the key is then no longer held.
TEST_F(PortalHotkeyTest, ASessionThePortalClosesIsAKeyLost) {
  startPortal({QStringLiteral("--portal")});
  const auto hotkey = makePortalGlobalHotkey(client_);
  const int id = hotkey->registerHotkey(0, kVirtualKeyF1 + 6);
  ASSERT_EQ(settledFor(*hotkey, id), true);
  QSignalSpy settled(hotkey.get(), &GlobalHotkey::settled);
  tellStandIn(QStringLiteral("CloseSessions"));
  ASSERT_TRUE(test::waitFor([&] { return !settled.isEmpty(); }));
  EXPECT_EQ(settled.first(), (QList<QVariant>{id, false}));
  EXPECT_FALSE(hotkey->unregisterHotkey(id));  // nothing left to release
}

// Every way the portal can say no ends as a failed registration, never as a success.
TEST_F(PortalHotkeyTest, NoPortalOrARefusalFailsTheRegistration) {
  for (const QStringList& flags :
       {QStringList(), QStringList{QStringLiteral("--portal"), QStringLiteral("--refuse")}}) {
    if (!flags.isEmpty()) startPortal(flags);
    const auto hotkey = makePortalGlobalHotkey(client_);
    const int id = hotkey->registerHotkey(0, kVirtualKeyF1);
    ASSERT_NE(id, 0);
    EXPECT_EQ(settledFor(*hotkey, id), false) << flags.join(u' ').toStdString();
  }
}

}  // namespace
}  // namespace pimrose
