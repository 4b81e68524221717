#include "defrag/win/frmAskDelete.h"

#include "i18n/language.h"
#include "i18n/translate.h"
#include "settings/options.h"

using namespace ui;

TfrmAskDelete::TfrmAskDelete(TForm* owner) : TForm(owner, "frmAskDelete") {
  SetCaption("Defrag Now");
  BorderStyle = TBorderStyle::Dialog;
  ClientWidth = 377;
  ClientHeight = 178;
  Label2 = NewLabel(this, "Label2", 14, 102, "You must restart your computer for the changes to take effect");
  Label3 = NewLabel(this, "Label3", 14, 118, "after you finish the Registry defragment.");
  cbAsk = new TsuiCheckBox(this, "cbAsk");
  cbAsk->SetBounds(14, 152, 340, 17);
  cbAsk->SetCaption("Don't ask me next time");
  GroupBox1 = new TGroupBox(this, "GroupBox1");
  GroupBox1->SetBounds(8, 4, 361, 88);
  Label1 = NewLabel(this, "Label1", 14, 20, "Are you sure you want to start to defrag your registry?", GroupBox1);
  bOK = new TButton(this, "bOK");
  bOK->SetParent(GroupBox1);
  bOK->SetBounds(98, 48, 75, 25);
  bOK->SetCaption("&Yes");
  bOK->ModalResult = mrYes;
  bOK->Default = true;
  bCancel = new TButton(this, "bCancel");
  bCancel->SetParent(GroupBox1);
  bCancel->SetBounds(188, 48, 75, 25);
  bCancel->SetCaption("&No");
  bCancel->ModalResult = mrNo;
  bCancel->Cancel = true;
  Panel2 = new TPanel(this, "Panel2");
  Panel2->SetBounds(8, 140, 361, 2);

  bOK->SetTabOrder(0);
  bCancel->SetTabOrder(1);
  cbAsk->SetTabOrder(2);
  cbAsk->OnClick = [this] { cbAskClick(); };
  OnShow = [this] { FormShow(); };
}

void TfrmAskDelete::FormShow() {
  if (!IsEnglish(OptionsSetting.Lan)) TranslateForm(*this, OptionsSetting.Lan);
}

void TfrmAskDelete::cbAskClick() { OptionsSetting.IsAskBeforeDefrag = !cbAsk->Checked(); }
