#include "app/settings.h"

#include "platform/ini_document.h"
#include "settings/settings_codecs.h"
#include "settings/skin_set.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit_box.h"
#include "ui/slider.h"
#include "ui/tabs.h"
#include "ui/text_label.h"
#include "ui/window.h"

namespace pimrose {
namespace {

const QString kEditSection = QStringLiteral("编辑框");
const QString kCheckSection = QStringLiteral("选择框");
const QString kDropDownSection = QStringLiteral("组合框");
const QString kStartSection = QStringLiteral("初始化");
const QString kIconSizeKey = QStringLiteral("图片比例");

DropDownState stateOf(const ui::ComboBox& list) {
  DropDownState state;
  for (int i = 0; i < list.itemCount(); ++i) state.items.append({list.itemTitle(i), list.itemValue(i)});
  state.currentIndex = list.currentIndex();
  state.currentText = list.currentText();
  return state;
}

void setState(ui::ComboBox& list, const DropDownState& state) {
  list.clear();
  for (const DropDownState::Item& item : state.items) list.insertItem(item.title, item.value);
  list.setCurrentIndex(state.currentIndex);
  list.setCurrentText(state.currentText);
}

}  // namespace

Settings::Settings(ui::Window& mainWindow, const ui::MainWindowControls& controls, QString file, Hooks hooks)
    : window_(mainWindow), ui_(controls), file_(std::move(file)), hooks_(std::move(hooks)) {}

bool Settings::SaveSettings() {
  std::optional<IniDocument> ini = IniDocument::load(file_);
  if (!ini) return false;
  for (const ui::EditBox* box : window_.controlsOf<ui::EditBox>())
    ini->setValue(kEditSection, box->name(), encodeEditText(box->text()));
  for (const ui::CheckBox* box : window_.controlsOf<ui::CheckBox>())
    ini->setValue(kCheckSection, box->name(), encodeCheckState(box->isChecked()));
  for (const ui::ComboBox* list : window_.controlsOf<ui::ComboBox>())
    ini->setValue(kDropDownSection, list->name(), encodeDropDown(stateOf(*list)));
  const int position = ui_.滑块条_图标大小->position();
  ini->setValue(kStartSection, kIconSizeKey, QString::number(position));
  return ini->save(file_);
}

void Settings::RestoreSettings() {
  const IniDocument ini = loadForReading();
  restoreEditBoxes(ini);
  restoreCheckBoxes(ini);
  restoreDropDowns(ini);
  colourTabs();
  colourLabels();
  if (hooks_.restored) hooks_.restored();
}

void Settings::ApplySkin(int skin, bool restoring) {
  if (restoring) {
    restoreDropDowns(loadForReading());
    skin = ui_.下拉框_皮肤->currentIndex();
  } else {
    SaveSettings();
  }
  skinIndex_ = skin;
  if (skinSet(skin) && hooks_.skinChosen) hooks_.skinChosen(skin);
  RestoreSettings();
  finishSkin(skin);
}

// A file that cannot be read restores nothing, as a missing one.
IniDocument Settings::loadForReading() const {
  return IniDocument::load(file_).value_or(IniDocument());
}

// Before any skin was applied the colours are those of skin 0, so text never comes out invisible.
const SkinSet& Settings::colours() const {
  const SkinSet* set = skinSet(skinIndex_);
  return set ? *set : *skinSet(0);
}

void Settings::restoreEditBoxes(const IniDocument& ini) const {
  for (ui::EditBox* box : window_.controlsOf<ui::EditBox>()) {
    box->setTextColour(colours().activeText);
    if (const auto text = decodeEditText(ini.value(kEditSection, box->name()))) box->setText(*text);
  }
}

void Settings::restoreCheckBoxes(const IniDocument& ini) const {
  for (ui::CheckBox* box : window_.controlsOf<ui::CheckBox>()) {
    box->setTextColour(colours().activeText);
    if (const auto checked = decodeCheckState(ini.value(kCheckSection, box->name())))
      box->setChecked(*checked);
  }
}

void Settings::restoreDropDowns(const IniDocument& ini) const {
  for (ui::ComboBox* list : window_.controlsOf<ui::ComboBox>()) {
    list->setTextColour(colours().activeText);
    if (const auto state = decodeDropDown(ini.value(kDropDownSection, list->name()))) setState(*list, *state);
  }
}

void Settings::colourTabs() const {
  for (ui::Tabs* tabs : window_.controlsOf<ui::Tabs>())
    for (int tab = 0; tab < tabs->tabCount(); ++tab)
      tabs->setTabTextColour(tab, tab == 0 ? colours().activeText : colours().inactiveTab);
}

void Settings::colourLabels() const {
  for (ui::TextLabel* label : window_.controlsOf<ui::TextLabel>()) label->setTextColour(colours().activeText);
}

void Settings::finishSkin(int skin) const {
  if (const SkinSet* set = skinSet(skin)) ui_.下拉框_皮肤->setCurrentText(set->name);
  for (ui::TextLabel* label : {ui_.标签_关于, ui_.标签_当前版本, ui_.标签_关于声明, ui_.标签_声明内容})
    label->setTextColour(QColor::fromRgba(kAboutTextColour));
}

}  // namespace pimrose
