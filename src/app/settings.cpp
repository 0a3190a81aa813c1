#include "app/settings.h"

#include "platform/ini_store.h"
#include "settings/settings_codecs.h"
#include "settings/settings_table.h"
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

using settings_table::kCheckBoxes;
using settings_table::kDropDowns;
using settings_table::kEditBoxes;
using settings_table::kIconSize;
using settings_table::kStart;

template <class Control>
QStringList namesOf(const ui::Window& window) {
  QStringList names;
  for (const Control* control : window.controlsOf<Control>()) names << control->name();
  return names;
}

// Every key the settings keep, in the window's order.
std::vector<IniKey> keysOf(const ui::Window& window) {
  std::vector<IniKey> keys;
  for (const QString& name : namesOf<ui::EditBox>(window)) keys.push_back({kEditBoxes, name});
  for (const QString& name : namesOf<ui::CheckBox>(window)) keys.push_back({kCheckBoxes, name});
  for (const QString& name : namesOf<ui::ComboBox>(window)) keys.push_back({kDropDowns, name});
  keys.push_back({kStart, kIconSize});
  return keys;
}

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
    : window_(mainWindow),
      ui_(controls),
      file_(std::move(file)),
      hooks_(std::move(hooks)),
      store_(std::make_unique<IniStore>(file_, keysOf(mainWindow))) {}

Settings::~Settings() = default;

// Each class's keys in the order of the settings table, which is the order a new file lists them in.
std::vector<IniEntry> Settings::controlStates() const {
  std::vector<IniEntry> entries;
  for (const QString& name : settings_table::inTableOrder(kEditBoxes, namesOf<ui::EditBox>(window_)))
    entries.push_back({kEditBoxes, name, encodeEditText(window_.control<ui::EditBox>(name)->text())});
  for (const QString& name : settings_table::inTableOrder(kCheckBoxes, namesOf<ui::CheckBox>(window_)))
    entries.push_back(
        {kCheckBoxes, name, encodeCheckState(window_.control<ui::CheckBox>(name)->isChecked())});
  for (const QString& name : settings_table::inTableOrder(kDropDowns, namesOf<ui::ComboBox>(window_)))
    entries.push_back({kDropDowns, name, encodeDropDown(stateOf(*window_.control<ui::ComboBox>(name)))});
  entries.push_back({kStart, kIconSize, QString::number(ui_.滑块条_图标大小->position())});
  return entries;
}

bool Settings::SaveSettings() {
  store_->save(controlStates());
  return waitForSaves();
}

bool Settings::waitForSaves() {
  return store_->waitForSaves();
}

void Settings::saveInBackground(std::function<void(bool written)> saved) {
  store_->save(controlStates(), std::move(saved));
}

void Settings::RestoreSettings() {
  restoreEditBoxes();
  restoreCheckBoxes();
  restoreDropDowns();
  colourTabs();
  colourLabels();
  if (hooks_.restored) hooks_.restored();
}

QString Settings::storedValue(const QString& section, const QString& key, const QString& fallback) const {
  return store_->value(section, key, fallback);
}

void Settings::ApplySkin(int skin, bool restoring) {
  if (restoring) {
    restoreDropDowns();
    skin = ui_.下拉框_皮肤->currentIndex();
  } else {
    saveInBackground();
  }
  skinIndex_ = skin;
  if (skinSet(skin) && hooks_.skinChosen) hooks_.skinChosen(skin);
  RestoreSettings();
  finishSkin(skin);
}

// Before any skin was applied the colours are those of skin 0, so text never comes out invisible.
const SkinSet& Settings::colours() const {
  const SkinSet* set = skinSet(skinIndex_);
  return set ? *set : *skinSet(0);
}

void Settings::restoreEditBoxes() const {
  for (ui::EditBox* box : window_.controlsOf<ui::EditBox>()) {
    box->setTextColour(colours().activeText);
    if (const auto text = decodeEditText(store_->value(kEditBoxes, box->name()))) box->setText(*text);
  }
}

void Settings::restoreCheckBoxes() const {
  for (ui::CheckBox* box : window_.controlsOf<ui::CheckBox>()) {
    box->setTextColour(colours().activeText);
    if (const auto checked = decodeCheckState(store_->value(kCheckBoxes, box->name())))
      box->setChecked(*checked);
  }
}

void Settings::restoreDropDowns() const {
  for (ui::ComboBox* list : window_.controlsOf<ui::ComboBox>()) {
    list->setTextColour(colours().activeText);
    if (const auto state = decodeDropDown(store_->value(kDropDowns, list->name()))) setState(*list, *state);
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
