#include "ui/main_window_controls.h"

#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit_box.h"
#include "ui/filter.h"
#include "ui/group_box.h"
#include "ui/icon_list.h"
#include "ui/image_button.h"
#include "ui/message_label.h"
#include "ui/picture_box.h"
#include "ui/slider.h"
#include "ui/tabs.h"
#include "ui/text_label.h"
#include "ui/timer.h"
#include "ui/window_skin.h"

namespace pimrose::ui {

// The member name is the control name, written once.
#define PIMROSE_BIND(member) binder.bind(member, QStringLiteral(#member))

void MainWindowControls::bind(ControlBinder& binder) {
  PIMROSE_BIND(选择框_双击查看图片);
  PIMROSE_BIND(按钮_关闭);
  PIMROSE_BIND(标签_使用提示);
  PIMROSE_BIND(选择框_内置看图);
  PIMROSE_BIND(时钟_拖放路径);
  PIMROSE_BIND(组件_图片背景);
  PIMROSE_BIND(图片框_图片文件);
  PIMROSE_BIND(图片框_图片容器);
  PIMROSE_BIND(标签_提示文本);
  PIMROSE_BIND(图片框_logo居中);
  PIMROSE_BIND(滑块条_图标大小);
  PIMROSE_BIND(选择框_快速加载);
  PIMROSE_BIND(选择框_智能释放内存);
  PIMROSE_BIND(选择框_缩略图缓存);
  PIMROSE_BIND(编辑框_搜索);
  PIMROSE_BIND(超级按钮_搜索);
  PIMROSE_BIND(图标列表框_文件);
  PIMROSE_BIND(按钮_保存配置);
  PIMROSE_BIND(选择框_关闭提示);
  PIMROSE_BIND(选择框_开机启动);
  PIMROSE_BIND(选择框_最小化到托盘);
  PIMROSE_BIND(选择框_显示悬浮图标);
  PIMROSE_BIND(选择框_最大化不遮任务栏);
  PIMROSE_BIND(选择框_程序皮肤颜色);
  PIMROSE_BIND(下拉框_皮肤);
  PIMROSE_BIND(下拉框_热键);
  PIMROSE_BIND(选择框_呼出窗口热键);
  PIMROSE_BIND(图片框背景_设置);
  PIMROSE_BIND(标签_声明内容);
  PIMROSE_BIND(标签_关于声明);
  PIMROSE_BIND(标签_当前版本);
  PIMROSE_BIND(标签_关于);
  PIMROSE_BIND(图片框背景_关于);
  PIMROSE_BIND(图片框_树形_分割线1);
  PIMROSE_BIND(超级按钮_程序设置);
  PIMROSE_BIND(滤镜_遮罩);
  PIMROSE_BIND(标签_提示图标);
  PIMROSE_BIND(按钮_调整);
  PIMROSE_BIND(组件_状态提示);
  PIMROSE_BIND(图片框_树形_分割线2);
  PIMROSE_BIND(滤镜);
  PIMROSE_BIND(图片框_提示);
  PIMROSE_BIND(按钮_软件重启1);
  PIMROSE_BIND(配置_代理1);
  PIMROSE_BIND(超级按钮_提示关闭);
  PIMROSE_BIND(按钮_提示取消);
  PIMROSE_BIND(按钮_提示确定);
  PIMROSE_BIND(标签_提示内容);
  PIMROSE_BIND(标签_提示标题);
  PIMROSE_BIND(图片框_提示图标);
  PIMROSE_BIND(标签_反馈);
  PIMROSE_BIND(标签_热键);
  PIMROSE_BIND(时钟_线程);
  PIMROSE_BIND(分组框_弹出提示);
  PIMROSE_BIND(选择夹_设置);
  PIMROSE_BIND(图片框_设置背景);
  PIMROSE_BIND(选择夹_组件);
  PIMROSE_BIND(图标列表框_搜索);
  PIMROSE_BIND(窗口EX1);
  PIMROSE_BIND(选择框_更多格式);
}

#undef PIMROSE_BIND

}  // namespace pimrose::ui
