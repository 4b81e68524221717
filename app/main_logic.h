// Main-window rules that need no window: where the window may be dragged,
// the button slots, the language check marks and the command-line switches.
#pragma once
#include <string>
#include <vector>

namespace ui {
class TForm;
class TFlatSpeedButton;
class TPopupMenu;
}  // namespace ui

// True when no visible picture, label, link label or flat button other than
// the background "Image1" covers the point (window coordinates, both edges of
// a control's box counting as on it).
bool IsDragArea(const ui::TForm& form, int x, int y);

// Hides `homepage` and moves each button below it up into the slot above,
// taking that slot's top and border colour.
void MoveButtonsUp(ui::TFlatSpeedButton& homepage, ui::TFlatSpeedButton& language,
                   ui::TFlatSpeedButton& about, ui::TFlatSpeedButton& exitButton);

// The language an item of the language menu stands for: its component name
// from the third character on.
std::string LanguageOfItem(const std::string& componentName);

// Checks the item of the menu whose language equals `lan` (ASCII case
// ignored) and clears every other one, the separator included.
void MarkCurrentLanguage(ui::TPopupMenu& menu, const std::string& lan);

// Arguments as the program sees them: separated by blanks, double quotes
// grouping blanks, the quotes themselves dropped. Element 0 is the program.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

enum class Switch { None, Silent, Scan };
// The mode chosen by the first argument, compared whole and without case.
Switch SwitchOf(const std::vector<std::string>& args);
