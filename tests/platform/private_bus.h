#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <gtest/gtest.h>

#include "support/wait_for.h"

namespace pimrose::test {

// A bus daemon of our own, so a test meets neither the user's desktop services nor a missing bus.
class PrivateBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    daemon_.start(
        daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    ASSERT_TRUE(daemon_.waitForStarted());
    ASSERT_TRUE(test::waitFor([&] { return daemon_.canReadLine(); }));
    address_ = QString::fromUtf8(daemon_.readLine().trimmed());
    client_ = connect(QStringLiteral("client"));
  }
  void TearDown() override {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();  // the bus daemon this test started
    daemon_.waitForFinished();
  }

  QDBusConnection connect(const QString& name) {
    const QString unique = name + QString::number(reinterpret_cast<quintptr>(this));
    names_.append(unique);
    return QDBusConnection::connectToBus(address_, unique);
  }

  QProcess daemon_;
  QString address_;
  QStringList names_;
  QDBusConnection client_{QString()};
};

}  // namespace pimrose::test
