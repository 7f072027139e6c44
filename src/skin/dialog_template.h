#pragma once
// Dialog templates kept as text resources of type "DIALOG":
//
//   caption "Load Preset"
//   size 186 95
//   listbox 1060 7 7 116 81 sort notify
//   button 1 129 7 50 14 "Load" default
//   static 1070 7 7 60 8 "Name:"
//   edit 1061 7 90 116 12 "" autohscroll
//   groupbox 1201 7 7 80 40 "Sample Size"
//   radio 1014 14 18 60 10 "8-Bits"
//
// A control line is: class, id, left, top, width, height (dialog units),
// then an optional quoted text and flags in any order.
#include <optional>
#include <string_view>

#include "platform/dialog_view.h"

namespace mixora {

class IResourceModule;

// The template of `text`, or nothing when a line is not understood.
std::optional<DialogTemplate> ParseDialogTemplate(std::string_view text);

// Dialog `id` of the program's resources, or nothing when it is missing or
// damaged.
std::optional<DialogTemplate> LoadDialogTemplate(const IResourceModule& resources, int id);

} // namespace mixora
