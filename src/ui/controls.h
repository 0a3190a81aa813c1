#pragma once

// Every engine class, for code that walks controls by class (settings, tests). Handler code
// includes only the control headers it uses.
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit_box.h"
#include "ui/filter.h"
#include "ui/group_box.h"
#include "ui/icon_list.h"
#include "ui/image_button.h"
#include "ui/key_codes.h"
#include "ui/message_label.h"
#include "ui/picture_box.h"
#include "ui/report_list.h"
#include "ui/slider.h"
#include "ui/tabs.h"
#include "ui/text_label.h"
#include "ui/timer.h"
#include "ui/window.h"
#include "ui/window_skin.h"
