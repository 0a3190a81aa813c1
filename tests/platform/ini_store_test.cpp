#include <sys/stat.h>

#include <QFile>

#include <gtest/gtest.h>

#include <vector>

#include "platform/ini_store.h"
#include "support/sandbox.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The store reads its keys once and answers from what it read and what it was last given to save;
// saves are written in the order asked, each reported on the owner's thread, and the last one is in
// the file once the saves are waited for or the store has gone.
TEST(IniStoreTest, AnswersAtOnceAndWritesInOrderInTheBackground) {
  test::Sandbox sandbox;
  const QString path = sandbox.write(QStringLiteral("a.ini"), "[s]\nk=1\n; kept\n");
  std::vector<bool> reported;
  {
    IniStore store(
        path, {{QStringLiteral("s"), QStringLiteral("k")}, {QStringLiteral("S"), QStringLiteral("new")}});
    EXPECT_EQ(store.value(QStringLiteral("S"), QStringLiteral("K")), u"1");
    EXPECT_EQ(store.value(QStringLiteral("s"), QStringLiteral("new"), QStringLiteral("none")), u"none");
    for (int value = 2; value <= 4; ++value)
      store.save({{QStringLiteral("s"), QStringLiteral("k"), QString::number(value)}},
                 [&reported](bool written) { reported.push_back(written); });
    EXPECT_EQ(store.value(QStringLiteral("s"), QStringLiteral("k")), u"4");
    EXPECT_TRUE(store.waitForSaves());
    EXPECT_EQ(contents(path), "[s]\nk=4\n; kept\n");
    ASSERT_TRUE(test::waitFor([&] { return reported.size() == 3; }));
    EXPECT_EQ(reported, (std::vector<bool>{true, true, true}));
    store.save({{QStringLiteral("s"), QStringLiteral("new"), QStringLiteral("5")}});
  }
  EXPECT_EQ(contents(path), "[s]\nk=4\n; kept\nnew=5\n");
}

// What cannot be read answers nothing and is never replaced.
TEST(IniStoreTest, AFileThatCannotBeReadIsLeftAlone) {
  test::Sandbox sandbox;
  const QString fifo = sandbox.filePath(QStringLiteral("fifo.ini"));
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
  IniStore store(fifo, {{QStringLiteral("s"), QStringLiteral("k")}});
  EXPECT_EQ(store.value(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("none")), u"none");
  store.save({{QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("1")}});
  EXPECT_FALSE(store.waitForSaves());
  struct stat state {};
  EXPECT_TRUE(stat(QFile::encodeName(fifo).constData(), &state) == 0 && S_ISFIFO(state.st_mode));
}

}  // namespace
}  // namespace pimrose
