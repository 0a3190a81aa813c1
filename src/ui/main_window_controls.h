#pragma once

#include "ui/control_binder.h"

namespace pimrose::ui {

class Button;
class CheckBox;
class ComboBox;
class EditBox;
class Filter;
class GroupBox;
class IconList;
class ImageButton;
class MessageLabel;
class PictureBox;
class Slider;
class Tabs;
class TextLabel;
class Timer;
class WindowSkin;

// Every control of the main window, resolved once when the window has loaded. Members are named
// after the controls, so a name in a handler is checked by the compiler.
struct MainWindowControls {
  CheckBox* 选择框_双击查看图片 = nullptr;
  Button* 按钮_关闭 = nullptr;
  TextLabel* 标签_使用提示 = nullptr;
  CheckBox* 选择框_内置看图 = nullptr;
  Timer* 时钟_拖放路径 = nullptr;
  WindowSkin* 组件_图片背景 = nullptr;
  PictureBox* 图片框_图片文件 = nullptr;
  PictureBox* 图片框_图片容器 = nullptr;
  EditBox* 标签_提示文本 = nullptr;
  PictureBox* 图片框_logo居中 = nullptr;
  Slider* 滑块条_图标大小 = nullptr;
  CheckBox* 选择框_快速加载 = nullptr;
  CheckBox* 选择框_智能释放内存 = nullptr;
  CheckBox* 选择框_缩略图缓存 = nullptr;
  EditBox* 编辑框_搜索 = nullptr;
  ImageButton* 超级按钮_搜索 = nullptr;
  IconList* 图标列表框_文件 = nullptr;
  Button* 按钮_保存配置 = nullptr;
  CheckBox* 选择框_关闭提示 = nullptr;
  CheckBox* 选择框_开机启动 = nullptr;
  CheckBox* 选择框_最小化到托盘 = nullptr;
  CheckBox* 选择框_显示悬浮图标 = nullptr;
  CheckBox* 选择框_最大化不遮任务栏 = nullptr;
  CheckBox* 选择框_程序皮肤颜色 = nullptr;
  ComboBox* 下拉框_皮肤 = nullptr;
  ComboBox* 下拉框_热键 = nullptr;
  CheckBox* 选择框_呼出窗口热键 = nullptr;
  PictureBox* 图片框背景_设置 = nullptr;
  TextLabel* 标签_声明内容 = nullptr;
  TextLabel* 标签_关于声明 = nullptr;
  TextLabel* 标签_当前版本 = nullptr;
  TextLabel* 标签_关于 = nullptr;
  PictureBox* 图片框背景_关于 = nullptr;
  PictureBox* 图片框_树形_分割线1 = nullptr;
  ImageButton* 超级按钮_程序设置 = nullptr;
  Filter* 滤镜_遮罩 = nullptr;
  PictureBox* 标签_提示图标 = nullptr;
  Button* 按钮_调整 = nullptr;
  WindowSkin* 组件_状态提示 = nullptr;
  PictureBox* 图片框_树形_分割线2 = nullptr;
  Filter* 滤镜 = nullptr;
  PictureBox* 图片框_提示 = nullptr;
  Button* 按钮_软件重启1 = nullptr;
  EditBox* 配置_代理1 = nullptr;
  ImageButton* 超级按钮_提示关闭 = nullptr;
  Button* 按钮_提示取消 = nullptr;
  Button* 按钮_提示确定 = nullptr;
  TextLabel* 标签_提示内容 = nullptr;
  TextLabel* 标签_提示标题 = nullptr;
  PictureBox* 图片框_提示图标 = nullptr;
  MessageLabel* 标签_反馈 = nullptr;
  MessageLabel* 标签_热键 = nullptr;
  Timer* 时钟_线程 = nullptr;
  GroupBox* 分组框_弹出提示 = nullptr;
  Tabs* 选择夹_设置 = nullptr;
  PictureBox* 图片框_设置背景 = nullptr;
  Tabs* 选择夹_组件 = nullptr;
  IconList* 图标列表框_搜索 = nullptr;
  WindowSkin* 窗口EX1 = nullptr;
  CheckBox* 选择框_更多格式 = nullptr;  // WebP, TIFF, BMP and the like count as pictures too

  void bind(ControlBinder& binder);
};

}  // namespace pimrose::ui
