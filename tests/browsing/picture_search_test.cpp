#include <gtest/gtest.h>

#include "browsing/enumeration_controller.h"
#include "browsing/picture_search.h"
#include "support/loading_signal_recorder.h"
#include "support/sandbox.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

struct FindCase {
  const char16_t* text;
  const char16_t* part;
  int start;
  bool caseInsensitive;
  int expected;
};

class FindTextTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, PositionOfFirstOccurrence) {
  const FindCase& c = GetParam();
  EXPECT_EQ(findText(QString::fromUtf16(c.text), QString::fromUtf16(c.part), c.start, c.caseInsensitive),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextTest,
    ::testing::Values(FindCase{u"abcabc", u"bc", 1, false, 2}, FindCase{u"abcabc", u"bc", 0, false, 2},
                      FindCase{u"abcabc", u"bc", 3, false, 5}, FindCase{u"abcabc", u"bc", 6, false, -1},
                      FindCase{u"abc", u"bc", 99, false, -1}, FindCase{u"abc", u"bc", -5, false, 2},
                      FindCase{u"img_1.png", u"IMG", 1, false, -1},
                      FindCase{u"img_1.png", u"IMG", 1, true, 1},
                      FindCase{u"中文路径/图片.jpg", u"图片", 1, false, 6},
                      FindCase{u"abc", u"", 1, false, -1}, FindCase{u"", u"a", 1, false, -1}));

TEST(FindTextTest, TextsEndAtTheirFirstZeroUnit) {
  QString text = QStringLiteral("ab");
  text.append(QChar(u'\0')).append(u"cd");
  EXPECT_EQ(findText(text, QStringLiteral("cd")), -1);
}

struct SearchFixture : ::testing::Test {
  test::Sandbox box;
  EnumerationController lists;
  PictureSearch search{lists};
  QString searchBox;
  test::SignalRecorder<SearchListResult> replaced{&search, &PictureSearch::searchListReplaced};
  test::SignalRecorder<bool> modes{&search, &PictureSearch::searchModeChanged};

  void SetUp() override {
    box.write("Holiday/img_1.png");
    box.write("Holiday/img_2.jpg");
    box.write("work/IMG_3.jpg");
    search.setSearchTextSource([this] { return searchBox; });
    lists.openDropped({box.path()});
    ASSERT_TRUE(test::waitFor([this] { return !lists.isListing(); }));
    ASSERT_EQ(lists.pictureList().size(), 3);
    modes.clear();
  }
  SearchListResult lastResult() const { return replaced.last(); }
};

TEST_F(SearchFixture, MatchIsCaseSensitiveOverTheWholePath) {
  search.searchPictures(QStringLiteral("IMG"));
  EXPECT_EQ(search.searchList(), QStringList{box.filePath("work/IMG_3.jpg")});
  search.searchPictures(QStringLiteral("Holiday"));
  EXPECT_EQ(lastResult().matches, (QStringList{box.filePath("Holiday/img_1.png"),
                                               box.filePath("Holiday/img_2.jpg")}));  // PictureList order
  EXPECT_TRUE(search.searchMode());
  EXPECT_EQ(lastResult().itemSize, QSize(150, 300));
}

TEST_F(SearchFixture, NoMatchLeavesSearchModeWithAnEmptiedSearchList) {
  search.searchPictures(QStringLiteral("img"));
  ASSERT_TRUE(search.searchMode());
  search.searchPictures(QStringLiteral("nothing such"));
  EXPECT_FALSE(search.searchMode());
  EXPECT_TRUE(lastResult().matches.isEmpty());
  EXPECT_EQ(modes.last(), false);
  search.searchPictures(QString());
  EXPECT_FALSE(search.searchMode());
}

TEST_F(SearchFixture, EnterReleasedSearchesOtherKeysDoNothing) {
  searchBox = QStringLiteral("work");
  struct Key {
    Qt::Key key;
    bool searches;
  };
  for (const Key& key : {Key{Qt::Key_A, false}, Key{Qt::Key_Escape, false}, Key{Qt::Key_Return, true},
                         Key{Qt::Key_Enter, true}}) {
    const qsizetype before = replaced.size();
    search.onSearchKeyReleased(key.key);
    EXPECT_EQ(replaced.size() - before, key.searches ? 1 : 0) << key.key;
  }
  EXPECT_TRUE(search.searchMode());
}

TEST_F(SearchFixture, SearchButtonStartsASearchAndEndsTheOneShown) {
  searchBox = QStringLiteral("img");
  search.onSearchButtonClicked(0);
  EXPECT_TRUE(search.searchMode());
  EXPECT_EQ(search.searchList().size(), 2);
  search.onSearchButtonClicked(1);
  EXPECT_FALSE(search.searchMode());
  EXPECT_EQ(replaced.size(), 1);
}

TEST_F(SearchFixture, OpeningPicturesLeavesSearchModeButKeepsTheSearchList) {
  search.searchPictures(QStringLiteral("img"));
  lists.openDropped({box.filePath("work")});
  ASSERT_TRUE(test::waitFor([this] { return !search.searchMode(); }));
  EXPECT_EQ(search.searchList().size(), 2);
}

TEST_F(SearchFixture, SliderChangeFindingNothingRepeatsTheShownSearch) {
  searchBox = QStringLiteral("img");
  search.searchPictures(searchBox);
  const quint64 generation = search.generation();
  box.write("elsewhere/x.txt");
  lists.openDropped({box.filePath("elsewhere")});  // finds nothing: list and search stay
  ASSERT_TRUE(test::waitFor([this] { return !lists.isListing(); }));
  EXPECT_EQ(search.generation(), generation);
  lists.setIconSizeFromSlider(10);
  ASSERT_TRUE(test::waitFor([&] { return search.generation() != generation; }));
  EXPECT_EQ(lastResult().itemSize, QSize(200, 400));
  EXPECT_TRUE(search.searchMode());
}

// A long list is searched a slice per turn of the event loop, so the window answers meanwhile (a
// million entries took up to a quarter of a second in one turn); the end of search mode drops the
// search still running.
TEST(SearchSlicesTest, LongListIsSearchedOverSeveralTurns) {
  QStringList paths;
  for (qsizetype i = 0; i < 3 * PictureSearch::kSliceEntries + 7; ++i)
    paths.append(QStringLiteral("/p/d%1/%2.jpg").arg(i / 1000).arg(i));
  EnumerationController lists([paths](const QStringList&, const CancelFlag*, FoundCount*, const QString&,
                                      const FirstPictures&, WalkSummary*) { return paths; });
  lists.openPaths({QStringLiteral("/p")});
  ASSERT_TRUE(test::waitFor([&] { return !lists.isListing(); }));
  PictureSearch search(lists);
  test::SignalRecorder<SearchListResult> replaced{&search, &PictureSearch::searchListReplaced};
  search.searchPictures(QStringLiteral("7.jpg"));
  EXPECT_EQ(replaced.size(), 0) << "the whole list was searched in the turn that asked";
  EXPECT_TRUE(search.searching());
  ASSERT_TRUE(test::waitFor([&] { return replaced.size() == 1; }));
  EXPECT_EQ(replaced.last().matches, filterPictures(paths, QStringLiteral("7.jpg")));
  EXPECT_TRUE(search.searchMode());

  // The search button pressed while a search runs (as a new list does) drops it.
  search.searchPictures(QStringLiteral("1"));
  search.onSearchButtonClicked(1);
  EXPECT_FALSE(search.searching());
  for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents();
  EXPECT_EQ(replaced.size(), 1);
  EXPECT_FALSE(search.searchMode());
}

}  // namespace
}  // namespace pimrose
