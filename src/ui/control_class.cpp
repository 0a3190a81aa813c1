#include "ui/control_class.h"

namespace pimrose::ui {

QString controlClassName(ControlClass cls) {
  switch (cls) {
    case ControlClass::WindowEx:
      return QStringLiteral("WindowEx");
    case ControlClass::FilterEx:
      return QStringLiteral("FilterEx");
    case ControlClass::MinutesboxEx:
      return QStringLiteral("MinutesboxEx");
    case ControlClass::SelectthefolderEx:
      return QStringLiteral("SelectthefolderEx");
    case ControlClass::PictureBoxEx:
      return QStringLiteral("PictureBoxEx");
    case ControlClass::LabelEx:
      return QStringLiteral("LabelEx");
    case ControlClass::ButtonEx:
      return QStringLiteral("ButtonEx");
    case ControlClass::SuperbuttonEx:
      return QStringLiteral("SuperbuttonEx");
    case ControlClass::ChoiceboxEx:
      return QStringLiteral("ChoiceboxEx");
    case ControlClass::SliderbarEx:
      return QStringLiteral("SliderbarEx");
    case ControlClass::EditboxEx:
      return QStringLiteral("EditboxEx");
    case ControlClass::ComboboxEx:
      return QStringLiteral("ComboboxEx");
    case ControlClass::IcoListboxEx:
      return QStringLiteral("IcoListboxEx");
    case ControlClass::SuperListboxEx:
      return QStringLiteral("SuperListboxEx");
    case ControlClass::Label:
      return QStringLiteral("Label");
    case ControlClass::Timer:
      return QStringLiteral("Timer");
  }
  return {};
}

}  // namespace pimrose::ui
