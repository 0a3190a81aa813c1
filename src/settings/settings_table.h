#pragma once

#include <QString>

namespace pimrose {

// The sections of the settings file and the key of the icon size.
namespace settings_table {

inline const QString kEditBoxes = QStringLiteral("编辑框");
inline const QString kCheckBoxes = QStringLiteral("选择框");
inline const QString kDropDowns = QStringLiteral("组合框");
inline const QString kStart = QStringLiteral("初始化");
inline const QString kIconSize = QStringLiteral("图片比例");

}  // namespace settings_table
}  // namespace pimrose
