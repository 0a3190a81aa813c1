#pragma once

#include <optional>

#include <QString>
#include <QStringView>

namespace pimrose {

// The program's pop-up menus. A chosen item is handled by the kind of the menu popped up last.
enum class MenuKind { Tray, FloatIcon, Picture, Test };

// The text key of a kind: "退出程序" (notification area), "悬浮菜单" (floating icon), "文件菜单"
// (picture), "测试菜单" (test).
QString menuKindKey(MenuKind kind);
// The kind of a text key; nothing for a text that is no key.
std::optional<MenuKind> menuKindOfKey(QStringView key);

}  // namespace pimrose
