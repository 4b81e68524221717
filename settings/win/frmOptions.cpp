#include "settings/win/frmOptions.h"

#include "i18n/language.h"
#include "i18n/translate.h"
#include "settings/options.h"

using namespace ui;

namespace {
TsuiCheckBox* Box(TForm* f, TControl* parent, const std::string& name, int top, const std::string& caption) {
  auto* b = new TsuiCheckBox(f, name);
  b->SetParent(parent);
  b->SetBounds(14, top, 392, 17);
  b->SetCaption(caption);
  return b;
}
}  // namespace

TfrmOptions::TfrmOptions(TForm* owner) : TForm(owner, "frmOptions") {
  SetCaption("Options");
  BorderStyle = TBorderStyle::Dialog;
  ClientWidth = 425;
  ClientHeight = 145;
  GroupBox2 = new TGroupBox(this, "GroupBox2");
  GroupBox2->SetBounds(8, 6, 409, 96);
  // Created in tab order; the restore-point box stands at the top.
  cbAskBeforeDefrag = Box(this, GroupBox2, "cbAskBeforeDefrag", 44, "Ask before defraging the registy");
  cbShowLines = Box(this, GroupBox2, "cbShowLines", 68, "Show Grid Lines for the hive name list");
  cbCreateRestore =
      Box(this, GroupBox2, "cbCreateRestore", 20, "Create a system restore point before defragment (XP, Vista, Seven)");
  bOK = new TsuiButton(this, "bOK");
  bOK->SetBounds(254, 110, 78, 26);
  bOK->SetCaption("&OK");
  bOK->Default = true;
  bCancel = new TsuiButton(this, "bCancel");
  bCancel->SetBounds(339, 110, 78, 26);
  bCancel->SetCaption("&Cancel");
  bCancel->ModalResult = mrCancel;
  bCancel->Cancel = true;

  bOK->OnClick = [this] { bOKClick(); };
  OnShow = [this] { FormShow(); };
  FormCreate();
}

void TfrmOptions::FormCreate() {
  cbCreateRestore->SetChecked(OptionsSetting.RestorePoint);
  cbAskBeforeDefrag->SetChecked(OptionsSetting.IsAskBeforeDefrag);
  cbShowLines->SetChecked(OptionsSetting.IsShowLine);
}

void TfrmOptions::FormShow() {
  if (!IsEnglish(OptionsSetting.Lan)) TranslateForm(*this, OptionsSetting.Lan);
}

void TfrmOptions::bOKClick() {
  OptionsSetting.RestorePoint = cbCreateRestore->Checked();
  OptionsSetting.IsAskBeforeDefrag = cbAskBeforeDefrag->Checked();
  OptionsSetting.IsShowLine = cbShowLines->Checked();
  SetModalResult(mrOk);
}
