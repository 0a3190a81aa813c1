#include "ui/control_factory.h"

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
#include "ui/report_list.h"
#include "ui/slider.h"
#include "ui/tabs.h"
#include "ui/text_label.h"
#include "ui/timer.h"
#include "ui/window_skin.h"

namespace pimrose::ui {

QObject* createControl(const ControlDefinition& definition, QWidget* parent) {
  switch (definition.cls) {
    case ControlClass::WindowEx:
      return new WindowSkin(definition, parent);
    case ControlClass::FilterEx:
      return new Filter(definition, parent);
    case ControlClass::MinutesboxEx:
      return new GroupBox(definition, parent);
    case ControlClass::SelectthefolderEx:
      return new Tabs(definition, parent);
    case ControlClass::PictureBoxEx:
      return new PictureBox(definition, parent);
    case ControlClass::LabelEx:
      return new TextLabel(definition, parent);
    case ControlClass::ButtonEx:
      return new Button(definition, parent);
    case ControlClass::SuperbuttonEx:
      return new ImageButton(definition, parent);
    case ControlClass::ChoiceboxEx:
      return new CheckBox(definition, parent);
    case ControlClass::SliderbarEx:
      return new Slider(definition, parent);
    case ControlClass::EditboxEx:
      return new EditBox(definition, parent);
    case ControlClass::ComboboxEx:
      return new ComboBox(definition, parent);
    case ControlClass::IcoListboxEx:
      return new IconList(definition, parent);
    case ControlClass::SuperListboxEx:
      return new ReportList(definition, parent);
    case ControlClass::Label:
      return new MessageLabel(definition, parent);
    case ControlClass::Timer:
      return new Timer(definition, parent);
  }
  return nullptr;
}

}  // namespace pimrose::ui
