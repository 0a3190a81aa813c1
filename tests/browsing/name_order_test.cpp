#include "browsing/name_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include <QStringList>

#include "text/file_names.h"

namespace pimrose {
namespace {

// The order the listing promises, spelled the slow way: Qt's case-blind comparison, then bytes.
std::vector<quint32> referenceOrder(const std::vector<NamedFile>& files) {
  std::vector<quint32> order(files.size());
  std::iota(order.begin(), order.end(), 0U);
  std::sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
    const int byText = files[a].shown().compare(files[b].shown(), Qt::CaseInsensitive);
    return byText != 0 ? byText < 0 : files[a].name < files[b].name;
  });
  return order;
}

NamedFile named(const QString& shown, const QString& folder = {}) {
  return {shown.toStdString(), folder + shown, folder.size()};
}

// Names that share the folded prefix the fast order keeps, differ only past it, by case alone, in
// letters Qt folds outside ASCII, in surrogate pairs (Deseret capital and small), in the lone
// units that stand for bytes that are not UTF-8, and names that are prefixes of one another.
TEST(NameOrder, AgreesWithQtsCaseBlindComparison) {
  const QStringList shown = {"IMG_000010.jpg",
                             "img_000002.JPG",
                             "IMG_000002.jpg",
                             "IMG_0000100.jpg",
                             "IMG_00001.jpg",
                             "abcdefghijkl",
                             "ABCDEFGHIJKL",
                             "abcdefghijklm",
                             "abcdefghijk",
                             "ABCDEFGHIJKLMNOP.png",
                             "abcdefghijklmnoq.png",
                             "Ärger.jpg",
                             "ärger.jpg",
                             "Zebra.jpg",
                             "ΣΟΦΙΑ.jpg",
                             "σοφια.jpg",
                             "照片2.jpg",
                             "照片10.jpg",
                             QString::fromUcs4(U"\U00010400x.jpg"),
                             QString::fromUcs4(U"\U00010428a.jpg"),
                             QString::fromUcs4(U"a\U0001F600.jpg"),
                             QString::fromUcs4(U"A\U0001F601.jpg"),
                             QString(QChar(0xDC80)) + "b.jpg",
                             QString(QChar(0xDCFF)) + "a.jpg",
                             "a",
                             "A",
                             "_x.jpg",
                             "[x].jpg"};
  std::vector<NamedFile> files;
  for (const QString& name : shown) files.push_back(named(name, QStringLiteral("/photos/album/")));
  EXPECT_EQ(orderByName(files), referenceOrder(files));
}

// A folder's names kept as its bytes order as the same names made into strings do, and tell the
// same last names: ASCII names that share the folded prefix or differ past it or by case alone,
// names beyond ASCII, bytes that are not UTF-8, and names that are prefixes of one another.
TEST(NameOrder, FolderNamesOrderAsTheirStrings) {
  const std::string held[] = {"IMG_000010.jpg",
                              "img_000002.JPG",
                              "IMG_000002.jpg",
                              "IMG_0000100.jpg",
                              "abcdefghijkl",
                              "ABCDEFGHIJKL",
                              "abcdefghijklm",
                              "abcdefghijklmnoq.png",
                              "ABCDEFGHIJKLMNOP.png",
                              "\xc3\x84rger.jpg",
                              "\xc3\xa4rger.jpg",
                              "abcdefghijkl\xc3\xa4",
                              "\xe7\x85\xa7\xe7\x89\x87"
                              "2.jpg",
                              "\x80"
                              "b.jpg",
                              "\xff"
                              "a.jpg",
                              "a\xff",
                              "a",
                              "A",
                              "_x.jpg",
                              "照片照片照片照片照片照片b.jpg",
                              "照片照片照片照片照片照片A.jpg"};
  FolderNames names;
  std::vector<NamedFile> files;
  for (const std::string& name : held) {
    names.add(name);
    files.push_back({name, decodeFileName(name)});
  }
  const std::vector<quint32> expected = orderByName(files);
  EXPECT_EQ(orderByName(names, 0, {}), expected);
  std::vector<quint32> last;
  EXPECT_EQ(
      orderByName(names, 5, [&](std::span<const quint32> told) { last.assign(told.begin(), told.end()); }),
      expected);
  EXPECT_EQ(last, std::vector<quint32>(expected.end() - 5, expected.end()));
}

TEST(NameOrder, CaseBlindComparisonMatchesQt) {
  const std::pair<QString, QString> pairs[] = {
      {"abc", "ABD"},
      {"abc", "ab"},
      {"Ärger", "ärger"},
      {"aÄ", "Aä"},
      {"a", "é"},
      {QString::fromUcs4(U"\U00010400"), QString::fromUcs4(U"\U00010428")},
      {QString(QChar(0xDC80)), "z"}};
  for (const auto& [a, b] : pairs) {
    const int expected = QString::compare(a, b, Qt::CaseInsensitive);
    const int got = compareCaseBlind(a, b);
    EXPECT_EQ(got < 0, expected < 0) << a.toStdString() << " " << b.toStdString();
    EXPECT_EQ(got == 0, expected == 0) << a.toStdString() << " " << b.toStdString();
  }
}

}  // namespace
}  // namespace pimrose
