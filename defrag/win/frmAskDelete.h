// The confirmation before a defragmentation.
#pragma once
#include "ui/components.h"

class TfrmAskDelete : public ui::TForm {
 public:
  explicit TfrmAskDelete(ui::TForm* owner);

  ui::TLabel* Label2;
  ui::TLabel* Label3;
  ui::TsuiCheckBox* cbAsk;
  ui::TGroupBox* GroupBox1;
  ui::TLabel* Label1;
  ui::TButton* bOK;
  ui::TButton* bCancel;
  ui::TPanel* Panel2;

  void FormShow();
  void cbAskClick();
};
