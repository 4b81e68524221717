// The About box.
#pragma once
#include "ui/components.h"

class TfrmAbout : public ui::TForm {
 public:
  explicit TfrmAbout(ui::TForm* owner);

  ui::TImage* Image2;
  ui::TImage* Image1;
  ui::TLabel* Label1;
  ui::TLabel* lCopywrite;
  ui::TLabel* Label3;
  ui::TLabel* lbEAddress;
  ui::TLabel* Label2;
  ui::TPanel* Panel2;
  ui::TsuiButton* bOK;

  void FormShow();
  void lbEAddressClick();
};
