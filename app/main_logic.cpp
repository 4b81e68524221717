#include "app/main_logic.h"

#include "common/strutil.h"
#include "ui/components.h"

using namespace ui;

bool IsDragArea(const TForm& form, int x, int y) {
  for (TComponent* c : form.Components()) {
    bool blockingKind = As<TImage>(c) || As<TLabel>(c) || As<TsuiURLLabel>(c) || As<TFlatSpeedButton>(c);
    if (!blockingKind || c->Name() == "Image1") continue;
    auto* ctl = static_cast<TControl*>(c);
    if (!ctl->Visible()) continue;
    int left = ctl->FormLeft(), top = ctl->FormTop();
    if (left <= x && x <= left + ctl->Width() && top <= y && y <= top + ctl->Height()) return false;
  }
  return true;
}

void MoveButtonsUp(TFlatSpeedButton& homepage, TFlatSpeedButton& language, TFlatSpeedButton& about,
                   TFlatSpeedButton& exitButton) {
  homepage.SetVisible(false);
  // Each slot is read before the button above it moves.
  exitButton.SetTop(about.Top());
  exitButton.ColorBorder = about.ColorBorder;
  about.SetTop(language.Top());
  about.ColorBorder = language.ColorBorder;
  language.SetTop(homepage.Top());
  language.ColorBorder = homepage.ColorBorder;
}

std::string LanguageOfItem(const std::string& componentName) {
  return componentName.size() > 2 ? componentName.substr(2) : std::string();
}

void MarkCurrentLanguage(TPopupMenu& menu, const std::string& lan) {
  const std::string want = str::UpperCase(lan);
  for (TMenuItem* item : menu.Items()) item->SetChecked(str::UpperCase(LanguageOfItem(item->Name())) == want);
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> args;
  std::size_t i = 0, n = commandLine.size();
  while (true) {
    while (i < n && static_cast<unsigned char>(commandLine[i]) <= ' ') ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || static_cast<unsigned char>(commandLine[i]) > ' ')) {
      if (commandLine[i] == '"')
        quoted = !quoted;
      else
        arg += commandLine[i];
      ++i;
    }
    args.push_back(arg);
  }
  return args;
}

Switch SwitchOf(const std::vector<std::string>& args) {
  if (args.size() < 2) return Switch::None;
  if (str::SameText(args[1], "/Silent")) return Switch::Silent;
  if (str::SameText(args[1], "/Scan")) return Switch::Scan;
  return Switch::None;
}
