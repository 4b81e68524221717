#pragma once
#include <string>

namespace ui {
class TForm;
}

// Replaces the texts of a window (caption, control captions, list columns,
// menu items and the tooltips that are switched on) by those of a language
// file. Every lookup defaults to the text in place, so missing keys change
// nothing.
void TranslateForm(ui::TForm& form, const std::string& language);
