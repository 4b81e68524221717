#include "ui/win/toolkit.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

namespace ui {
namespace {

HINSTANCE g_instance = nullptr;
std::string g_title;
int g_exitCode = 0;

constexpr UINT kFirstControlId = 100;
constexpr UINT kFirstMenuCommand = 40000;
constexpr UINT_PTR kFirstTimerId = 1;
// Posted to a form that was closed outside a modal showing.
constexpr UINT kDestroyForm = WM_APP + 0x3F0;

COLORREF Rgb(std::uint32_t bgr) { return static_cast<COLORREF>(bgr & 0x00FFFFFF); }

// ------------------------------------------------------------------ fonts

HFONT FontFor(const TFont& f) {
  static std::map<std::tuple<int, bool, bool>, HFONT> cache;
  auto key = std::make_tuple(f.height, f.bold, f.underline);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  HFONT h = CreateFontA(f.height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, f.underline, FALSE,
                        ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  cache[key] = h;
  return h;
}

// ------------------------------------------------------------ form state

class ControlPeer;

// What the platform keeps per form window.
struct FormState {
  TForm* form = nullptr;
  HWND hwnd = nullptr;
  HWND tooltip = nullptr;
  std::map<UINT, ControlPeer*> byId;
  std::map<UINT, TMenuItem*> menuCommands;
  std::map<UINT_PTR, TTimer*> timers;
  std::vector<ControlPeer*> peers;
  bool closeNotified = false;
  bool activatedOnce = false;
  TImage* background = nullptr;
};

std::map<const TForm*, FormState*> g_forms;

FormState* StateOf(const TForm* f) {
  auto it = g_forms.find(f);
  return it == g_forms.end() ? nullptr : it->second;
}

TForm* FormOf(const TComponent* c) {
  for (const TComponent* o = c; o; o = o->Owner())
    if (auto* f = dynamic_cast<const TForm*>(o)) return const_cast<TForm*>(f);
  return nullptr;
}

// Runs an event; an exception that escapes it ends the event with the
// standard error box, as the user would expect from any desktop program.
template <class F>
void Guard(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("An unexpected error occurred.");
  }
}

// ------------------------------------------------------------------ peers

class ControlPeer : public Peer {
 public:
  ControlPeer(TControl& c, FormState& fs) : ctl_(c), fs_(fs) {}
  ~ControlPeer() override {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  void Create(const char* cls, DWORD style, DWORD exStyle = 0) {
    id_ = kFirstControlId + static_cast<UINT>(fs_.peers.size());
    if (!ctl_.Visible()) style &= ~WS_VISIBLE; else style |= WS_VISIBLE;
    if (!ctl_.Enabled()) style |= WS_DISABLED;
    hwnd_ = CreateWindowExA(exStyle, cls, ctl_.Caption().c_str(), style | WS_CHILD | WS_CLIPSIBLINGS,
                            ctl_.FormLeft(), ctl_.FormTop(), ctl_.Width(), ctl_.Height(), fs_.hwnd,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)), g_instance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(ctl_.Font())), FALSE);
    fs_.byId[id_] = this;
    fs_.peers.push_back(this);
    UpdateTooltip(true);
  }

  // Routes the control's own messages through OwnWndProc.
  void Subclass() {
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlPeer::SubProc)));
  }

  HWND hwnd() const { return hwnd_; }
  TControl& control() { return ctl_; }

  void Changed(Prop what) override {
    if (!hwnd_) return;
    switch (what) {
      case Prop::Caption:
        SetWindowTextA(hwnd_, ctl_.Caption().c_str());
        AfterCaption();
        InvalidateRect(hwnd_, nullptr, TRUE);
        break;
      case Prop::Hint:
        UpdateTooltip(false);
        break;
      case Prop::Bounds:
        MoveWindow(hwnd_, ctl_.FormLeft(), ctl_.FormTop(), ctl_.Width(), ctl_.Height(), TRUE);
        break;
      case Prop::Visible:
        ShowWindow(hwnd_, ctl_.Visible() ? SW_SHOWNA : SW_HIDE);
        break;
      case Prop::Enabled:
        EnableWindow(hwnd_, ctl_.Enabled());
        InvalidateRect(hwnd_, nullptr, TRUE);
        break;
      case Prop::Font:
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(ctl_.Font())), TRUE);
        InvalidateRect(hwnd_, nullptr, TRUE);
        break;
      default:
        OtherChange(what);
        InvalidateRect(hwnd_, nullptr, TRUE);
        break;
    }
  }

  // WM_DRAWITEM for owner-drawn controls.
  virtual void Draw(const DRAWITEMSTRUCT&) {}
  // WM_COMMAND notification from the control.
  virtual void Command(UINT code) {
    // An owner-drawn button reports a quick second click as a double click.
    if (code == BN_CLICKED || code == STN_CLICKED || (code == BN_DOUBLECLICKED && ownerDrawnButton_))
      Guard([&] { ctl_.Click(); });
  }
  // WM_CTLCOLOR*; null for the default.
  virtual HBRUSH CtlColor(HDC) { return nullptr; }

 protected:
  virtual void OtherChange(Prop) {}
  virtual void AfterCaption() {}
  virtual LRESULT OwnWndProc(UINT msg, WPARAM wp, LPARAM lp) {
    return CallWindowProcA(oldProc_, hwnd_, msg, wp, lp);
  }

  void PaintSurface(HDC dc, const RECT& rc) {
    RECT formRect = {ctl_.FormLeft(), ctl_.FormTop(), ctl_.FormLeft() + (rc.right - rc.left),
                     ctl_.FormTop() + (rc.bottom - rc.top)};
    PaintFormSurface(*fs_.form, dc, formRect);
  }

  void DrawCaption(HDC dc, RECT rc, UINT format, COLORREF color) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    HGDIOBJ old = SelectObject(dc, FontFor(ctl_.Font()));
    DrawTextA(dc, ctl_.Caption().c_str(), -1, &rc, format);
    SelectObject(dc, old);
  }

  // Tracks the mouse entering and leaving; returns true on a change.
  bool TrackHover(UINT msg, bool* inside) {
    if (msg == WM_MOUSEMOVE && !*inside) {
      *inside = true;
      TRACKMOUSEEVENT t = {sizeof t, TME_LEAVE, hwnd_, 0};
      TrackMouseEvent(&t);
      return true;
    }
    if (msg == WM_MOUSELEAVE && *inside) {
      *inside = false;
      return true;
    }
    return false;
  }

  TControl& ctl_;
  FormState& fs_;
  HWND hwnd_ = nullptr;
  UINT id_ = 0;
  WNDPROC oldProc_ = nullptr;
  bool ownerDrawnButton_ = false;

 private:
  static LRESULT CALLBACK SubProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<ControlPeer*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (!self) return DefWindowProcA(h, msg, wp, lp);
    if (msg == WM_SETCURSOR && self->ctl_.HandCursor()) {
      SetCursor(LoadCursor(nullptr, IDC_HAND));
      return TRUE;
    }
    return self->OwnWndProc(msg, wp, lp);
  }

  void UpdateTooltip(bool adding) {
    if (!fs_.tooltip || !hwnd_) return;
    TOOLINFOA ti = {};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = fs_.hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    ti.lpszText = const_cast<char*>(ctl_.Hint().c_str());
    bool want = ctl_.ShowHint() && !ctl_.Hint().empty();
    if (want && (adding || !hasTip_)) {
      SendMessageA(fs_.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
      hasTip_ = true;
    } else if (want) {
      SendMessageA(fs_.tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    } else if (hasTip_) {
      SendMessageA(fs_.tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
      hasTip_ = false;
    }
  }
  bool hasTip_ = false;
};

// Labels: transparent text over the form's surface.
class LabelPeer : public ControlPeer {
 public:
  LabelPeer(TCustomLabel& l, FormState& fs) : ControlPeer(l, fs), label_(l) {
    // Only labels that act on a click take the mouse; the others let it
    // through to the window beneath (the main window drags from there).
    bool clickable = As<TsuiURLLabel>(&l) || l.OnClick;
    FitWidth();
    Create("STATIC", SS_OWNERDRAW | (clickable ? SS_NOTIFY : 0));
    if (clickable || l.HandCursor()) Subclass();
  }
  void Draw(const DRAWITEMSTRUCT& d) override {
    PaintSurface(d.hDC, d.rcItem);
    UINT fmt = DT_SINGLELINE | DT_NOPREFIX | DT_TOP;
    fmt |= label_.Alignment() == TAlignment::Right ? DT_RIGHT : label_.Alignment() == TAlignment::Center ? DT_CENTER : DT_LEFT;
    COLORREF color = ctl_.Enabled() ? Rgb(ctl_.Font().color) : GetSysColor(COLOR_GRAYTEXT);
    DrawCaption(d.hDC, d.rcItem, fmt, color);
  }

 protected:
  void AfterCaption() override { FitWidth(); }
  LRESULT OwnWndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    auto* url = As<TsuiURLLabel>(&label_);
    if (url && TrackHover(msg, &inside_))
      url->SetHoverState(inside_ ? TsuiURLLabel::Hover::Inside : TsuiURLLabel::Hover::Left);
    return ControlPeer::OwnWndProc(msg, wp, lp);
  }

 private:
  void FitWidth() {
    if (!label_.AutoSize()) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontFor(label_.Font()));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SIZE sz = {0, 0};
    GetTextExtentPoint32A(dc, label_.Caption().c_str(), static_cast<int>(label_.Caption().size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    label_.SetBounds(label_.Left(), label_.Top(), sz.cx, tm.tmHeight);
  }
  TCustomLabel& label_;
  bool inside_ = false;
};

// Pictures; the close button's picture control adds hover and press.
class ImagePeer : public ControlPeer {
 public:
  ImagePeer(TImage& img, FormState& fs) : ControlPeer(img, fs), img_(img) {
    shift_ = As<TWlmShiftImage>(&img);
    Create("STATIC", SS_OWNERDRAW | (shift_ ? SS_NOTIFY : 0));
    if (shift_) Subclass();
  }
  void Draw(const DRAWITEMSTRUCT& d) override {
    PaintSurface(d.hDC, d.rcItem);
    const TPicture& p = img_.Picture();
    if (p.kind == TPicture::Kind::Icon) {
      HICON icon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(p.resourceId), IMAGE_ICON,
                                                  32, 32, LR_SHARED));
      if (icon) DrawIconEx(d.hDC, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
      return;
    }
    SIZE sz;
    HBITMAP bmp = PictureBitmap(p, &sz);
    if (!bmp) return;
    HDC mem = CreateCompatibleDC(d.hDC);
    HGDIOBJ old = SelectObject(mem, bmp);
    int w = d.rcItem.right - d.rcItem.left, h = d.rcItem.bottom - d.rcItem.top;
    if (img_.Stretch)
      StretchBlt(d.hDC, 0, 0, w, h, mem, 0, 0, sz.cx, sz.cy, SRCCOPY);
    else
      BitBlt(d.hDC, 0, 0, std::min<int>(w, sz.cx), std::min<int>(h, sz.cy), mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  void Command(UINT) override {}  // clicks come from the mouse handling below

 protected:
  LRESULT OwnWndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (TrackHover(msg, &inside_)) Guard([&] { inside_ ? shift_->MouseEnter() : shift_->MouseLeave(); });
    switch (msg) {
      case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
      case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        SetCapture(hwnd_);
        pressed_ = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
        ++down_;
        Guard([&] { shift_->MouseDown(); });
        return 0;
      case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
        if (down_ == 0) return 0;
        POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        RECT rc;
        GetClientRect(hwnd_, &rc);
        bool click = msg == WM_LBUTTONUP && pressed_ && PtInRect(&rc, pt);
        pressed_ = false;
        // Releasing the capture sends WM_CAPTURECHANGED at once: count first.
        --down_;
        if (down_ == 0) ReleaseCapture();
        // The click comes before the picture moves back.
        if (click) Guard([&] { shift_->Click(); });
        if (IsWindow(hwnd_)) Guard([&] { shift_->MouseUp(); });
        return 0;
      }
      case WM_CAPTURECHANGED:
        // Capture taken away mid-press: put the picture back.
        while (down_ > 0) {
          --down_;
          Guard([&] { shift_->MouseUp(); });
        }
        pressed_ = false;
        break;
      case WM_NCHITTEST:
        return HTCLIENT;
    }
    return ControlPeer::OwnWndProc(msg, wp, lp);
  }

 private:
  TImage& img_;
  TWlmShiftImage* shift_ = nullptr;
  bool inside_ = false;
  bool pressed_ = false;
  int down_ = 0;
};

// Flat speed button: transparent until the mouse is over it, then silver.
class FlatButtonPeer : public ControlPeer {
 public:
  FlatButtonPeer(TFlatSpeedButton& b, FormState& fs) : ControlPeer(b, fs), btn_(b) {
    Create("BUTTON", BS_OWNERDRAW | WS_TABSTOP);
    ownerDrawnButton_ = true;
    Subclass();
  }
  void Draw(const DRAWITEMSTRUCT& d) override {
    RECT rc = d.rcItem;
    bool pressed = d.itemState & ODS_SELECTED;
    if (btn_.Hot() && ctl_.Enabled()) {
      HBRUSH face = CreateSolidBrush(Rgb(btn_.ColorFocused));
      FillRect(d.hDC, &rc, face);
      DeleteObject(face);
      DrawEdge(d.hDC, &rc, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else {
      PaintSurface(d.hDC, rc);
      HBRUSH border = CreateSolidBrush(Rgb(btn_.ColorBorder));
      FrameRect(d.hDC, &rc, border);
      DeleteObject(border);
    }
    RECT text = rc;
    if (pressed) OffsetRect(&text, 1, 1);
    if (ctl_.Enabled()) {
      DrawCaption(d.hDC, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER, RGB(0, 0, 0));
    } else {
      RECT t2 = text;
      OffsetRect(&t2, 1, 1);
      DrawCaption(d.hDC, t2, DT_SINGLELINE | DT_CENTER | DT_VCENTER, GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawCaption(d.hDC, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER, GetSysColor(COLOR_GRAYTEXT));
    }
    if ((d.itemState & ODS_FOCUS) && !(d.itemState & ODS_NOFOCUSRECT)) {
      RECT f = rc;
      InflateRect(&f, -3, -3);
      DrawFocusRect(d.hDC, &f);
    }
  }

 protected:
  LRESULT OwnWndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (TrackHover(msg, &inside_)) btn_.SetHot(inside_);
    return ControlPeer::OwnWndProc(msg, wp, lp);
  }

 private:
  TFlatSpeedButton& btn_;
  bool inside_ = false;
};

// Skinned push button, or a real themed one for the plain kind.
class ButtonPeer : public ControlPeer {
 public:
  ButtonPeer(TButtonControl& b, FormState& fs) : ControlPeer(b, fs), btn_(b) {
    image_ = As<TsuiImageButton>(&b);
    skinned_ = image_ || As<TsuiButton>(&b);
    DWORD style = WS_TABSTOP | (skinned_ ? BS_OWNERDRAW : (b.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
    Create("BUTTON", style);
    ownerDrawnButton_ = skinned_;
    if (skinned_) Subclass();
  }
  void Draw(const DRAWITEMSTRUCT& d) override {
    RECT rc = d.rcItem;
    bool pressed = d.itemState & ODS_SELECTED;
    if (image_) {
      const TPicture& p = pressed ? image_->PictureDown : inside_ ? image_->PictureHover : image_->PictureNormal;
      SIZE sz;
      HBITMAP bmp = PictureBitmap(p, &sz);
      if (!bmp) bmp = PictureBitmap(image_->PictureNormal, &sz);
      PaintSurface(d.hDC, rc);
      if (bmp) {
        HDC mem = CreateCompatibleDC(d.hDC);
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(d.hDC, 0, 0, sz.cx, sz.cy, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
      }
      return;
    }
    // A soft vertical gradient with a rounded border, brighter under the mouse.
    PaintSurface(d.hDC, rc);
    COLORREF top = inside_ ? RGB(255, 255, 255) : RGB(252, 252, 250);
    COLORREF bottom = pressed ? RGB(214, 208, 226) : inside_ ? RGB(226, 220, 240) : RGB(230, 228, 222);
    if (pressed) std::swap(top, bottom);
    int h = rc.bottom - rc.top;
    HRGN clip = CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, 5, 5);
    SelectClipRgn(d.hDC, clip);
    for (int y = 0; y < h; ++y) {
      int r = GetRValue(top) + (GetRValue(bottom) - GetRValue(top)) * y / std::max(1, h - 1);
      int g = GetGValue(top) + (GetGValue(bottom) - GetGValue(top)) * y / std::max(1, h - 1);
      int b = GetBValue(top) + (GetBValue(bottom) - GetBValue(top)) * y / std::max(1, h - 1);
      HBRUSH br = CreateSolidBrush(RGB(r, g, b));
      RECT line = {rc.left, rc.top + y, rc.right, rc.top + y + 1};
      FillRect(d.hDC, &line, br);
      DeleteObject(br);
    }
    SelectClipRgn(d.hDC, nullptr);
    DeleteObject(clip);
    bool isDefault = btn_.Default || (d.itemState & ODS_FOCUS);
    HPEN pen = CreatePen(PS_SOLID, 1, isDefault ? RGB(112, 96, 160) : RGB(128, 128, 136));
    HGDIOBJ oldPen = SelectObject(d.hDC, pen);
    HGDIOBJ oldBrush = SelectObject(d.hDC, GetStockObject(NULL_BRUSH));
    RoundRect(d.hDC, rc.left, rc.top, rc.right, rc.bottom, 5, 5);
    SelectObject(d.hDC, oldBrush);
    SelectObject(d.hDC, oldPen);
    DeleteObject(pen);
    RECT text = rc;
    if (pressed) OffsetRect(&text, 1, 1);
    UINT fmt = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    if (d.itemState & ODS_NOACCEL) fmt |= DT_HIDEPREFIX;
    DrawCaption(d.hDC, text, fmt, ctl_.Enabled() ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT));
    if ((d.itemState & ODS_FOCUS) && !(d.itemState & ODS_NOFOCUSRECT)) {
      RECT f = rc;
      InflateRect(&f, -3, -3);
      DrawFocusRect(d.hDC, &f);
    }
  }

 protected:
  LRESULT OwnWndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (TrackHover(msg, &inside_)) InvalidateRect(hwnd_, nullptr, FALSE);
    return ControlPeer::OwnWndProc(msg, wp, lp);
  }

 private:
  TButtonControl& btn_;
  TsuiImageButton* image_ = nullptr;
  bool skinned_ = false;
  bool inside_ = false;
};

class CheckBoxPeer : public ControlPeer {
 public:
  CheckBoxPeer(TsuiCheckBox& c, FormState& fs) : ControlPeer(c, fs), box_(c) {
    Create("BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP);
    SendMessageA(hwnd_, BM_SETCHECK, c.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void Command(UINT code) override {
    if (code != BN_CLICKED) return;
    box_.SyncChecked(SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED);
    Guard([&] { box_.Click(); });
  }
  HBRUSH CtlColor(HDC dc) override {
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
  }

 protected:
  void OtherChange(Prop what) override {
    if (what == Prop::Checked)
      SendMessageA(hwnd_, BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }

 private:
  TsuiCheckBox& box_;
};

// A real group box for the accessibility tree, painted here in full: the
// stock one leaves its inside unpainted, which shows as garbage once the
// form clips its children.
class GroupBoxPeer : public ControlPeer {
 public:
  GroupBoxPeer(TControl& c, FormState& fs) : ControlPeer(c, fs) {
    Create("BUTTON", BS_GROUPBOX);
    Subclass();
  }
  void Command(UINT) override {}

 protected:
  LRESULT OwnWndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT rc;
      GetClientRect(hwnd_, &rc);
      PaintSurface(dc, rc);
      HGDIOBJ old = SelectObject(dc, FontFor(ctl_.Font()));
      TEXTMETRICA tm;
      GetTextMetricsA(dc, &tm);
      RECT frame = rc;
      frame.top += tm.tmHeight / 2;
      DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
      if (!ctl_.Caption().empty()) {
        SIZE sz;
        GetTextExtentPoint32A(dc, ctl_.Caption().c_str(), static_cast<int>(ctl_.Caption().size()), &sz);
        RECT text = {8, 0, 8 + sz.cx + 4, tm.tmHeight};
        FillRect(dc, &text, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TextOutA(dc, 10, 0, ctl_.Caption().c_str(), static_cast<int>(ctl_.Caption().size()));
      }
      SelectObject(dc, old);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    return ControlPeer::OwnWndProc(msg, wp, lp);
  }
};

// Separator panels and one-pixel rules.
class PanelPeer : public ControlPeer {
 public:
  PanelPeer(TCustomPanel& p, FormState& fs) : ControlPeer(p, fs) { Create("STATIC", SS_OWNERDRAW); }
  void Draw(const DRAWITEMSTRUCT& d) override {
    RECT rc = d.rcItem;
    if (auto* rule = As<TsuiImagePanel>(&ctl_)) {
      HBRUSH br = rule->UseActiveCaptionColor ? GetSysColorBrush(COLOR_ACTIVECAPTION) : CreateSolidBrush(Rgb(rule->Color));
      FillRect(d.hDC, &rc, br);
      if (!rule->UseActiveCaptionColor) DeleteObject(br);
      return;
    }
    PaintSurface(d.hDC, rc);
    DrawEdge(d.hDC, &rc, BDR_SUNKENOUTER, BF_RECT);
    if (!ctl_.Caption().empty())
      DrawCaption(d.hDC, rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER, RGB(0, 0, 0));
  }
  void Command(UINT) override {}
};

// The progress bar is a real progress control painted with its caption.
class ProgressPeer : public ControlPeer {
 public:
  ProgressPeer(TsuiProgressBar& b, FormState& fs) : ControlPeer(b, fs), bar_(b) {
    Create(PROGRESS_CLASSA, 0);
    SendMessageA(hwnd_, PBM_SETRANGE32, b.Min, b.Max);
    SendMessageA(hwnd_, PBM_SETPOS, b.Position(), 0);
    Subclass();
  }
  void Command(UINT) override {}

 protected:
  void OtherChange(Prop what) override {
    if (what == Prop::Position) {
      SendMessageA(hwnd_, PBM_SETPOS, bar_.Position(), 0);
      SetWindowTextA(hwnd_, bar_.ShowCaption ? bar_.PercentCaption().c_str() : "");
    }
  }
  LRESULT OwnWndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    return ControlPeer::OwnWndProc(msg, wp, lp);
  }

 private:
  void Paint(HDC dc) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    HBRUSH back = CreateSolidBrush(RGB(250, 250, 252));
    FillRect(dc, &rc, back);
    DeleteObject(back);
    long long range = static_cast<long long>(bar_.Max) - bar_.Min;
    int fill = range > 0 ? static_cast<int>((rc.right - 2) * (static_cast<long long>(bar_.Position()) - bar_.Min) / range) : 0;
    int h = rc.bottom - 2;
    for (int y = 0; y < h; ++y) {
      // Lavender, lighter at the top edge.
      int t = y * 255 / std::max(1, h - 1);
      COLORREF c = RGB(196 - t * 40 / 255, 184 - t * 52 / 255, 236 - t * 20 / 255);
      HBRUSH br = CreateSolidBrush(c);
      RECT line = {1, 1 + y, 1 + fill, 2 + y};
      FillRect(dc, &line, br);
      DeleteObject(br);
    }
    HBRUSH frame = CreateSolidBrush(RGB(140, 132, 170));
    FrameRect(dc, &rc, frame);
    DeleteObject(frame);
    if (bar_.ShowCaption) {
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(0, 0, 0));
      HGDIOBJ old = SelectObject(dc, FontFor(ctl_.Font()));
      std::string text = bar_.PercentCaption();
      DrawTextA(dc, text.c_str(), -1, &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
      SelectObject(dc, old);
    }
  }
  TsuiProgressBar& bar_;
};

class MemoPeer : public ControlPeer {
 public:
  MemoPeer(TMemo& m, FormState& fs) : ControlPeer(m, fs) {
    Create("EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL);
  }
  void Command(UINT) override {}
  HBRUSH CtlColor(HDC dc) override {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
  }
};

class ListViewPeer : public ControlPeer {
 public:
  ListViewPeer(TListView& lv, FormState& fs) : ControlPeer(lv, fs), lv_(lv) {
    Create(WC_LISTVIEWA, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_BORDER);
    for (std::size_t i = 0; i < lv.Columns().size(); ++i) {
      const TListColumn& c = lv.Columns()[i];
      LVCOLUMNA col = {};
      col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      col.fmt = c.alignment == TAlignment::Right ? LVCFMT_RIGHT : LVCFMT_LEFT;
      col.cx = c.width;
      col.pszText = const_cast<char*>(c.caption.c_str());
      SendMessageA(hwnd_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
    }
    ApplyStyle();
    Rebuild();
  }
  void Command(UINT) override {}

 protected:
  void OtherChange(Prop what) override {
    if (what == Prop::GridLines) ApplyStyle();
    if (what == Prop::Items) {
      // A row added at the end goes in alone; anything else is rebuilt.
      std::size_t shown = static_cast<std::size_t>(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0));
      if (lv_.RowCount() == shown + 1 && lv_.changedRow == shown)
        InsertRow(shown);
      else
        Rebuild();
    }
    if (what == Prop::Columns && lv_.changedCol < lv_.Columns().size()) {
      LVCOLUMNA col = {};
      // The format goes along: some list views reset the alignment otherwise.
      col.mask = LVCF_TEXT | LVCF_FMT;
      col.fmt = lv_.Columns()[lv_.changedCol].alignment == TAlignment::Right ? LVCFMT_RIGHT : LVCFMT_LEFT;
      col.pszText = const_cast<char*>(lv_.Columns()[lv_.changedCol].caption.c_str());
      SendMessageA(hwnd_, LVM_SETCOLUMNA, lv_.changedCol, reinterpret_cast<LPARAM>(&col));
    }
  }
  LRESULT OwnWndProc(UINT msg, WPARAM wp, LPARAM lp) override { return ControlPeer::OwnWndProc(msg, wp, lp); }

 public:
  void Changed(Prop what) override {
    if (what == Prop::Caption) {  // one cell
      SetCellText(lv_.changedRow, lv_.changedCol);
      return;
    }
    ControlPeer::Changed(what);
  }

 private:
  void ApplyStyle() {
    DWORD ex = LVS_EX_FULLROWSELECT | (lv_.GridLines() ? LVS_EX_GRIDLINES : 0);
    SendMessageA(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, ex);
  }
  void SetCellText(std::size_t row, std::size_t col) {
    LVITEMA it = {};
    it.iSubItem = static_cast<int>(col);
    it.pszText = const_cast<char*>(lv_.Cell(row, col).c_str());
    SendMessageA(hwnd_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&it));
  }
  void InsertRow(std::size_t r) {
    LVITEMA it = {};
    it.mask = LVIF_TEXT;
    it.iItem = static_cast<int>(r);
    it.pszText = const_cast<char*>(lv_.Cell(r, 0).c_str());
    SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
    for (std::size_t c = 1; c < lv_.Columns().size(); ++c) SetCellText(r, c);
  }
  void Rebuild() {
    SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < lv_.RowCount(); ++r) InsertRow(r);
  }
  TListView& lv_;
};

class TimerPeer : public Peer {
 public:
  TimerPeer(TTimer& t, FormState& fs, UINT_PTR id) : t_(t), fs_(fs), id_(id) {
    fs.timers[id] = &t;
    Changed(Prop::Timer);
  }
  ~TimerPeer() override {
    if (fs_.hwnd) KillTimer(fs_.hwnd, id_);
  }
  void Changed(Prop) override {
    KillTimer(fs_.hwnd, id_);
    if (t_.Enabled() && t_.Interval() > 0) SetTimer(fs_.hwnd, id_, t_.Interval(), nullptr);
  }

 private:
  TTimer& t_;
  FormState& fs_;
  UINT_PTR id_;
};

class FormPeer : public Peer {
 public:
  explicit FormPeer(FormState& fs) : fs_(fs) {}
  void Changed(Prop what) override {
    if (what == Prop::Caption && fs_.hwnd) SetWindowTextA(fs_.hwnd, fs_.form->Caption().c_str());
  }

 private:
  FormState& fs_;
};

// ---------------------------------------------------------- form windows

LRESULT CALLBACK FormProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

void RegisterFormClass(const std::string& name) {
  static std::set<std::string> done;
  if (done.count(name)) return;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = FormProc;
  wc.hInstance = g_instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(1));
  wc.hIconSm = static_cast<HICON>(LoadImageA(g_instance, MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0));
  wc.hbrBackground = nullptr;
  wc.lpszClassName = name.c_str();
  RegisterClassExA(&wc);
  done.insert(name);
}

void CreatePeers(FormState& fs) {
  UINT_PTR timerId = kFirstTimerId;
  UINT menuCmd = kFirstMenuCommand;
  for (TComponent* c : fs.form->Components()) {
    if (auto* img = As<TImage>(c); img && img->FormBackground) {
      fs.background = img;
      continue;
    }
    if (auto* l = As<TCustomLabel>(c)) c->SetPeer(std::make_unique<LabelPeer>(*l, fs));
    else if (auto* i = As<TImage>(c)) c->SetPeer(std::make_unique<ImagePeer>(*i, fs));
    else if (auto* f = As<TFlatSpeedButton>(c)) c->SetPeer(std::make_unique<FlatButtonPeer>(*f, fs));
    else if (auto* b = As<TButtonControl>(c)) c->SetPeer(std::make_unique<ButtonPeer>(*b, fs));
    else if (auto* cb = As<TsuiCheckBox>(c)) c->SetPeer(std::make_unique<CheckBoxPeer>(*cb, fs));
    else if (As<TCustomGroupBox>(c) || As<TsuiGroupBox>(c))
      c->SetPeer(std::make_unique<GroupBoxPeer>(*static_cast<TControl*>(c), fs));
    else if (auto* pb = As<TsuiProgressBar>(c)) c->SetPeer(std::make_unique<ProgressPeer>(*pb, fs));
    else if (auto* p = As<TCustomPanel>(c)) c->SetPeer(std::make_unique<PanelPeer>(*p, fs));
    else if (auto* m = As<TMemo>(c)) c->SetPeer(std::make_unique<MemoPeer>(*m, fs));
    else if (auto* lv = As<TListView>(c)) c->SetPeer(std::make_unique<ListViewPeer>(*lv, fs));
    else if (auto* t = As<TTimer>(c)) c->SetPeer(std::make_unique<TimerPeer>(*t, fs, timerId++));
    else if (auto* mi = As<TMenuItem>(c)) {
      mi->Command = static_cast<int>(menuCmd);
      fs.menuCommands[menuCmd++] = mi;
    } else if (auto* pm = As<TPopupMenu>(c)) {
      HWND owner = fs.hwnd;
      pm->DoPopup = [pm, owner](int x, int y) {
        HMENU menu = CreatePopupMenu();
        for (TMenuItem* it : pm->Items()) {
          if (it->IsSeparator())
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
          else
            AppendMenuA(menu, MF_STRING | (it->Checked() ? MF_CHECKED : 0), it->Command, it->Caption().c_str());
        }
        // The owner must be in front for the menu to close when clicking elsewhere.
        SetForegroundWindow(owner);
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
        PostMessageA(owner, WM_NULL, 0, 0);
        DestroyMenu(menu);
      };
    }
  }
  // Tab order: controls with an explicit order follow one another in it.
  std::vector<ControlPeer*> ordered;
  for (ControlPeer* p : fs.peers)
    if (p->control().TabOrder() >= 0) ordered.push_back(p);
  std::stable_sort(ordered.begin(), ordered.end(), [](ControlPeer* a, ControlPeer* b) {
    return a->control().TabOrder() < b->control().TabOrder();
  });
  HWND after = HWND_TOP;
  for (ControlPeer* p : ordered) {
    SetWindowPos(p->hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = p->hwnd();
  }
  // Group boxes lie beneath the controls they hold, so that those stay
  // visible and clickable.
  for (ControlPeer* p : fs.peers)
    if (As<TCustomGroupBox>(&p->control()) || As<TsuiGroupBox>(&p->control()))
      SetWindowPos(p->hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CenterWindow(HWND h, HWND on) {
  RECT r, area;
  GetWindowRect(h, &r);
  if (on && IsWindowVisible(on) && !IsIconic(on)) GetWindowRect(on, &area);
  else SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  int w = r.right - r.left, hh = r.bottom - r.top;
  int x = area.left + (area.right - area.left - w) / 2;
  int y = area.top + (area.bottom - area.top - hh) / 2;
  SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

FormState& EnsureWindow(TForm& f) {
  if (FormState* fs = StateOf(&f); fs && fs->hwnd) return *fs;
  auto* fs = new FormState;
  fs->form = &f;
  g_forms[&f] = fs;
  std::string cls = f.WindowClassName.empty() ? "T" + f.Name() : f.WindowClassName;
  RegisterFormClass(cls);
  DWORD style = WS_CLIPCHILDREN, ex = 0;
  if (f.BorderStyle == TBorderStyle::None) {
    style |= WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;
    ex |= WS_EX_APPWINDOW;
  } else {
    style |= WS_POPUP | WS_CAPTION | (f.CloseBox ? WS_SYSMENU : 0);
    ex |= WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  }
  RECT rc = {0, 0, f.ClientWidth, f.ClientHeight};
  AdjustWindowRectEx(&rc, style, FALSE, ex);
  HWND owner = f.OwnerForm ? FormHwnd(*f.OwnerForm) : nullptr;
  fs->hwnd = CreateWindowExA(ex, cls.c_str(), f.Caption().c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                             rc.right - rc.left, rc.bottom - rc.top, owner, nullptr, g_instance, nullptr);
  if (!fs->hwnd) throw std::runtime_error("Could not create the window " + f.Name());
  SetWindowLongPtrA(fs->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fs));
  f.SetHandle(reinterpret_cast<std::uintptr_t>(fs->hwnd));
  f.SetPeer(std::make_unique<FormPeer>(*fs));
  fs->tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, fs->hwnd, nullptr,
                                g_instance, nullptr);
  CreatePeers(*fs);
  CenterWindow(fs->hwnd, owner);
  return *fs;
}

void DestroyForm(TForm& f) {
  FormState* fs = StateOf(&f);
  if (!fs) return;
  // Peers first: they end timers and destroy their controls.
  for (TComponent* c : f.Components()) c->SetPeer(nullptr);
  f.SetPeer(nullptr);
  HWND h = fs->hwnd;
  fs->hwnd = nullptr;
  if (h && IsWindow(h)) {
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    DestroyWindow(h);
  }
  f.SetHandle(0);
  g_forms.erase(&f);
  delete fs;
}

class Backend : public FormBackend {
 public:
  void Show(TForm& f) override {
    FormState& fs = EnsureWindow(f);
    if (!f.Showing()) {
      f.SetShowing(true);
      Guard([&] { f.DoShow(); });
    }
    if (!fs.hwnd) return;
    ShowWindow(fs.hwnd, SW_SHOW);
    UpdateWindow(fs.hwnd);
  }
  void Hide(TForm& f) override {
    if (FormState* fs = StateOf(&f); fs && fs->hwnd) ShowWindow(fs->hwnd, SW_HIDE);
  }
  int ShowModal(TForm& f) override {
    FormState& fs = EnsureWindow(f);
    HWND owner = f.OwnerForm ? FormHwnd(*f.OwnerForm) : nullptr;
    f.SetModalResult(mrNone);
    fs.closeNotified = false;
    f.SetInModal(true);
    if (owner) EnableWindow(owner, FALSE);
    f.SetShowing(true);
    Guard([&] { f.DoShow(); });
    HWND h = fs.hwnd;
    if (f.ModalResult() == mrNone && IsWindow(h)) {
      ShowWindow(h, SW_SHOW);
      SetActiveWindow(h);
      // Keyboard users start on the first control in tab order.
      if (HWND first = GetNextDlgTabItem(h, nullptr, FALSE)) SetFocus(first);
    }
    MSG msg;
    while (f.ModalResult() == mrNone && IsWindow(h)) {
      BOOL r = GetMessageA(&msg, nullptr, 0, 0);
      if (r == 0) {  // the program is ending: leave the quit for the outer loop
        PostQuitMessage(static_cast<int>(msg.wParam));
        if (f.ModalResult() == mrNone) f.SetModalResult(mrCancel);
        break;
      }
      if (r < 0) break;
      if (!IsDialogMessageA(h, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    if (f.ModalResult() == mrNone) f.SetModalResult(mrCancel);
    if (!fs.closeNotified && f.OnClose) {
      fs.closeNotified = true;
      Guard([&] { f.OnClose(); });
    }
    f.SetInModal(false);
    f.SetShowing(false);
    if (owner) {
      EnableWindow(owner, TRUE);
      if (IsWindowVisible(owner)) SetActiveWindow(owner);
    }
    int result = f.ModalResult();
    DestroyForm(f);
    return result;
  }
  void Close(TForm& f) override {
    FormState* fs = StateOf(&f);
    if (f.InModal()) {
      if (fs && !fs->closeNotified) {
        fs->closeNotified = true;
        if (f.OnClose) Guard([&] { f.OnClose(); });
      }
      if (f.ModalResult() == mrNone) f.SetModalResult(mrCancel);
      return;
    }
    if (fs && !fs->closeNotified) {
      fs->closeNotified = true;
      if (f.OnClose) Guard([&] { f.OnClose(); });
    }
    f.SetShowing(false);
    // The close may come from an event of one of the form's own controls:
    // the window goes away once that event has run to its end.
    if (fs && fs->hwnd) {
      ShowWindow(fs->hwnd, SW_HIDE);
      PostMessageA(fs->hwnd, kDestroyForm, 0, 0);
    } else if (!f.OwnerForm) {
      Terminate(g_exitCode);
    }
  }
  void Released(TForm& f) override { DestroyForm(f); }
  void ModalResultChanged(TForm& f) override {
    // Wake the modal loop so that it sees the result.
    if (FormState* fs = StateOf(&f); fs && fs->hwnd) PostMessageA(fs->hwnd, WM_NULL, 0, 0);
  }
};

Backend g_backendImpl;

LRESULT CALLBACK FormProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* fs = reinterpret_cast<FormState*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (!fs || !fs->form) return DefWindowProcA(h, msg, wp, lp);
  TForm& f = *fs->form;
  std::intptr_t result = 0;
  bool handled = false;
  Guard([&] { handled = f.HandleMessage(msg, wp, lp, &result); });
  if (handled) return result;
  // The form may have been destroyed by its handler.
  fs = reinterpret_cast<FormState*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (!fs) return DefWindowProcA(h, msg, wp, lp);

  switch (msg) {
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(h, &rc);
      PaintFormSurface(f, reinterpret_cast<HDC>(wp), rc);
      return 1;
    }
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      auto* peer = reinterpret_cast<ControlPeer*>(GetWindowLongPtrA(d->hwndItem, GWLP_USERDATA));
      if (peer) peer->Draw(*d);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: {
      auto* peer = reinterpret_cast<ControlPeer*>(GetWindowLongPtrA(reinterpret_cast<HWND>(lp), GWLP_USERDATA));
      if (peer)
        if (HBRUSH b = peer->CtlColor(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(b);
      break;
    }
    case WM_COMMAND: {
      UINT id = LOWORD(wp), code = HIWORD(wp);
      if (lp == 0) {
        auto it = fs->menuCommands.find(id);
        if (it != fs->menuCommands.end()) {
          TMenuItem* item = it->second;
          if (item->OnClick) Guard([&] { item->OnClick(item); });
          return 0;
        }
        if (id == IDCANCEL || id == IDOK) {
          // Enter and Escape from the dialog manager.
          for (ControlPeer* p : fs->peers)
            if (auto* b = As<TButtonControl>(&p->control());
                b && b->Visible() && b->Enabled() && (id == IDOK ? b->Default : b->Cancel)) {
              Guard([&] { b->Click(); });
              return 0;
            }
          if (id == IDCANCEL && f.InModal() && f.CloseBox) f.Close();
          return 0;
        }
        break;
      }
      auto it = fs->byId.find(id);
      if (it != fs->byId.end()) it->second->Command(code);
      return 0;
    }
    case DM_GETDEFID:
      for (ControlPeer* p : fs->peers)
        if (auto* b = As<TButtonControl>(&p->control()); b && b->Default)
          return MAKELRESULT(GetDlgCtrlID(p->hwnd()), DC_HASDEFID);
      return 0;
    case WM_TIMER: {
      auto it = fs->timers.find(wp);
      if (it != fs->timers.end() && it->second->Enabled() && it->second->OnTimer) {
        TTimer* t = it->second;
        Guard([&] { t->OnTimer(); });
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && f.OnActivate) {
        fs->activatedOnce = true;
        Guard([&] { f.OnActivate(); });
      }
      break;
    case WM_CLOSE:
      f.Close();
      return 0;
    case kDestroyForm: {
      bool main = !f.OwnerForm;
      DestroyForm(f);
      if (main) Terminate(g_exitCode);
      return 0;
    }
    case WM_DESTROY:
      break;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

// ------------------------------------------------------------- public API

void InitToolkit(HINSTANCE instance) {
  g_instance = instance;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES |
                                              ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  SetFormBackend(&g_backendImpl);
}

HINSTANCE Instance() { return g_instance; }

HWND FormHwnd(const TForm& f) {
  FormState* fs = StateOf(&f);
  return fs ? fs->hwnd : nullptr;
}

HWND ControlHwnd(const TComponent& c) {
  TForm* f = FormOf(&c);
  FormState* fs = f ? StateOf(f) : nullptr;
  if (!fs) return nullptr;
  for (ControlPeer* p : fs->peers)
    if (&p->control() == &c) return p->hwnd();
  return nullptr;
}

void SetApplicationTitle(const std::string& title) { g_title = title; }
const std::string& ApplicationTitle() { return g_title; }

int MessageBoxApp(const std::string& text, UINT flags, HWND owner) {
  if (!owner) {
    owner = GetActiveWindow();
    if (owner && !IsWindowVisible(owner)) owner = nullptr;
  }
  return MessageBoxA(owner, text.c_str(), g_title.c_str(), flags);
}

void ShowException(const std::string& text) { MessageBoxApp(text, MB_OK | MB_ICONERROR); }

int RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && GetWindowLongPtrA(top, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(FormProc) &&
        IsDialogMessageA(top, &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return g_exitCode;
}

void Terminate(int exitCode) {
  g_exitCode = exitCode;
  PostQuitMessage(exitCode);
}

int TextWidth(const TControl& c, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontFor(c.Font()));
  SIZE sz = {0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return sz.cx;
}

int TextWidth(const TForm& f, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontFor(f.Font));
  SIZE sz = {0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return sz.cx;
}

void PaintFormSurface(const TForm& f, HDC dc, const RECT& formRect) {
  FormState* fs = StateOf(&f);
  RECT local = {0, 0, formRect.right - formRect.left, formRect.bottom - formRect.top};
  SIZE sz;
  HBITMAP bmp = fs && fs->background ? PictureBitmap(fs->background->Picture(), &sz) : nullptr;
  if (!bmp) {
    FillRect(dc, &local, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, bmp);
  const TImage& bg = *fs->background;
  if (bg.Stretch && (sz.cx != bg.Width() || sz.cy != bg.Height()) && bg.Width() > 0 && bg.Height() > 0) {
    // Map the rectangle into the picture's own pixels.
    int sx = (formRect.left - bg.Left()) * sz.cx / bg.Width();
    int sy = (formRect.top - bg.Top()) * sz.cy / bg.Height();
    int sw = local.right * sz.cx / bg.Width();
    int sh = local.bottom * sz.cy / bg.Height();
    StretchBlt(dc, 0, 0, local.right, local.bottom, mem, sx, sy, sw, sh, SRCCOPY);
  } else {
    BitBlt(dc, 0, 0, local.right, local.bottom, mem, formRect.left - bg.Left(), formRect.top - bg.Top(), SRCCOPY);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
}

}  // namespace ui
