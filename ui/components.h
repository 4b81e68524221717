// The program's own window toolkit: a component model in plain C++ (names,
// kinds, captions, hints, positions, events) that the windows are written
// against. On Windows each component gets a peer that mirrors it onto a real
// Win32 control (ui/win); on the host the model runs without peers, so logic
// over the component tree can be unit-tested.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class TComponent;
class TControl;
class TForm;

// What changed on a component, for its peer.
enum class Prop { Caption, Hint, Bounds, Visible, Enabled, Picture, Checked, Items, Columns,
                  GridLines, Position, Font, Color, Timer };

// Mirrors one component onto a native object.
class Peer {
 public:
  virtual ~Peer() = default;
  virtual void Changed(Prop what) = 0;
};

using Notify = std::function<void()>;

// Modal results.
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

class TComponent {
 public:
  TComponent(TComponent* owner, std::string name);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  TComponent* Owner() const { return owner_; }
  // Owned components in creation order.
  const std::vector<TComponent*>& Components() const { return components_; }
  TComponent* FindComponent(const std::string& name) const;

  Peer* GetPeer() const { return peer_.get(); }
  void SetPeer(std::unique_ptr<Peer> peer);

 protected:
  void NotifyPeer(Prop what) {
    if (peer_) peer_->Changed(what);
  }

 private:
  TComponent* owner_;
  std::string name_;
  std::vector<TComponent*> components_;
  std::unique_ptr<Peer> peer_;
};

// A picture: a resource of the executable (bitmap or JPEG) or empty.
struct TPicture {
  enum class Kind { Empty, Bitmap, Jpeg, Icon };
  Kind kind = Kind::Empty;
  int resourceId = 0;
  bool Empty() const { return kind == Kind::Empty; }
  bool operator==(const TPicture& o) const { return kind == o.kind && resourceId == o.resourceId; }
};

struct TFont {
  int height = -11;  // MS Sans Serif 8 point
  bool bold = false;
  bool underline = false;
  std::uint32_t color = 0;  // 0x00BBGGRR
};

enum class TAlignment { Left, Right, Center };

class TControl : public TComponent {
 public:
  TControl(TComponent* owner, std::string name);

  // Parent for positioning: a container control or null for the form itself.
  TControl* Parent() const { return parent_; }
  void SetParent(TControl* parent) { parent_ = parent; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  // Position in the form's client area, through the parents.
  int FormLeft() const;
  int FormTop() const;

  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(const std::string& text);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& text);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool on);

  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& f);
  bool HandCursor() const { return handCursor_; }
  void SetHandCursor(bool on) { handCursor_ = on; }
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order) { tabOrder_ = order; }

  Notify OnClick;
  // Called by the peer when the user clicks the control.
  virtual void Click() {
    if (OnClick) OnClick();
  }

 private:
  TControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::string caption_;
  std::string hint_;
  bool showHint_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  TFont font_;
  bool handCursor_ = false;
  int tabOrder_ = -1;
};

// Controls without a native window of their own in the classic toolkits;
// here they still get one, so keyboard and accessibility tools reach them.
class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
};

class TCustomLabel : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on) { autoSize_ = on; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a) { alignment_ = a; }

 private:
  bool autoSize_ = false;
  TAlignment alignment_ = TAlignment::Left;
};

class TLabel : public TCustomLabel {
 public:
  using TCustomLabel::TCustomLabel;
};

// A link label: blue, red under the mouse, black once the mouse has left.
class TsuiURLLabel : public TCustomLabel {
 public:
  TsuiURLLabel(TComponent* owner, std::string name);
  std::string URL;
  enum class Hover { Never, Inside, Left };
  Hover HoverState() const { return hover_; }
  void SetHoverState(Hover h);

 private:
  Hover hover_ = Hover::Never;
};

class TImage : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  const TPicture& Picture() const { return picture_; }
  void SetPicture(const TPicture& p);
  bool Stretch = false;
  // Painted by the form as its whole surface rather than as a control.
  bool FormBackground = false;
  // The popup menu shown on a right click.
  class TPopupMenu* PopupMenu = nullptr;

 private:
  TPicture picture_;
};

// An image button that shows another picture under the mouse and moves by
// two pixels while pressed.
class TWlmShiftImage : public TImage {
 public:
  TWlmShiftImage(TComponent* owner, std::string name);
  const TPicture& FocusedPicture() const { return focused_; }
  const TPicture& NoFocusedPicture() const { return noFocused_; }
  void SetFocusedPicture(const TPicture& p) { focused_ = p; }
  void SetNoFocusedPicture(const TPicture& p) { noFocused_ = p; }
  Notify OnMouseEnter;
  Notify OnMouseLeave;
  Notify OnMouseDown;
  // Called by the peer.
  void MouseEnter();
  void MouseLeave();
  void MouseDown();
  void MouseUp();

 private:
  TPicture focused_;
  TPicture noFocused_;
};

class TFlatSpeedButton : public TGraphicControl {
 public:
  TFlatSpeedButton(TComponent* owner, std::string name);
  std::uint32_t ColorBorder = 0x00E0E0E0;
  std::uint32_t ColorFocused = 0x00C0C0C0;  // silver face under the mouse
  bool Hot() const { return hot_; }
  void SetHot(bool on);

 private:
  bool hot_ = false;
};

class TWinControl : public TControl {
 public:
  using TControl::TControl;
};

class TButtonControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  int ModalResult = mrNone;
  bool Default = false;
  bool Cancel = false;
  void Click() override;
};

class TButton : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;
};

// Skinned push button.
class TsuiButton : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;
};

// Picture button with normal, hover and pressed pictures.
class TsuiImageButton : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;
  TPicture PictureNormal, PictureHover, PictureDown;
};

class TsuiCheckBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  // The peer reports a click after the box has toggled.
  void Click() override;
  void SyncChecked(bool on) { checked_ = on; }

 private:
  bool checked_ = false;
};

class TCustomGroupBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
};
class TGroupBox : public TCustomGroupBox {
 public:
  using TCustomGroupBox::TCustomGroupBox;
};

class TCustomPanel : public TWinControl {
 public:
  using TWinControl::TWinControl;
};
// A lowered or sunken panel; here only used as a separator line.
class TPanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
};
class TsuiGroupBox : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
};
// A plain coloured rule.
class TsuiImagePanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
  std::uint32_t Color = 0;
  bool UseActiveCaptionColor = true;
};

class TsuiProgressBar : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
  int Min = 0;
  int Max = 100;
  bool ShowCaption = true;
  int Position() const { return position_; }
  void SetPosition(int p);
  // position * 100 / range, truncated, and "%".
  std::string PercentCaption() const;

 private:
  int position_ = 0;
};

class TMemo : public TWinControl {
 public:
  using TWinControl::TWinControl;
  // The text; the peer shows it as lines.
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& t) { SetCaption(t); }
};

struct TListColumn {
  std::string caption;
  int width = 50;
  TAlignment alignment = TAlignment::Left;
};

class TListView : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::vector<TListColumn>& Columns() { return columns_; }
  const std::vector<TListColumn>& Columns() const { return columns_; }
  void SetColumnCaption(std::size_t index, const std::string& caption);
  void AddColumn(const std::string& caption, int width, TAlignment align);
  // Rows: caption then sub-items.
  std::size_t RowCount() const { return rows_.size(); }
  void AddRow(const std::vector<std::string>& cells);
  const std::string& Cell(std::size_t row, std::size_t col) const;
  void SetCell(std::size_t row, std::size_t col, const std::string& text);
  void ClearRows();
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool on);
  // Row and column last changed, for the peer.
  std::size_t changedRow = 0, changedCol = 0;

 private:
  std::vector<TListColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
  bool gridLines_ = true;
};

class TPopupMenu;

class TMenuItem : public TComponent {
 public:
  TMenuItem(TPopupMenu* menu, std::string name, std::string caption);
  TPopupMenu* Menu() const { return menu_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  bool IsSeparator() const { return caption_ == "-"; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& h) { hint_ = h; }
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  // The handler gets the item as sender.
  std::function<void(TMenuItem*)> OnClick;
  int Command = 0;  // menu command id, given by the form

 private:
  TPopupMenu* menu_;
  std::string caption_;
  std::string hint_;
  bool checked_ = false;
};

class TPopupMenu : public TComponent {
 public:
  TPopupMenu(TComponent* owner, std::string name);
  const std::vector<TMenuItem*>& Items() const { return items_; }
  void AddItem(TMenuItem* item) { items_.push_back(item); }
  // Shows the menu with its top-left corner at the screen point; the peer does it.
  std::function<void(int x, int y)> DoPopup;
  void Popup(int x, int y) {
    if (DoPopup) DoPopup(x, y);
  }
  void ItemChanged() { NotifyPeer(Prop::Items); }

 private:
  std::vector<TMenuItem*> items_;
};

class TTimer : public TComponent {
 public:
  using TComponent::TComponent;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  Notify OnTimer;

 private:
  bool enabled_ = false;
  unsigned interval_ = 1000;
};

enum class TBorderStyle { None, Dialog, Single };

// A window. Its components are the controls, menus and timers it owns.
class TForm : public TComponent {
 public:
  TForm(TForm* owner, std::string name);
  ~TForm() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  int ClientWidth = 300;
  int ClientHeight = 200;
  TBorderStyle BorderStyle = TBorderStyle::Dialog;
  bool CloseBox = true;
  TFont Font;
  // Window class name to register; empty gives "T" + the component name.
  std::string WindowClassName;
  // The window this one is owned by and centred on; null for the main window.
  TForm* OwnerForm = nullptr;

  int ModalResult() const { return modalResult_; }
  // Setting a result other than mrNone ends a modal showing.
  void SetModalResult(int r);

  Notify OnShow;
  Notify OnActivate;
  Notify OnClose;

  // The native window handle as an integer; 0 before the window exists.
  std::uintptr_t Handle() const { return handle_; }
  void SetHandle(std::uintptr_t h) { handle_ = h; }

  // Window messages not handled by the toolkit reach the form here first;
  // return true when handled, with the result in *result.
  virtual bool HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam,
                             std::intptr_t* result);

  // Implemented by the platform layer (no-ops without one).
  void Show();
  void Hide();
  int ShowModal();
  void Close();
  bool Showing() const { return showing_; }
  void SetShowing(bool on) { showing_ = on; }
  bool InModal() const { return inModal_; }
  void SetInModal(bool on) { inModal_ = on; }
  bool ShownOnce = false;

  // Runs OnShow once per showing; the platform layer calls it.
  void DoShow() {
    if (OnShow) OnShow();
  }

 private:
  std::string caption_;
  int modalResult_ = mrNone;
  std::uintptr_t handle_ = 0;
  bool showing_ = false;
  bool inModal_ = false;
};

// Operations the platform layer provides for forms.
class FormBackend {
 public:
  virtual ~FormBackend() = default;
  virtual void Show(TForm& f) = 0;
  virtual void Hide(TForm& f) = 0;
  virtual int ShowModal(TForm& f) = 0;
  virtual void Close(TForm& f) = 0;
  virtual void ModalResultChanged(TForm& f) = 0;
  // The form is being destroyed: its window goes with it.
  virtual void Released(TForm& f) = 0;
};
void SetFormBackend(FormBackend* backend);
FormBackend* GetFormBackend();

// Shorthand for the windows: an autosized label at a position inside
// `parent` (the form itself when null).
TLabel* NewLabel(TForm* form, const std::string& name, int left, int top, const std::string& caption,
                 TControl* parent = nullptr);

template <class T>
T* As(TComponent* c) {
  return dynamic_cast<T*>(c);
}

}  // namespace ui
