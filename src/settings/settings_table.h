#pragma once

#include <QString>
#include <QStringList>

namespace pimrose {

// The sections of the settings file and the order of their keys in the settings table. A key the
// file does not hold yet is added in this order, so a new file lists them as the table does. For
// check boxes and drop-down lists that is the window's own order; for edit boxes it is not (the
// window holds the status text before the search box).
namespace settings_table {

inline const QString kEditBoxes = QStringLiteral("编辑框");
inline const QString kCheckBoxes = QStringLiteral("选择框");
inline const QString kDropDowns = QStringLiteral("组合框");
inline const QString kStart = QStringLiteral("初始化");
inline const QString kIconSize = QStringLiteral("图片比例");

// The control names of one section (in the window's order) with the table's keys in the table's
// order; a key the table does not name keeps its place.
QStringList inTableOrder(const QString& section, QStringList names);

}  // namespace settings_table
}  // namespace pimrose
