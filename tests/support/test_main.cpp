#include <cstdio>

#include <QApplication>

#include <gtest/gtest.h>

// Every test program runs inside a QApplication (offscreen in the test run), so widget tests and
// queued signals work the same way as in the program.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
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
