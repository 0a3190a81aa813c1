#include <QSysInfo>

#include <gtest/gtest.h>

#include "browsing/uri_list.h"
#include "text/file_names.h"

namespace pimrose {
namespace {

struct UriCase {
  const char* uri;
  QByteArray expectedBytes;  // empty: no local path
};

class UriListTest : public ::testing::TestWithParam<UriCase> {};

TEST_P(UriListTest, FileUriGivesTheExactPathBytes) {
  const QString path = localPathFromFileUri(GetParam().uri);
  EXPECT_EQ(encodeFileName(path).toHex(), GetParam().expectedBytes.toHex()) << GetParam().uri;
}

INSTANTIATE_TEST_SUITE_P(
    Uris, UriListTest,
    ::testing::Values(UriCase{"file:///home/u/pics", "/home/u/pics"},
                      UriCase{"file:///home/u/my%20pics/", "/home/u/my pics/"},
                      UriCase{"file://localhost/tmp/a", "/tmp/a"}, UriCase{"FILE:///tmp/a", "/tmp/a"},
                      UriCase{"file:/tmp/single", "/tmp/single"},
                      UriCase{"file:///tmp/%E4%B8%AD%e6%96%87", "/tmp/\xe4\xb8\xad\xe6\x96\x87"},
                      UriCase{"file:///tmp/bad%FF%FEname", "/tmp/bad\xff\xfename"},
                      UriCase{"file:///tmp/new%0Aline", "/tmp/new\nline"},
                      UriCase{"file:///tmp/100%", "/tmp/100%"}, UriCase{"file:///tmp/%zz", "/tmp/%zz"},
                      UriCase{"file:///tmp/nul%00byte", ""}, UriCase{"file://otherhost/tmp/a", ""},
                      UriCase{"http://example.org/a.jpg", ""}, UriCase{"file:relative", ""},
                      UriCase{"", ""}));

TEST(UriListTest, ListKeepsOrderSkipsCommentsAndForeignUris) {
  const QByteArray list =
      "# comment\r\nfile:///b\r\nhttp://x/y\r\nfile:///a\r\n\r\n  file:///c%20d  \nfile:///e";
  EXPECT_EQ(localPathsFromUriList(list), (QStringList{"/b", "/a", "/c d", "/e"}));
}

TEST(UriListTest, ThisMachinesHostNameCountsAsLocal) {
  const QByteArray uri = "file://" + QSysInfo::machineHostName().toUtf8() + "/tmp/x";
  EXPECT_EQ(localPathFromFileUri(uri), QStringLiteral("/tmp/x"));
}

}  // namespace
}  // namespace pimrose
