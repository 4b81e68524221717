// The Options dialog: the three switches of the settings.
#pragma once
#include "ui/components.h"

class TfrmOptions : public ui::TForm {
 public:
  explicit TfrmOptions(ui::TForm* owner);

  ui::TGroupBox* GroupBox2;
  ui::TsuiCheckBox* cbAskBeforeDefrag;
  ui::TsuiCheckBox* cbShowLines;
  ui::TsuiCheckBox* cbCreateRestore;
  ui::TsuiButton* bOK;
  ui::TsuiButton* bCancel;

  void FormCreate();
  void FormShow();
  void bOKClick();
};
