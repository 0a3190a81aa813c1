#include "settings/settings_table.h"

namespace pimrose::settings_table {
namespace {

QStringList tableKeys(const QString& section) {
  if (section == kEditBoxes)
    return {QStringLiteral("编辑框_搜索"), QStringLiteral("标签_提示文本"), QStringLiteral("配置_代理1")};
  if (section == kCheckBoxes)
    return {QStringLiteral("选择框_双击查看图片"),     QStringLiteral("选择框_内置看图"),
            QStringLiteral("选择框_快速加载"),         QStringLiteral("选择框_智能释放内存"),
            QStringLiteral("选择框_关闭提示"),         QStringLiteral("选择框_开机启动"),
            QStringLiteral("选择框_最小化到托盘"),     QStringLiteral("选择框_显示悬浮图标"),
            QStringLiteral("选择框_最大化不遮任务栏"), QStringLiteral("选择框_程序皮肤颜色"),
            QStringLiteral("选择框_呼出窗口热键")};
  if (section == kDropDowns) return {QStringLiteral("下拉框_皮肤"), QStringLiteral("下拉框_热键")};
  return {};
}

}  // namespace

// The table's keys take the places the window's order gives to table keys, in the table's order;
// every other key keeps its own place.
QStringList inTableOrder(const QString& section, QStringList names) {
  const QStringList table = tableKeys(section);
  QStringList known;
  for (const QString& key : table)
    if (names.contains(key)) known << key;
  auto next = known.cbegin();
  for (QString& name : names)
    if (table.contains(name)) name = *next++;
  return names;
}

}  // namespace pimrose::settings_table
