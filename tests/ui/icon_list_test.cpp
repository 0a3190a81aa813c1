#include <map>

#include <QListView>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "support/drawn_pixels.h"
#include "support/wait_for.h"
#include "ui/controls.h"
#include "ui/icon_list_delegate.h"
#include "ui/icon_list_model.h"

namespace pimrose::ui {
namespace {

constexpr IconList::IconQuestion kNeeds = IconList::IconQuestion::NeedsIcon;
constexpr IconList::IconQuestion kStill = IconList::IconQuestion::StillMissing;

struct Call {
  int index;
  IconList::IconQuestion question;
  bool operator==(const Call&) const = default;
};

class PaintCounter : public QObject {
 public:
  int paints = 0;
  QRect lastPainted;
  QRegion painted;  // everything painted since it was installed

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    ++paints;
    lastPainted = static_cast<QPaintEvent*>(event)->rect();
    painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

// A shown list of items 100 px wide, with a callback that records every call and answers from
// a table (default: "on its way").
class IconListProtocol : public ::testing::Test {
 protected:
  void SetUp() override {
    window = loadWindow(mainWindowDefinition());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    list = window->control<IconList>(QStringLiteral("图标列表框_文件"));
    list->setIconWidth(100);
    list->setIconHeight(200);
    list->setItemCallback([this](IconList::IconQuestion question, int index) {
      calls.push_back({index, question});
      const auto answer = answers.find(index);
      return question == IconList::IconQuestion::StillMissing && answer != answers.end()
                 ? answer->second
                 : IconList::IconAnswer::OnItsWay;
    });
  }
  // Paints the list now and serves the queued callback calls.
  void paintAndServe() {
    list->view()->doItemsLayout();
    list->view()->viewport()->repaint();
    QCoreApplication::sendPostedEvents(list);
  }
  std::vector<Call> callsFor(int index) const {
    std::vector<Call> found;
    for (const Call& call : calls)
      if (call.index == index) found.push_back(call);
    return found;
  }

  std::unique_ptr<Window> window;
  IconList* list = nullptr;
  std::vector<Call> calls;
  std::map<int, IconList::IconAnswer> answers;
};

TEST_F(IconListProtocol, AsksOnceThenOnlyChecksWhileTheIconIsOnItsWay) {
  list->resetItems(20);
  paintAndServe();
  const auto [first, last] = list->visibleRange();
  ASSERT_EQ(first, 0);
  ASSERT_GT(last, 3);
  EXPECT_EQ(callsFor(0), (std::vector<Call>{{0, kNeeds}}));
  EXPECT_EQ(callsFor(last), (std::vector<Call>{{last, kNeeds}}));
  calls.clear();
  paintAndServe();
  EXPECT_EQ(callsFor(0), (std::vector<Call>{{0, kStill}}));
  EXPECT_EQ(callsFor(19).size(), last >= 19 ? 1u : 0u);
}

TEST_F(IconListProtocol, TheShownRangeFollowsTheLayoutWhateverWasLastPainted) {
  list->resetItems(300);
  paintAndServe();
  const auto whole = list->visibleRange();
  ASSERT_EQ(whole.first, 0);
  ASSERT_GT(whole.second, 3);
  int columns = 1;
  while (list->view()->visualRect(list->model()->index(columns)).top() ==
         list->view()->visualRect(list->model()->index(0)).top())
    ++columns;
  const int rowHeight = list->cellSize().height();

  // One thumbnail arriving repaints its own cell only.
  QImage icon(100, 75, QImage::Format_RGB32);
  icon.fill(Qt::red);
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();  // what the layout still had to paint
  PaintCounter counter;
  list->view()->viewport()->installEventFilter(&counter);
  list->setItemIcon(1, icon);
  ASSERT_TRUE(test::waitFor([&] { return counter.paints > 0; }));
  ASSERT_EQ(counter.lastPainted, list->view()->visualRect(list->model()->index(1)));
  EXPECT_EQ(list->visibleRange(), whole);

  // Less than a row further down, only the uncovered rows are painted; the first row still shows.
  list->view()->verticalScrollBar()->setValue(rowHeight / 2);
  ASSERT_TRUE(test::waitFor([&] { return counter.paints > 1; }));
  EXPECT_EQ(list->visibleRange().first, 0);
  EXPECT_GE(list->visibleRange().second, whole.second);

  list->view()->verticalScrollBar()->setValue(3 * rowHeight);
  paintAndServe();
  EXPECT_EQ(list->visibleRange().first, 3 * columns);

  list->hide();
  EXPECT_EQ(list->visibleRange(), std::make_pair(-1, -1));
}

TEST_F(IconListProtocol, ReleasedIconIsAskedForAgainOnce) {
  list->resetItems(20);
  paintAndServe();
  QImage icon(100, 75, QImage::Format_RGB32);
  icon.fill(Qt::red);
  list->setItemIcon(2, icon);
  list->setItemSize(2, 75);
  calls.clear();
  paintAndServe();
  EXPECT_TRUE(callsFor(2).empty());  // has its icon: nothing to ask

  list->setItemIcon(2, QImage());  // released
  EXPECT_FALSE(list->itemHasIcon(2));
  answers[2] = IconList::IconAnswer::Released;
  calls.clear();
  paintAndServe();
  EXPECT_EQ(callsFor(2), (std::vector<Call>{{2, kStill}, {2, kNeeds}}));
  answers[2] = IconList::IconAnswer::OnItsWay;
  calls.clear();
  paintAndServe();
  EXPECT_EQ(callsFor(2), (std::vector<Call>{{2, kStill}}));
}

// Icons come in the loader's compact forms and are kept as they come (neither copied nor widened to
// the screen's four bytes a pixel), so the list must paint each form itself.
TEST_F(IconListProtocol, IconsAreKeptAsTheyComeAndPaintedInEveryForm) {
  const QColor colour(200, 40, 10);
  for (const QImage::Format format : {QImage::Format_RGB888, QImage::Format_ARGB32_Premultiplied}) {
    list->resetItems(4);
    QImage icon(100, 75, format);
    icon.fill(colour);
    list->setItemIcon(1, icon);
    list->setItemSize(1, 75);
    EXPECT_EQ(list->model()->icon(1).constBits(), icon.constBits()) << format;
    paintAndServe();
    const QImage shot = list->view()->viewport()->grab().toImage();
    int painted = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) painted += shot.pixelColor(x, y) == colour;
    EXPECT_GE(painted, 100 * 75 * 9 / 10) << format;
  }
}

TEST_F(IconListProtocol, ResettingTheItemsClearsEveryMark) {
  list->resetItems(20);
  paintAndServe();
  calls.clear();
  list->resetItems(20);
  paintAndServe();
  EXPECT_EQ(callsFor(0), (std::vector<Call>{{0, kNeeds}}));
  EXPECT_EQ(callsFor(1), (std::vector<Call>{{1, kNeeds}}));
}

TEST_F(IconListProtocol, ResettingWithPathsCarriesThemAndClearsIconsAndMarks) {
  list->resetItems(QStringList{QStringLiteral("/a.jpg"), QStringLiteral("/b.png")});
  paintAndServe();
  list->setItemIcon(0, QImage(10, 10, QImage::Format_RGB32));
  calls.clear();
  list->resetItems(QStringList{QStringLiteral("/c.gif"), QStringLiteral("/d.jpg"), QStringLiteral("/e.png")});
  EXPECT_EQ(list->itemCount(), 3);
  EXPECT_EQ(list->itemPath(2), u"/e.png");
  EXPECT_FALSE(list->itemHasIcon(0));
  paintAndServe();
  EXPECT_EQ(callsFor(0), (std::vector<Call>{{0, kNeeds}}));
}

// A callback that empties the list while serving must not be asked about the old items.
TEST_F(IconListProtocol, CallbackThatResetsTheListStopsTheRound) {
  list->resetItems(20);
  list->setItemCallback([this](IconList::IconQuestion, int index) {
    calls.push_back({index, kNeeds});
    list->resetItems(0);
    return IconList::IconAnswer::OnItsWay;
  });
  paintAndServe();
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_EQ(list->itemCount(), 0);
}

TEST_F(IconListProtocol, HundredThousandItemsLoadAtOnceAndOnlyShownOnesAreAsked) {
  list->resetItems(100000);
  paintAndServe();
  EXPECT_GT(calls.size(), 3u);
  EXPECT_LT(calls.size(), 200u);
  list->guaranteeVisible(99999);
  calls.clear();
  paintAndServe();
  EXPECT_EQ(list->visibleRange().second, 99999);
  EXPECT_FALSE(callsFor(99999).empty());
}

TEST_F(IconListProtocol, CurrentIndexOutOfRangeReadsBackMinusOne) {
  list->resetItems(5);
  list->setCurrentIndex(4);
  EXPECT_EQ(list->currentIndex(), 4);
  list->setCurrentIndex(5);
  EXPECT_EQ(list->currentIndex(), -1);
  list->setCurrentIndex(-1);
  EXPECT_EQ(list->currentIndex(), -1);
  list->setItemIcon(9, QImage(4, 4, QImage::Format_RGB32));  // ignored, no crash
  list->setItemSize(-3, 10);
  EXPECT_EQ(list->itemSize(-3), 0);
}

TEST_F(IconListProtocol, ItemEventsCarryTheIndex) {
  list->resetItems(6);
  QSignalSpy clicked(list, &IconList::itemClicked);
  QSignalSpy doubleClicked(list, &IconList::itemDoubleClicked);
  QSignalSpy menu(list, &IconList::itemMenuRequested);
  QListView* view = list->view();
  const QPoint third = view->visualRect(list->model()->index(2)).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, third);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, third);
  Q_EMIT view->customContextMenuRequested(third);
  ASSERT_GE(clicked.count(), 1);
  EXPECT_EQ(clicked.at(0).at(0).toInt(), 2);
  ASSERT_EQ(doubleClicked.count(), 1);
  EXPECT_EQ(doubleClicked.at(0).at(0).toInt(), 2);
  ASSERT_EQ(menu.count(), 1);
  EXPECT_EQ(menu.at(0).at(0).toInt(), 2);
}

// Arrows, Home/End and the page keys move the current item through the grid as the cells lie;
// Enter opens it; a key that moves it tells the program which item it reached.
TEST_F(IconListProtocol, TheKeyboardMovesTheCurrentItemAndEnterOpensIt) {
  list->resetItems(60);
  paintAndServe();
  QListView* view = list->view();
  const int columns = view->viewport()->width() / list->cellSize().width();
  const int rowsShown = view->viewport()->height() / list->cellSize().height();
  ASSERT_GT(columns, 2);
  ASSERT_GT(60, columns * (rowsShown + 1)) << "more than a page of items";
  view->setFocus();
  list->setCurrentIndex(0);
  QSignalSpy moved(list, &IconList::currentItemMoved);
  QSignalSpy opened(list, &IconList::itemActivated);
  const struct {
    Qt::Key key;
    int current;
  } presses[] = {{Qt::Key_Right, 1}, {Qt::Key_Down, 1 + columns}, {Qt::Key_Left, columns}, {Qt::Key_Up, 0},
                 {Qt::Key_End, 59},  {Qt::Key_Home, 0},           {Qt::Key_Left, 0}};
  for (const auto& press : presses) {
    QTest::keyClick(view, press.key);
    EXPECT_EQ(list->currentIndex(), press.current) << press.key;
  }
  EXPECT_EQ(moved.count(), 6) << "the last Left stayed on the first item";
  EXPECT_EQ(moved.last().at(0).toInt(), 0);
  QTest::keyClick(view, Qt::Key_PageDown);
  const int pageDown = list->currentIndex();
  EXPECT_GE(pageDown, columns * (rowsShown - 1)) << "about a page of rows further";
  EXPECT_EQ(pageDown % columns, 0) << "in the same column";
  QTest::keyClick(view, Qt::Key_PageUp);
  EXPECT_EQ(list->currentIndex(), 0);
  QTest::keyClick(view, Qt::Key_Right);
  QTest::keyClick(view, Qt::Key_Return);
  QTest::keyClick(view, Qt::Key_Enter, Qt::KeypadModifier);
  ASSERT_EQ(opened.count(), 2);
  EXPECT_EQ(opened.at(0).at(0).toInt(), 1);
  EXPECT_EQ(opened.at(1).at(0).toInt(), 1);

  // The current item stands out in both skins: its cell is framed in the accent colour.
  for (int skin : {0, 1}) {
    SCOPED_TRACE(skin);
    applySkin(*window, skin);
    const QImage drawn = view->viewport()->grab().toImage();
    const auto framed = [&](int index) {
      const QRect cell = view->visualRect(list->model()->index(index));
      return test::pixelsNear(drawn.copy(cell), list->colours().accent, 40);
    };
    EXPECT_GT(framed(1), 100);
    EXPECT_EQ(framed(2), 0);
  }
}

// Icons set while the list is locked appear together at the unlock, none lost.
TEST_F(IconListProtocol, LockedChangesRepaintOnceAtUnlock) {
  list->resetItems(6);
  paintAndServe();
  PaintCounter counter;
  list->view()->viewport()->installEventFilter(&counter);
  list->lockUpdate();
  list->lockUpdate();  // nested
  for (int i = 0; i < 3; ++i) {
    QImage icon(100, 75, QImage::Format_RGB32);
    icon.fill(QColor::fromHsv(i * 100, 255, 255));
    list->setItemIcon(i, icon);
  }
  // Whatever the changes asked for is served now: a repaint they scheduled would happen here.
  const auto serveWhatWaits = [] {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  };
  serveWhatWaits();
  EXPECT_EQ(counter.paints, 0);
  list->unlockUpdate();
  serveWhatWaits();
  EXPECT_EQ(counter.paints, 0);
  list->unlockUpdate();
  EXPECT_TRUE(test::waitFor([&] { return counter.paints > 0; }, 2000));
  const QImage shown = list->grab().toImage();
  for (int i = 0; i < 3; ++i) {
    const QPoint centre = list->view()->visualRect(list->model()->index(i)).center() - QPoint(0, 11);
    EXPECT_EQ(shown.pixelColor(centre).hue() / 10, QColor::fromHsv(i * 100, 255, 255).hue() / 10) << i;
  }
  list->unlockUpdate();  // an unlock too many changes nothing
  EXPECT_FALSE(list->updatesLocked());
}

// Icons arriving one after another are repainted a frame's worth at a time, none left out.
TEST_F(IconListProtocol, IconsArrivingInABurstAreAllRepainted) {
  list->resetItems(6);
  paintAndServe();
  PaintCounter counter;
  list->view()->viewport()->installEventFilter(&counter);
  QImage icon(100, 75, QImage::Format_RGB32);
  icon.fill(Qt::red);
  for (int i = 0; i < 6; ++i) list->setItemIcon(i, icon);
  for (int i = 0; i < 6; ++i) {
    const QRect cell = list->view()->visualRect(list->model()->index(i));
    EXPECT_TRUE(test::waitFor([&] { return counter.painted.contains(cell); }, 2000)) << i;
  }
}

// Cells start square and grow to the tallest thumbnail (at most the icon height), so a portrait
// thumbnail shows at the size it was made; a new list starts square again.
TEST_F(IconListProtocol, CellsGrowToTheTallestThumbnailUpToTheIconHeight) {
  list->resetItems(100000);
  const QSize square = list->cellSize();
  const struct {
    int height;
    int areaHeight;
  } steps[] = {{75, 100}, {133, 133}, {120, 133}, {400, 200}};
  for (const auto& step : steps) {
    list->setItemSize(1, step.height);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->cellSize().height() - square.height(), step.areaHeight - 100) << step.height;
    EXPECT_EQ(list->view()->gridSize(), list->cellSize()) << step.height;
  }
  list->resetItems(100000);
  paintAndServe();
  EXPECT_EQ(list->cellSize(), square);
}

struct TargetCase {
  const char* what;
  QRect area;
  QSize icon;
  int itemHeight;
  QRect expected;
};

TEST(IconTarget, ThumbnailShowsAtItsMadeSizeWhenItFits) {
  const TargetCase cases[] = {
      {"portrait 3000x4000 at 150", {0, 0, 150, 200}, {150, 200}, 200, {0, 0, 150, 200}},
      {"landscape centred", {10, 20, 150, 200}, {150, 100}, 100, {10, 70, 150, 100}},
      {"taller than 2:1 scaled into the area", {0, 0, 150, 300}, {150, 400}, 400, {19, 0, 112, 300}},
      {"unknown height takes the icon's proportions", {0, 0, 150, 200}, {300, 400}, 0, {0, 0, 150, 200}},
      // Long pictures keep their shape inside icon width x item height, never stretched to the width.
      {"1080x5000 screenshot: a narrow upright strip", {0, 0, 270, 540}, {116, 540}, 540, {77, 0, 116, 540}},
      {"the same at two device pixels a layout pixel", {0, 0, 270, 540}, {232, 1080}, 540, {77, 0, 116, 540}},
      {"1x10000 strip: a thin line", {0, 0, 270, 540}, {1, 540}, 540, {134, 0, 1, 540}},
      {"10000x1 strip: a line across", {0, 0, 270, 270}, {270, 1}, 1, {0, 134, 270, 1}},
      {"a strip in a shorter cell stays at least a pixel wide",
       {0, 0, 270, 100},
       {1, 540},
       540,
       {134, 0, 1, 100}},
  };
  for (const TargetCase& c : cases)
    EXPECT_EQ(IconListDelegate::iconTarget(c.area, c.icon, c.itemHeight), c.expected) << c.what;
}

}  // namespace
}  // namespace pimrose::ui
