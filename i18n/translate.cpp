#include "i18n/translate.h"

#include "common/ini.h"
#include "i18n/language.h"
#include "ui/components.h"

using namespace ui;

namespace {

// The kinds whose caption is translated under the component's own name.
bool HasTranslatedCaption(TComponent* c) {
  return As<TLabel>(c) || As<TButton>(c) || As<TGroupBox>(c) || As<TPanel>(c) || As<TsuiURLLabel>(c) ||
         As<TFlatSpeedButton>(c) || As<TsuiCheckBox>(c) || As<TsuiButton>(c);
}

}  // namespace

void TranslateForm(TForm& form, const std::string& language) {
  std::unique_ptr<ini::IniFile> file = ini::OpenIni(LanguageFilePath(language));
  const std::string& w = form.Name();
  const std::string menuSection = "Menu_" + w;

  form.SetCaption(file->ReadString(w, w, form.Caption()));

  // A copy: translation never adds or removes components, but a handler
  // reacting to a caption change must not invalidate the walk.
  const std::vector<TComponent*> components = form.Components();
  for (TComponent* c : components) {
    auto* item = As<TMenuItem>(c);
    if (item && item->IsSeparator()) continue;

    if (HasTranslatedCaption(c) || As<TsuiGroupBox>(c)) {
      auto* ctl = static_cast<TControl*>(c);
      ctl->SetCaption(file->ReadString(w, c->Name(), ctl->Caption()));
    } else if (auto* lv = As<TListView>(c)) {
      for (std::size_t j = 0; j < lv->Columns().size(); ++j) {
        const std::string key = c->Name() + "_Column" + std::to_string(j);
        lv->SetColumnCaption(j, file->ReadString(w, key, lv->Columns()[j].caption));
      }
    } else if (item) {
      item->SetCaption(file->ReadString(menuSection, c->Name(), item->Caption()));
    }

    // Only controls carry a tooltip switch; menu items, menus and timers do not.
    if (auto* ctl = As<TControl>(c); ctl && ctl->ShowHint())
      ctl->SetHint(file->ReadString(w, c->Name() + "Hint", ctl->Hint()));
  }
}
