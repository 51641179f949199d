#pragma once

#include <functional>

#include "engine/TextEncoding.h"

class QMenu;

namespace tracklens::ui {

// Adds the "Text encoding" submenu to a menu: Windows-1252, UTF-8, Shift-JIS and Automatic, one
// of them checked, the one current. Choosing one calls choose with it. Gives the submenu, which
// the menu owns.
QMenu* AddTextEncodingMenu(QMenu& menu, TextEncoding current,
                           const std::function<void(TextEncoding)>& choose);

} // namespace tracklens::ui
