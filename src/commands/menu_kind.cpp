#include "commands/menu_kind.h"

#include <array>
#include <utility>

namespace pimrose {
namespace {

const std::array<std::pair<MenuKind, const char16_t*>, 4> kKeys{{
    {MenuKind::Tray, u"退出程序"},
    {MenuKind::FloatIcon, u"悬浮菜单"},
    {MenuKind::Picture, u"文件菜单"},
    {MenuKind::Test, u"测试菜单"},
}};

}  // namespace

QString menuKindKey(MenuKind kind) {
  for (const auto& [each, key] : kKeys)
    if (each == kind) return QString::fromUtf16(key);
  return {};
}

std::optional<MenuKind> menuKindOfKey(QStringView key) {
  for (const auto& [kind, text] : kKeys)
    if (key == QStringView(text)) return kind;
  return std::nullopt;
}

}  // namespace pimrose
