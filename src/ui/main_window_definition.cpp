#include <algorithm>

#include "ui/main_window_metrics.h"
#include "ui/window_definition.h"

namespace pimrose::ui {
namespace {

using C = ControlClass;

// The controls in definition order: creation order and initial stacking order among siblings.
std::vector<ControlDefinition> mainControls() {
  const QString settingsPage = QStringLiteral("图片框背景_设置");
  const QString aboutPage = QStringLiteral("图片框背景_关于");
  const QString prompt = QStringLiteral("图片框_提示");
  const QString status = QStringLiteral("组件_状态提示");
  const QString pages = QStringLiteral("选择夹_组件");
  return {
      {"选择框_双击查看图片", C::ChoiceboxEx, {8, 336, 134, 32}, settingsPage, {.text = "双击查看图片"}},
      {"按钮_关闭",
       C::ButtonEx,
       {1118, 1, 80, 32},
       "图片框_图片容器",
       {.text = "返回", .skin = "默认皮肤按钮"}},
      {"标签_使用提示",
       C::LabelEx,
       {0, 275, 400, 64},
       "图片框_logo居中",
       {.text = "拖入文件夹开始看图",
        .font = "黑体",
        .fontPixels = 18,
        .hidden = true,
        .centred = true,
        .muted = true}},
      {"选择框_内置看图", C::ChoiceboxEx, {176, 280, 136, 32}, settingsPage, {.text = "内置看图"}},
      {"时钟_拖放路径", C::Timer, {}, {}, {.interval = 50}},
      {"组件_图片背景",
       C::WindowEx,
       {704, 400, 357, 216},
       {},
       {.hidden = true, .surface = Surface::Viewer, .raiseWhenShown = true}},
      {"图片框_图片文件", C::PictureBoxEx, {392, 176, 96, 88}, "图片框_图片容器"},
      {"图片框_图片容器", C::PictureBoxEx, {-523, 117, 168, 176}, "组件_图片背景"},
      {"标签_提示文本", C::EditboxEx, {30, 0, 184, 28}, status, {.readOnly = true}},
      {"图片框_logo居中",
       C::PictureBoxEx,
       {535, 255, 128, 128},
       pages,
       {.image = ":/pimrose/logo.png", .imageSize = {128, 128}}},
      {"滑块条_图标大小",
       C::SliderbarEx,
       {1186, 12, 150, 16},
       status,
       {.skin = "默认皮肤_滑块条", .minimum = 0, .maximum = 50, .value = kIconSliderDefault}},
      {"选择框_快速加载", C::ChoiceboxEx, {176, 224, 136, 32}, settingsPage, {.text = "快速加载"}},
      {"选择框_智能释放内存", C::ChoiceboxEx, {8, 280, 136, 32}, settingsPage, {.text = "智能释放内存"}},
      // Thumbnails shared with the desktop's other programs; on unless the user turns it off.
      {"选择框_缩略图缓存",
       C::ChoiceboxEx,
       {176, 336, 136, 32},
       settingsPage,
       {.text = "缩略图缓存", .checked = true}},
      {"编辑框_搜索", C::EditboxEx, {133, 3, 184, 28}, {}, {.placeholder = "搜索文件名"}},
      {"超级按钮_搜索", C::SuperbuttonEx, {156, 4, 20, 20}, "编辑框_搜索", {.glyph = Glyph::Search}},
      {"图标列表框_文件", C::IcoListboxEx, {472, -8, 128, 128}, pages},
      {"按钮_保存配置",
       C::ButtonEx,
       {9, 406, 80, 32},
       settingsPage,
       {.text = "保存配置", .font = "微软雅黑"}},
      {"选择框_关闭提示", C::ChoiceboxEx, {177, 174, 134, 32}, settingsPage, {.text = "关闭提示"}},
      {"选择框_开机启动", C::ChoiceboxEx, {176, 118, 134, 32}, settingsPage, {.text = "开机启动"}},
      {"选择框_最小化到托盘", C::ChoiceboxEx, {8, 230, 134, 32}, settingsPage, {.text = "最小化到托盘"}},
      {"选择框_显示悬浮图标", C::ChoiceboxEx, {9, 174, 136, 32}, settingsPage, {.text = "显示悬浮图标"}},
      {"选择框_最大化不遮任务栏",
       C::ChoiceboxEx,
       {9, 118, 184, 32},
       settingsPage,
       {.text = "最大化不遮任务栏"}},
      {"选择框_程序皮肤颜色", C::ChoiceboxEx, {9, 63, 128, 32}, settingsPage, {.text = "程序皮肤颜色"}},
      {"下拉框_皮肤", C::ComboboxEx, {136, 62, 105, 32}, settingsPage, {.items = {"黑色", "白色"}}},
      {"下拉框_热键",
       C::ComboboxEx,
       {136, 8, 105, 32},
       settingsPage,
       {.items = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"}}},
      {"选择框_呼出窗口热键", C::ChoiceboxEx, {9, 7, 128, 32}, settingsPage, {.text = "呼出窗口热键"}},
      {"图片框背景_设置", C::PictureBoxEx, {399, 60, 400, 578}, "选择夹_设置", {.page = 0}},
      {"标签_声明内容",
       C::LabelEx,
       {8, 152, 286, 184},
       aboutPage,
       {.text = "Pimrose 是一个免费的看图工具，按现状提供，不附带任何明示或暗示的担保。"
                "它只读取您拖入的文件夹中的图片，不修改、不上传任何文件。"
                "使用本软件所产生的一切后果由使用者自行承担。",
        .wordWrap = true,
        .muted = true}},
      {"标签_关于声明", C::LabelEx, {8, 112, 198, 26}, aboutPage, {.text = "免责申明", .fontPixels = 15}},
      {"标签_当前版本", C::LabelEx, {8, 58, 126, 26}, aboutPage, {.text = "当前版本:"}},
      {"标签_关于", C::LabelEx, {8, 8, 320, 26}, aboutPage, {.text = "Pimrose 看图", .fontPixels = 18}},
      {"图片框背景_关于", C::PictureBoxEx, {399, 0, 400, 638}, "选择夹_设置", {.page = 1}},
      {"图片框_树形_分割线1", C::PictureBoxEx, {8, 8, 1, 104}, status, {.surface = Surface::Line}},
      {"超级按钮_程序设置", C::SuperbuttonEx, {8, 8, 26, 26}, {}, {.glyph = Glyph::Settings}},
      {"滤镜_遮罩",
       C::FilterEx,
       {1352, 496, 96, 96},
       {},
       {.hidden = true, .surface = Surface::Shade, .raiseWhenShown = true}},
      {"标签_提示图标", C::PictureBoxEx, {3, 3, 24, 24}, status, {.image = ":/pimrose/logo.png"}},
      {"按钮_调整", C::ButtonEx, {8, 8, 12, 12}, status, {.glyph = Glyph::Grip}},
      {"组件_状态提示", C::WindowEx, {73, 518, 1144, 30}, {}, {.surface = Surface::Strip}},
      {"图片框_树形_分割线2", C::PictureBoxEx, {8, 8, 1, 104}, status, {.surface = Surface::Line}},
      {"滤镜",
       C::FilterEx,
       {1312, 96, 344, 192},
       {},
       {.hidden = true, .surface = Surface::Shade, .raiseWhenShown = true}},
      {"图片框_提示", C::PictureBoxEx, {8, 8, 328, 176}, "滤镜", {.surface = Surface::Panel}},
      {"按钮_软件重启1", C::ButtonEx, {1360, 448, 80, 32}, {}, {.text = "软件重启", .hidden = true}},
      {"配置_代理1", C::EditboxEx, {1360, 408, 136, 24}, {}, {.hidden = true}},
      {"超级按钮_提示关闭",
       C::SuperbuttonEx,
       {288, 8, 32, 32},
       prompt,
       {.skin = "圆形_关闭", .glyph = Glyph::Close}},
      {"按钮_提示取消", C::ButtonEx, {208, 128, 48, 32}, prompt, {.text = "取消"}},
      {"按钮_提示确定", C::ButtonEx, {264, 128, 48, 32}, prompt, {.text = "确定"}},
      {"标签_提示内容", C::LabelEx, {72, 48, 240, 72}, prompt, {.wordWrap = true}},
      {"标签_提示标题", C::LabelEx, {16, 16, 112, 24}, prompt, {.text = "提示", .fontPixels = 15}},
      {"图片框_提示图标", C::PictureBoxEx, {16, 64, 48, 48}, prompt, {.image = ":/pimrose/logo.png"}},
      {"标签_反馈", C::Label, {1328, 288, 80, 24}, {}},
      {"标签_热键", C::Label, {1416, 288, 80, 24}, {}},
      {"时钟_线程", C::Timer, {}, {}, {.interval = 100}},
      {"分组框_弹出提示",
       C::MinutesboxEx,
       {1328, 320, 200, 60},
       {},
       {.skin = "默认皮肤_分组框", .hidden = true, .surface = Surface::Panel, .raiseWhenShown = true}},
      {"选择夹_设置",
       C::SelectthefolderEx,
       {160, 200, 704, 512},
       "图片框_设置背景",
       {.items = {"设置", "关于"}}},
      {"图片框_设置背景",
       C::PictureBoxEx,
       {152, 24, 720, 528},
       pages,
       {.page = 1, .surface = Surface::Panel}},
      {"选择夹_组件",
       C::SelectthefolderEx,
       {0, 32, 896, 568},
       {},
       {.items = {"浏览", "设置"}, .tabBarHidden = true}},
      {"图标列表框_搜索", C::IcoListboxEx, {320, 96, 128, 128}, pages, {.hidden = true}},
      {"窗口EX1", C::WindowEx, {4, 4, 24, 24}, {}, {.skin = "默认窗口皮肤", .windowFrame = true}},
      {"选择框_更多格式", C::ChoiceboxEx, {176, 406, 136, 32}, settingsPage, {.text = "更多格式"}},
  };
}

QRect centred(QSize parent, int width, int height, int dy = 0) {
  return {(parent.width() - width) / 2, (parent.height() - height) / 2 + dy, width, height};
}

QRect fill(QSize parent, QRect) {
  return {QPoint(0, 0), parent};
}

// Caption strip on top, the page switcher in the middle, the status strip (30 px) at the
// bottom; the viewer panel covers the browser page. Controls the program places itself (the
// prompt holder, the mask, the viewed picture, parked controls) have no rule.
std::vector<Anchor> mainAnchors() {
  constexpr int kStatus = 30;
  return {
      {"超级按钮_程序设置", [](QSize, QRect) { return QRect(8, 3, 26, 26); }},
      {"编辑框_搜索", [](QSize, QRect) { return QRect(44, 3, 260, 26); }},
      {"超级按钮_搜索", [](QSize p, QRect) { return QRect(p.width() - 24, 3, 20, 20); }},
      {"选择夹_组件",
       [](QSize p, QRect) {
         return QRect(0, kCaptionHeight, p.width(), p.height() - kCaptionHeight - kStatus);
       }},
      {"图标列表框_文件", fill},
      {"图标列表框_搜索", fill},
      {"图片框_logo居中", [](QSize p, QRect) { return centred(p, 400, 200, -24); }},
      {"标签_使用提示", [](QSize p, QRect) { return QRect(0, 140, p.width(), 40); }},
      {"图片框_设置背景",
       [](QSize p, QRect) {
         return centred(p, std::min(760, p.width() - 48), std::min(600, p.height() - 32));
       }},
      {"选择夹_设置", [](QSize p, QRect) { return QRect(12, 8, p.width() - 24, p.height() - 16); }},
      {"图片框背景_设置",
       [](QSize p, QRect) { return QRect((p.width() - 400) / 2, 12, 400, p.height() - 24); }},
      {"图片框背景_关于",
       [](QSize p, QRect) { return QRect((p.width() - 400) / 2, 12, 400, p.height() - 24); }},
      {"选择框_最大化不遮任务栏", [](QSize, QRect r) { return QRect(r.topLeft(), QSize(160, r.height())); }},
      {"组件_图片背景",
       [](QSize p, QRect) {
         return QRect(0, kCaptionHeight, p.width(), p.height() - kCaptionHeight - kStatus);
       }},
      {"图片框_图片容器", fill},
      {"按钮_关闭", [](QSize p, QRect) { return QRect(p.width() - 92, 10, 80, 30); }},
      {"组件_状态提示", [](QSize p, QRect) { return QRect(0, p.height() - kStatus, p.width(), kStatus); }},
      {"标签_提示图标", [](QSize, QRect) { return QRect(10, 7, 16, 16); }},
      {"标签_提示文本", [](QSize p, QRect) { return QRect(32, 1, p.width() - 32 - 212, 28); }},
      {"图片框_树形_分割线1", [](QSize p, QRect) { return QRect(p.width() - 204, 8, 1, 14); }},
      {"滑块条_图标大小", [](QSize p, QRect) { return QRect(p.width() - 190, 7, 150, 16); }},
      {"图片框_树形_分割线2", [](QSize p, QRect) { return QRect(p.width() - 28, 8, 1, 14); }},
      {"按钮_调整", [](QSize p, QRect) { return QRect(p.width() - 16, 14, 14, 14); }},
  };
}

}  // namespace

const WindowDefinition& mainWindowDefinition() {
  static const WindowDefinition definition{
      .name = "MainWindow",
      .rect = {QPoint(50, 50), kMainWindowSize},
      .caption = "Pimrose",
      .minimumSize = kMainWindowSize,
      .controls = mainControls(),
      .anchors = mainAnchors(),
  };
  return definition;
}

}  // namespace pimrose::ui
