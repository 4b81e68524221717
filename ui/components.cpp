#include "ui/components.h"

#include <algorithm>

namespace ui {

namespace {
FormBackend* g_backend = nullptr;
const std::string kEmpty;
}  // namespace

void SetFormBackend(FormBackend* backend) { g_backend = backend; }
FormBackend* GetFormBackend() { return g_backend; }

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* owner, std::string name) : owner_(owner), name_(std::move(name)) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  // Peers go first so that no native object outlives the model it mirrors.
  peer_.reset();
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    delete last;
  }
  if (owner_) {
    auto& list = owner_->components_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (TComponent* c : components_)
    if (c->Name() == name) return c;
  return nullptr;
}

void TComponent::SetPeer(std::unique_ptr<Peer> peer) { peer_ = std::move(peer); }

// ------------------------------------------------------------------ TControl

TControl::TControl(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  NotifyPeer(Prop::Bounds);
}

int TControl::FormLeft() const {
  int x = left_;
  for (TControl* p = parent_; p; p = p->Parent()) x += p->Left();
  return x;
}

int TControl::FormTop() const {
  int y = top_;
  for (TControl* p = parent_; p; p = p->Parent()) y += p->Top();
  return y;
}

void TControl::SetCaption(const std::string& text) {
  caption_ = text;
  NotifyPeer(Prop::Caption);
}

void TControl::SetHint(const std::string& text) {
  hint_ = text;
  NotifyPeer(Prop::Hint);
}

void TControl::SetShowHint(bool on) {
  showHint_ = on;
  NotifyPeer(Prop::Hint);
}

void TControl::SetVisible(bool on) {
  if (visible_ == on) return;
  visible_ = on;
  NotifyPeer(Prop::Visible);
}

void TControl::SetEnabled(bool on) {
  if (enabled_ == on) return;
  enabled_ = on;
  NotifyPeer(Prop::Enabled);
}

void TControl::SetFont(const TFont& f) {
  font_ = f;
  NotifyPeer(Prop::Font);
}

// ------------------------------------------------------------- label kinds

TsuiURLLabel::TsuiURLLabel(TComponent* owner, std::string name) : TCustomLabel(owner, std::move(name)) {
  Font().color = 0x00FF0000;  // blue
  Font().underline = true;
  SetHandCursor(true);
}

void TsuiURLLabel::SetHoverState(Hover h) {
  if (hover_ == h) return;
  hover_ = h;
  Font().color = h == Hover::Inside ? 0x000000FF : h == Hover::Left ? 0x00000000 : 0x00FF0000;
  NotifyPeer(Prop::Font);
}

// -------------------------------------------------------------------- images

void TImage::SetPicture(const TPicture& p) {
  picture_ = p;
  NotifyPeer(Prop::Picture);
}

TWlmShiftImage::TWlmShiftImage(TComponent* owner, std::string name) : TImage(owner, std::move(name)) {}

void TWlmShiftImage::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter();
  if (Enabled()) SetPicture(focused_);
}

void TWlmShiftImage::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave();
  if (Enabled()) SetPicture(noFocused_);
}

void TWlmShiftImage::MouseDown() {
  if (OnMouseDown) OnMouseDown();
  SetBounds(Left() + 2, Top() + 2, Width(), Height());
}

void TWlmShiftImage::MouseUp() { SetBounds(Left() - 2, Top() - 2, Width(), Height()); }

// ------------------------------------------------------------------ buttons

TFlatSpeedButton::TFlatSpeedButton(TComponent* owner, std::string name)
    : TGraphicControl(owner, std::move(name)) {
  SetHandCursor(true);
}

void TFlatSpeedButton::SetHot(bool on) {
  if (hot_ == on) return;
  hot_ = on;
  NotifyPeer(Prop::Color);
}

void TButtonControl::Click() {
  TControl::Click();
  if (ModalResult != mrNone) {
    // A button with a modal result closes the form that owns it.
    for (TComponent* o = Owner(); o; o = o->Owner())
      if (auto* f = dynamic_cast<TForm*>(o)) {
        f->SetModalResult(ModalResult);
        break;
      }
  }
}

void TsuiCheckBox::SetChecked(bool on) {
  checked_ = on;
  NotifyPeer(Prop::Checked);
}

void TsuiCheckBox::Click() { TControl::Click(); }

// -------------------------------------------------------------- progress bar

void TsuiProgressBar::SetPosition(int p) {
  if (p < Min) p = Min;
  if (p > Max) p = Max;
  position_ = p;
  NotifyPeer(Prop::Position);
}

std::string TsuiProgressBar::PercentCaption() const {
  long long range = static_cast<long long>(Max) - Min;
  long long pct = range > 0 ? (static_cast<long long>(position_) - Min) * 100 / range : 0;
  return std::to_string(pct) + "%";
}

// ----------------------------------------------------------------- list view

void TListView::SetColumnCaption(std::size_t index, const std::string& caption) {
  if (index >= columns_.size()) return;
  columns_[index].caption = caption;
  changedCol = index;
  NotifyPeer(Prop::Columns);
}

void TListView::AddColumn(const std::string& caption, int width, TAlignment align) {
  columns_.push_back({caption, width, align});
}

void TListView::AddRow(const std::vector<std::string>& cells) {
  rows_.push_back(cells);
  rows_.back().resize(std::max<std::size_t>(columns_.size(), cells.size()));
  changedRow = rows_.size() - 1;
  NotifyPeer(Prop::Items);
}

const std::string& TListView::Cell(std::size_t row, std::size_t col) const {
  if (row >= rows_.size() || col >= rows_[row].size()) return kEmpty;
  return rows_[row][col];
}

void TListView::SetCell(std::size_t row, std::size_t col, const std::string& text) {
  if (row >= rows_.size()) return;
  if (col >= rows_[row].size()) rows_[row].resize(col + 1);
  rows_[row][col] = text;
  changedRow = row;
  changedCol = col;
  NotifyPeer(Prop::Caption);
}

void TListView::ClearRows() {
  rows_.clear();
  NotifyPeer(Prop::Items);
}

void TListView::SetGridLines(bool on) {
  gridLines_ = on;
  NotifyPeer(Prop::GridLines);
}

// --------------------------------------------------------------------- menus

TMenuItem::TMenuItem(TPopupMenu* menu, std::string name, std::string caption)
    : TComponent(menu ? menu->Owner() : nullptr, std::move(name)), menu_(menu), caption_(std::move(caption)) {
  if (menu_) menu_->AddItem(this);
}

void TMenuItem::SetCaption(const std::string& c) {
  caption_ = c;
  if (menu_) menu_->ItemChanged();
}

void TMenuItem::SetChecked(bool on) {
  checked_ = on;
  if (menu_) menu_->ItemChanged();
}

TPopupMenu::TPopupMenu(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {}

// --------------------------------------------------------------------- timer

void TTimer::SetEnabled(bool on) {
  if (enabled_ == on) return;
  enabled_ = on;
  NotifyPeer(Prop::Timer);
}

void TTimer::SetInterval(unsigned ms) {
  interval_ = ms;
  NotifyPeer(Prop::Timer);
}

// ---------------------------------------------------------------------- form

TForm::TForm(TForm* owner, std::string name) : TComponent(nullptr, std::move(name)) {
  // Forms are owned by their owner window only in the modal sense: the
  // caller creates and frees them, so they are not in the owner's list.
  OwnerForm = owner;
}

TForm::~TForm() {
  if (g_backend) g_backend->Released(*this);
}

void TForm::SetCaption(const std::string& c) {
  caption_ = c;
  NotifyPeer(Prop::Caption);
}

void TForm::SetModalResult(int r) {
  modalResult_ = r;
  if (g_backend) g_backend->ModalResultChanged(*this);
}

bool TForm::HandleMessage(unsigned, std::uintptr_t, std::intptr_t, std::intptr_t*) { return false; }

void TForm::Show() {
  if (g_backend) g_backend->Show(*this);
}
void TForm::Hide() {
  if (g_backend) g_backend->Hide(*this);
}
int TForm::ShowModal() { return g_backend ? g_backend->ShowModal(*this) : mrNone; }
void TForm::Close() {
  if (g_backend) g_backend->Close(*this);
}

TLabel* NewLabel(TForm* form, const std::string& name, int left, int top, const std::string& caption,
                 TControl* parent) {
  auto* l = new TLabel(form, name);
  l->SetParent(parent);
  l->SetBounds(left, top, 0, 13);
  l->SetAutoSize(true);
  l->SetCaption(caption);
  return l;
}

}  // namespace ui
