#include <cstdio>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Every test program runs inside a QApplication (offscreen in the test run), so widget tests and
// queued signals work the same way as in the program. The loaders keep what they make in the shared
// thumbnail cache and in our icon cache: a test run gets a cache folder of its own, so it never
// fills the user's caches nor finds entries an earlier run left there.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const QTemporaryDir cache;
  if (cache.isValid()) qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  // A filter that stopped matching (a renamed suite) must fail, not pass with nothing run.
  if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
    std::fputs("no test was selected to run\n", stderr);
    return 1;
  }
  return result;
}
