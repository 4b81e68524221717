#include "app/win/frmAbout.h"

#include <windows.h>

#include "app/site.h"
#include "app/win/frmMain.h"
#include "i18n/language.h"
#include "i18n/translate.h"
#include "res/resource.h"
#include "settings/options.h"

using namespace ui;

TfrmAbout::TfrmAbout(TForm* owner) : TForm(owner, "frmAbout") {
  SetCaption("About Tolvik Hivara");
  BorderStyle = TBorderStyle::Dialog;
  ClientWidth = 360;
  ClientHeight = 249;

  Image2 = new TImage(this, "Image2");
  Image2->SetBounds(0, 0, 360, 50);
  Image2->SetPicture({TPicture::Kind::Jpeg, IDR_BANNER});
  Image1 = new TImage(this, "Image1");
  Image1->SetBounds(20, 61, 32, 32);
  Image1->SetPicture({TPicture::Kind::Icon, IDI_MAIN});
  Label1 = NewLabel(this, "Label1", 80, 62, "Tolvik Hivara");
  lCopywrite = NewLabel(this, "lCopywrite", 80, 129, "Copyright (C) 2012 Tolvik Software");
  Label3 = NewLabel(this, "Label3", 80, 152, "Support: support@tolvik.example");
  lbEAddress = NewLabel(this, "lbEAddress", 80, 186, site::kBaseAddress);
  lbEAddress->Font().color = 0x00FF0000;
  lbEAddress->Font().underline = true;
  lbEAddress->SetHandCursor(true);
  lbEAddress->OnClick = [this] { lbEAddressClick(); };
  Label2 = NewLabel(this, "Label2", 80, 84, "Version: 2.1   Build 20120525");
  Panel2 = new TPanel(this, "Panel2");
  Panel2->SetBounds(80, 176, 262, 2);
  bOK = new TsuiButton(this, "bOK");
  bOK->SetBounds(256, 211, 80, 27);
  bOK->SetCaption("&OK");
  bOK->ModalResult = mrOk;
  bOK->Default = true;
  bOK->Cancel = true;

  OnShow = [this] { FormShow(); };
}

void TfrmAbout::FormShow() {
  Label1->SetCaption(product::kTitle);
  if (!IsEnglish(OptionsSetting.Lan)) TranslateForm(*this, OptionsSetting.Lan);
}

void TfrmAbout::lbEAddressClick() { OpenPage(reinterpret_cast<HWND>(Handle()), site::kHomePage); }
