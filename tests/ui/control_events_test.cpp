#include <atomic>
#include <functional>
#include <thread>

#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "support/wait_for.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/menu.h"
#include "ui/slow_motion.h"

namespace pimrose::ui {
namespace {

class ControlEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    window = loadWindow(mainWindowDefinition());
    window->show();
  }
  template <class T>
  T* get(const char* name) {
    return window->control<T>(QString::fromUtf8(name));
  }
  std::unique_ptr<Window> window;
};

TEST_F(ControlEvents, ButtonsReportPressAndClick) {
  auto* button = get<Button>("按钮_提示确定");
  QSignalSpy pressed(button, &Button::leftPressed);
  QSignalSpy clicked(button, &Button::clicked);
  QTest::mousePress(button, Qt::LeftButton);
  EXPECT_EQ(pressed.count(), 1);
  EXPECT_EQ(clicked.count(), 0);
  QTest::mouseRelease(button, Qt::LeftButton);
  EXPECT_EQ(clicked.count(), 1);

  // The settings button sits in the caption's corner: its press must not reach the window as a press
  // on the caption (a window move) or on the corner.
  auto* settings = get<ImageButton>("超级按钮_程序设置");
  QSignalSpy imageClicked(settings, &ImageButton::clicked);
  QSignalSpy windowPressed(window.get(), &Window::leftPressed);
  QSignalSpy cornerClicked(window->skin(), &WindowSkin::clickedAt);
  QTest::mouseClick(settings, Qt::LeftButton);
  EXPECT_EQ(imageClicked.count(), 1);
  EXPECT_EQ(windowPressed.count(), 0);
  EXPECT_EQ(cornerClicked.count(), 0);
}

// The about-to-change event sees the old state; the changed event the new one.
TEST_F(ControlEvents, CheckBoxRaisesAboutToToggleThenToggled) {
  get<Tabs>("选择夹_组件")->setCurrentPage(1);
  auto* box = get<CheckBox>("选择框_显示悬浮图标");
  std::vector<std::string> order;
  QObject::connect(box, &CheckBox::aboutToToggle, [&](bool next) {
    order.push_back(std::string("about:") + (next ? "1" : "0") + " was:" + (box->isChecked() ? "1" : "0"));
  });
  QObject::connect(box, &CheckBox::toggled,
                   [&](bool now) { order.push_back(std::string("toggled:") + (now ? "1" : "0")); });
  QTest::mouseClick(box, Qt::LeftButton);
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(order, (std::vector<std::string>{"about:1 was:0", "toggled:1", "about:0 was:1", "toggled:0"}));
  box->setChecked(true);  // a property write raises nothing
  EXPECT_EQ(order.size(), 4u);
}

TEST_F(ControlEvents, SliderReportsUserMovesButNotPropertyWrites) {
  auto* slider = get<Slider>("滑块条_图标大小");
  QSignalSpy moved(slider, &Slider::positionChanged);
  slider->setPosition(10);
  EXPECT_EQ(moved.count(), 0);
  slider->findChild<QSlider*>()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  ASSERT_EQ(moved.count(), 1);
  EXPECT_EQ(moved.at(0).at(0).toInt(), 11);
  slider->setPosition(9999);
  EXPECT_EQ(slider->position(), slider->maximum());
}

TEST_F(ControlEvents, EditBoxReportsKeyMessagesWithVirtualKeyCodes) {
  auto* search = get<EditBox>("编辑框_搜索");
  QSignalSpy keys(search, &EditBox::keyMessage);
  QSignalSpy released(search, &EditBox::keyReleased);
  QTest::keyClick(search->lineEdit(), Qt::Key_A);
  QTest::keyClick(search->lineEdit(), Qt::Key_Return);
  QTest::keyClick(search->lineEdit(), Qt::Key_F5);
  QTest::keyClick(search->lineEdit(), Qt::Key_Enter, Qt::KeypadModifier);
  ASSERT_EQ(released.count(), 4);
  EXPECT_EQ(released.at(1).at(0).value<Qt::Key>(), Qt::Key_Return);
  EXPECT_EQ(released.at(3).at(0).value<Qt::Key>(), Qt::Key_Enter);
  const std::vector<std::pair<int, int>> expected{{0x100, 65},  {0x101, 65},  {0x100, 13}, {0x101, 13},
                                                  {0x100, 116}, {0x101, 116}, {0x100, 13}, {0x101, 13}};
  ASSERT_EQ(keys.count(), static_cast<qsizetype>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(keys.at(i).at(0).toInt(), expected[i].first) << i;
    EXPECT_EQ(keys.at(i).at(1).toInt(), expected[i].second) << i;
  }
  EXPECT_EQ(search->text(), QStringLiteral("a"));
}

TEST_F(ControlEvents, ComboBoxListsAndSelection) {
  auto* hotkeys = get<ComboBox>("下拉框_热键");
  QSignalSpy changed(hotkeys, &ComboBox::currentIndexChanged);
  hotkeys->setCurrentIndex(4);
  hotkeys->setCurrentText(QStringLiteral("F9"));
  EXPECT_EQ(hotkeys->currentIndex(), 8);
  hotkeys->setCurrentText(QStringLiteral("no such key"));
  EXPECT_EQ(hotkeys->currentIndex(), 8);
  EXPECT_EQ(changed.count(), 0);
  hotkeys->clear();
  EXPECT_EQ(hotkeys->insertItem(QStringLiteral("b"), 7), 0);
  EXPECT_EQ(hotkeys->insertItem(QStringLiteral("a"), 3, 0), 0);
  EXPECT_EQ(hotkeys->itemTitle(1), QStringLiteral("b"));
  EXPECT_EQ(hotkeys->itemValue(1), 7);
  EXPECT_EQ(hotkeys->itemTitle(5), QString());
  hotkeys->deleteItem(9);  // out of range: ignored
  EXPECT_EQ(hotkeys->itemCount(), 2);
}

// A list on a page not yet shown keeps its items itself and makes its Qt box when first shown: the
// same steps must leave both kinds in the same state, and the box made later must take that state.
TEST_F(ControlEvents, ComboBoxKeptBeforeShownMatchesTheShownBox) {
  get<Tabs>("选择夹_组件")->setCurrentPage(1);
  auto* shown = get<ComboBox>("下拉框_热键");
  ASSERT_TRUE(shown->built());
  get<Tabs>("选择夹_组件")->setCurrentPage(0);
  auto* unshown = qobject_cast<ComboBox*>(window->copyControl(QStringLiteral("下拉框_热键")));
  ASSERT_FALSE(unshown->built());
  const std::vector<std::function<void(ComboBox*)>> steps = {
      [](ComboBox* c) { c->setCurrentIndex(4); },
      [](ComboBox* c) { c->insertItem(QStringLiteral("a"), 30, 2); },  // before the selection
      [](ComboBox* c) { c->insertItem(QStringLiteral("b"), 31, 9); },  // after it
      [](ComboBox* c) { c->deleteItem(0); },                           // before it
      [](ComboBox* c) { c->deleteItem(c->currentIndex()); },           // the selected one
      [](ComboBox* c) { c->setCurrentIndex(c->itemCount() - 1); },
      [](ComboBox* c) { c->deleteItem(c->currentIndex()); },  // the selected last one
      [](ComboBox* c) { c->setCurrentText(QStringLiteral("F9")); },
      [](ComboBox* c) { c->setCurrentText(QStringLiteral("no such key")); },
      [](ComboBox* c) { c->setCurrentIndex(99); },                     // selects nothing
      [](ComboBox* c) { c->insertItem(QStringLiteral("c"), 32, 0); },  // nothing selected stays so
      [](ComboBox* c) { c->clear(); },
      [](ComboBox* c) { c->insertItem(QStringLiteral("d"), 33); },  // first into an empty list
      [](ComboBox* c) { c->insertItem(QStringLiteral("e"), 34, 0); },
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    steps[i](shown);
    steps[i](unshown);
    ASSERT_EQ(unshown->itemCount(), shown->itemCount()) << "step " << i;
    for (int item = 0; item < shown->itemCount(); ++item) {
      EXPECT_EQ(unshown->itemTitle(item), shown->itemTitle(item)) << "step " << i;
      EXPECT_EQ(unshown->itemValue(item), shown->itemValue(item)) << "step " << i;
    }
    EXPECT_EQ(unshown->currentIndex(), shown->currentIndex()) << "step " << i;
    EXPECT_EQ(unshown->currentText(), shown->currentText()) << "step " << i;
  }
  EXPECT_FALSE(unshown->built());
  get<Tabs>("选择夹_组件")->setCurrentPage(1);
  ASSERT_TRUE(unshown->built());
  EXPECT_EQ(unshown->currentText(), QStringLiteral("d"));
  EXPECT_EQ(unshown->itemTitle(0), QStringLiteral("e"));
  EXPECT_EQ(unshown->itemValue(1), 33);
  unshown->deleteLater();
}

TEST_F(ControlEvents, TabsSwitchPagesAndReportUserChanges) {
  auto* tabs = get<Tabs>("选择夹_设置");
  get<Tabs>("选择夹_组件")->setCurrentPage(1);
  QSignalSpy changed(tabs, &Tabs::pageChanged);
  tabs->setCurrentPage(1);
  EXPECT_TRUE(get<PictureBox>("图片框背景_关于")->isVisible());
  EXPECT_FALSE(get<PictureBox>("图片框背景_设置")->isVisible());
  tabs->setCurrentPage(7);
  EXPECT_EQ(tabs->currentPage(), 1);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(tabs->tabCount(), 2);
}

TEST_F(ControlEvents, PictureBoxGestures) {
  auto* picture = get<PictureBox>("图片框_图片文件");
  get<WindowSkin>("组件_图片背景")->show();
  picture->setGeometry(0, 0, 200, 200);
  QSignalSpy left(picture, &PictureBox::leftPressed);
  QSignalSpy right(picture, &PictureBox::rightPressed);
  QSignalSpy toggle(picture, &PictureBox::sizeToggleGesture);
  QTest::mousePress(picture, Qt::LeftButton);
  QTest::mouseRelease(picture, Qt::LeftButton);
  QTest::mousePress(picture, Qt::RightButton);
  QTest::mouseDClick(picture, Qt::LeftButton);
  EXPECT_EQ(left.count(), 1);
  EXPECT_EQ(right.count(), 1);
  EXPECT_EQ(toggle.count(), 1);
  picture->setImageData(QByteArray("not a picture"));
  EXPECT_TRUE(picture->image().isNull());
  EXPECT_EQ(picture->imageData(), QByteArray("not a picture"));
}

TEST_F(ControlEvents, CloseRequestCanBeRefused) {
  int asked = 0;
  window->setCloseHandler([&asked] { return ++asked > 1; });
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(asked, 2);
}

TEST_F(ControlEvents, CaptionButtonsAndClicksOnTheWindowReachTheSkinControl) {
  QSignalSpy buttons(window->skin(), &WindowSkin::captionButtonPressed);
  QSignalSpy clicks(window->skin(), &WindowSkin::clickedAt);
  QWidget* close = window->childAt(window->width() - 10, 10);
  ASSERT_NE(close, nullptr);
  QTest::mouseClick(close, Qt::LeftButton, {},
                    close->mapFrom(window.get(), QPoint(window->width() - 10, 10)));
  ASSERT_EQ(buttons.count(), 1);
  EXPECT_EQ(buttons.at(0).at(0).value<CaptionButton>(), CaptionButton::Close);
  QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(3, 36));
  ASSERT_EQ(clicks.count(), 1);
  EXPECT_EQ(clicks.at(0).at(0).toPoint(), QPoint(3, 36));
}

TEST(MessageLabel, DeliversFromOtherThreadsOnTheUiThread) {
  const std::unique_ptr<Window> main = loadWindow(mainWindowDefinition());
  auto* feedback = main->control<MessageLabel>(QStringLiteral("标签_反馈"));
  std::vector<int> codes;
  bool onUiThread = true;
  QObject::connect(feedback, &MessageLabel::messageArrived, [&](int code, const QVariant& payload) {
    onUiThread = onUiThread && QThread::currentThread() == qApp->thread();
    codes.push_back(code * 100 + payload.toInt());
  });
  std::thread poster([feedback] {
    feedback->post(1, 5);
    feedback->send(2, 7);  // returns once the UI thread has handled it
  });
  EXPECT_TRUE(test::waitFor([&] { return codes.size() == 2; }));
  poster.join();
  EXPECT_TRUE(onUiThread);
  EXPECT_EQ(codes, (std::vector<int>{105, 207}));
}

// A UI thread that joins a sending worker without serving events must not hang: stopping the label's
// sends releases the worker.
TEST(MessageLabel, StoppingSendsReleasesAWaitingWorker) {
  const std::unique_ptr<Window> main = loadWindow(mainWindowDefinition());
  auto* feedback = main->control<MessageLabel>(QStringLiteral("标签_反馈"));
  int delivered = 0;
  QObject::connect(feedback, &MessageLabel::messageArrived, [&](int, const QVariant&) { ++delivered; });
  std::atomic<bool> sending = false;
  std::thread sender([&] {
    sending = true;
    feedback->send(3, 0);
    feedback->send(4, 0);  // after the stop: returns without waiting
  });
  while (!sending) std::this_thread::yield();
  feedback->stopSending();
  sender.join();
  EXPECT_EQ(delivered, 0);
  QCoreApplication::processEvents();
  EXPECT_LE(delivered, 1);  // the first may still be handled after the stop
}

// A timer picks the item while the menu waits, as a user would.
TEST(Menu, PopUpAnswersTheChosenItemOrNothing) {
  Menu menu(0);
  for (const char* title : {"访问目录", "打开文件", "置剪贴板"}) menu.insertItem(QString::fromUtf8(title));
  EXPECT_EQ(menu.itemTitle(2), QStringLiteral("置剪贴板"));
  QTimer::singleShot(50, [&] { menu.choose(1); });
  EXPECT_EQ(menu.popUp(QPoint(100, 100)), std::optional<int>(1));
  QTimer::singleShot(50, [&] { menu.dismiss(); });
  EXPECT_EQ(menu.popUp(QPoint(100, 100)), std::nullopt);

  QSignalSpy chosen(&menu, &Menu::itemChosen);
  menu.popUpLater(QPoint(10, 10));
  EXPECT_TRUE(menu.isShown());
  menu.choose(2);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen.at(0).at(0).toInt(), 2);
}

// Counts the pixels of one row band that are close to a colour (text is anti-aliased).
int pixelsNear(const QImage& image, int top, int bottom, QColor colour) {
  int count = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
              std::abs(pixel.blue() - colour.blue()) <
          60)
        ++count;
    }
  return count;
}

// Each item keeps its own text colour: a later item's colour does not repaint the earlier ones.
TEST(Menu, ItemsKeepTheirOwnTextColour) {
  Menu menu(0);
  menu.insertItem(QStringLiteral("访问目录访问目录"), 160, 24, QColor(Qt::red));
  menu.insertItem(QStringLiteral("打开文件打开文件"), 160, 24, QColor(Qt::blue));
  menu.widget()->adjustSize();
  const QImage image = menu.widget()->grab().toImage();
  const int middle = image.height() / 2;
  EXPECT_GT(pixelsNear(image, 0, middle, Qt::red), 10);
  EXPECT_EQ(pixelsNear(image, 0, middle, Qt::blue), 0);
  EXPECT_GT(pixelsNear(image, middle, image.height(), Qt::blue), 10);
  EXPECT_EQ(pixelsNear(image, middle, image.height(), Qt::red), 0);
  EXPECT_GE(image.height(), 2 * 24);
}

TEST(SlowMotion, StepsAbout25MsApartAndEndsExactlyAtTheTarget) {
  QObject context;
  std::vector<std::pair<SlowMotionPhase, int>> seen;
  SlowMotion::start(&context, 10, 110, 250,
                    [&](SlowMotionPhase phase, int value) { seen.emplace_back(phase, value); });
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(test::waitFor([&] { return !seen.empty() && seen.back().first == SlowMotionPhase::Finished; }));
  EXPECT_GE(clock.elapsed(), 200);
  EXPECT_EQ(seen.front(), std::make_pair(SlowMotionPhase::Started, 10));
  std::vector<int> steps;
  for (const auto& [phase, value] : seen)
    if (phase == SlowMotionPhase::Step) steps.push_back(value);
  ASSERT_EQ(steps.size(), 10u);
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
  EXPECT_EQ(steps.back(), 110);
  EXPECT_EQ(seen.back().second, 110);
}

TEST(SlowMotion, StopsWithItsContext) {
  int calls = 0;
  {
    QObject context;
    SlowMotion::start(&context, 0, 100, 1000, [&](SlowMotionPhase, int) { ++calls; });
  }
  const int afterStart = calls;
  QTest::qWait(80);
  EXPECT_EQ(calls, afterStart);
}

TEST(TextMeasuring, WiderTextsMeasureWiderAndWrapAtTheLimit) {
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(13);
  const QSize one = measureText(QStringLiteral("完成"), font);
  const QSize two = measureText(QStringLiteral("完成完成"), font);
  EXPECT_GT(two.width(), one.width());
  EXPECT_GT(one.height(), 0);
  const QSize wrapped = measureText(QString(60, QChar(0x5b8c)), font, 150);
  EXPECT_LE(wrapped.width(), 150);
  EXPECT_GT(wrapped.height(), one.height() * 3);
}

// Each row keeps the height it was appended with, whether or not it matches the rows before it, and
// removing rows from the top leaves the heights of the rest alone.
TEST(ReportListRows, EachRowKeepsItsOwnHeight) {
  const std::unique_ptr<Window> window = loadWindow(logWindowDefinition());
  auto* list = window->control<ReportList>(QStringLiteral("超级列表框_日志"));
  list->insertColumn(QStringLiteral("内容"), 100);
  const int heights[] = {30, 30, 45, 30, 24};
  for (const int height : heights) list->insertItem(height);
  for (int row = 0; row < 5; ++row) EXPECT_EQ(list->table()->rowHeight(row), heights[row]) << row;
  list->removeItems(0, 2);
  EXPECT_EQ(list->table()->rowHeight(0), 45);
  EXPECT_EQ(list->table()->rowHeight(2), 24);
}

}  // namespace
}  // namespace pimrose::ui
