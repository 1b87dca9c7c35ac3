// The one table of markup tags the layout builder creates by itself. Each control family adds its
// rows in ControlFactory.cpp; a tag missing here is left to the window's own callback.
#pragma once

namespace SkinUI {

class CControlUI;

using ControlCreator = CControlUI* (*)();

struct TControlTag {
  const wchar_t* tag;
  ControlCreator create;
};

// A new control for the tag (compared without case), or null for a tag the table lacks.
CControlUI* CreateControlForTag(const wchar_t* tag);

// The table itself, ended by a row with a null tag.
const TControlTag* ControlTagTable();

}  // namespace SkinUI
