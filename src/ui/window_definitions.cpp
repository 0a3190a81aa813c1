#include "ui/window_definition.h"

namespace pimrose::ui {

std::vector<const WindowDefinition*> allWindowDefinitions() {
  return {&mainWindowDefinition(), &textPopupWindowDefinition(), &logWindowDefinition(),
          &floatWindowDefinition(), &taskbarWidgetDefinition()};
}

}  // namespace pimrose::ui
