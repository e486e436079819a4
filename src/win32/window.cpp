#include "win32/window.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>
#include <uxtheme.h>

#include <span>
#include <vector>

#include "core/ports/failure.h"
#include "core/window/caption_fit.h"
#include "core/window/colour_scheme.h"
#include "core/window/main_window_behaviour.h"
#include "platform/windows/com_apartment.h"
#include "platform/windows/system_error.h"
#include "platform/windows/wide_text.h"

namespace tallowby::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"TallowbyMainWindow";
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

UINT DpiOf(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto get_dpi = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi != nullptr) {
    if (const UINT dpi = get_dpi(window); dpi != 0) return dpi;
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

const wchar_t* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Field:
      return L"EDIT";
    case ControlKind::ProgressBar:
      return PROGRESS_CLASSW;
    default:
      return L"BUTTON";
  }
}

// The dialog manager moves the focus within a group: each option group starts at its first
// option, and every other control that takes the focus is a group of its own.
bool StartsGroup(const ControlDescription& row) {
  if (row.kind == ControlKind::Frame) return false;
  if (row.kind != ControlKind::Option) return true;
  for (const ControlDescription& other : kForm) {
    if (other.kind == ControlKind::Option && other.container == row.container &&
        other.tab < row.tab)
      return false;
  }
  return true;
}

DWORD StyleOf(const ControlDescription& row) {
  const bool starts_group = StartsGroup(row);
  DWORD style = WS_CHILD | WS_VISIBLE | (starts_group ? WS_GROUP : 0);
  switch (row.kind) {
    case ControlKind::Field:
      return style | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
    case ControlKind::Option:
      return style | BS_AUTORADIOBUTTON | (starts_group ? WS_TABSTOP : 0);
    case ControlKind::PushButton:
      // Drawn by the window: a push button's face is the system's grey, the layout's white.
      return style | WS_TABSTOP | BS_OWNERDRAW;
    case ControlKind::ProgressBar:
      return style;
    case ControlKind::Frame:
      return style | BS_GROUPBOX;
  }
  return style;
}

// The order the controls are made in, which is the dialog manager's focus order: the focus
// sequence, with the frames, which never take the focus, last, so they lie beneath the
// controls they hold.
std::vector<Control> CreationOrder() {
  std::vector<Control> order;
  for (const Control control : ControlsInTabOrder()) {
    if (Describe(control).kind != ControlKind::Frame) order.push_back(control);
  }
  for (const ControlDescription& row : kForm) {
    if (row.kind == ControlKind::Frame) order.push_back(row.control);
  }
  return order;
}

std::optional<Control> ControlWithId(int id) {
  for (const ControlDescription& row : kForm) {
    if (row.control_id == id) return row.control;
  }
  return std::nullopt;
}

// The user's scheme: Windows' high-contrast setting, or the colours of the user's windows.
ColourScheme CurrentScheme() {
  HIGHCONTRASTW high_contrast{};
  high_contrast.cbSize = sizeof high_contrast;
  const bool on =
      SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof high_contrast, &high_contrast, 0) &&
      (high_contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  const auto rgb = [](int index) {
    const COLORREF colour = GetSysColor(index);
    return Rgb{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
  };
  return SchemeOf(rgb(COLOR_WINDOW), rgb(COLOR_WINDOWTEXT), on);
}

// The system colours a control of the kind has where it follows the user's: fields are
// windows, everything else a dialog's face.
int UsersBackground(std::optional<ControlKind> kind) {
  return kind == ControlKind::Field ? COLOR_WINDOW : COLOR_BTNFACE;
}
int UsersText(std::optional<ControlKind> kind) {
  return kind == ControlKind::Field ? COLOR_WINDOWTEXT : COLOR_BTNTEXT;
}

std::wstring Text(std::string_view text) {
  return Widen(text);
}

bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEMOVE);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);  // a second window finds the class registered already

  white_ = CreateSolidBrush(kWhite);
  // Fixed border, minimise and close only.
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  window_ = CreateWindowExW(0, kWindowClass, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                            nullptr, nullptr, instance, this);
  if (window_ == nullptr) ThrowSystemError(GetLastError());
  dpi_ = DpiOf(window_);
  RECT frame{0, 0, Pixels(kWindow.client_width_twips), Pixels(kWindow.client_height_twips)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  MakeFonts();
  CreateControls();
}

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(window_font_), static_cast<HGDIOBJ>(button_font_),
                         static_cast<HGDIOBJ>(white_)}) {
    if (object != nullptr) DeleteObject(object);
  }
  if (custom_pointer_ != nullptr) DestroyCursor(custom_pointer_);
}

HFONT MainWindow::MakeFont(const FontDescription& font, int hundredths_of_a_point) const {
  return CreateFontW(-MulDiv(hundredths_of_a_point, static_cast<int>(dpi_), 7200), 0, 0, 0,
                     font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     static_cast<BYTE>(font.character_set), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, Text(font.family).c_str());
}

int MainWindow::CaptionRoom(Control control, int hundredths_of_a_point) const {
  const ControlDescription& row = Describe(control);
  const bool button = row.font == FontRole::Button;
  const HFONT font = button
                         ? MakeFont(kWindow.button_font, kWindow.button_font.hundredths_of_a_point *
                                                             hundredths_of_a_point /
                                                             kWindow.font.hundredths_of_a_point)
                         : MakeFont(kWindow.font, hundredths_of_a_point);
  const HDC dc = GetDC(window_);
  const HGDIOBJ old = SelectObject(dc, font);
  const std::wstring text = Text(row.text);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  DeleteObject(font);
  // Beside the caption: an option's circle and its gap, or the margins inside an edge.
  const int beside = row.kind == ControlKind::Option ? 20 : 2 * 6;
  return MulDiv(size.cx + beside, 1440, static_cast<int>(dpi_));
}

void MainWindow::MakeFonts() {
  fitted_ = FitCaptions(
      [this](Control control, int hundredths) { return CaptionRoom(control, hundredths); });
  window_font_ = MakeFont(kWindow.font, fitted_.font_hundredths);
  button_font_ = MakeFont(kWindow.button_font, fitted_.button_font_hundredths);
}

TwipRect MainWindow::FittedPlace(Control control) const {
  TwipRect place = WindowPlace(control);
  place.width = fitted_.widths[IndexOf(control)];
  return place;
}

void MainWindow::CreateControls() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  for (const Control control : CreationOrder()) {
    const ControlDescription& row = Describe(control);
    const TwipRect place = FittedPlace(control);
    const DWORD extended = row.kind == ControlKind::Field ? WS_EX_CLIENTEDGE : 0;
    HWND child = CreateWindowExW(
        extended, ClassOf(row.kind), Text(row.text).c_str(), StyleOf(row), Pixels(place.left),
        Pixels(place.top), Pixels(place.width), Pixels(place.height), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.control_id)), instance, nullptr);
    if (child == nullptr) ThrowSystemError(GetLastError());
    SendMessageW(
        child, WM_SETFONT,
        reinterpret_cast<WPARAM>(row.font == FontRole::Button ? button_font_ : window_font_),
        FALSE);
    // The plain classic look, until a skin brings the system's visual style.
    SetWindowTheme(child, L"", L"");
    if (row.kind == ControlKind::Field) {
      SendMessageW(child, EM_SETLIMITTEXT, 0, 0);  // no length limit
      if (row.selects_all_on_focus) SetWindowSubclass(child, FieldProcedure, 0, 0);
    }
    if (row.kind == ControlKind::Option && row.starts_selected) SelectOption(control);
  }
  const HWND bar = ControlHandle(Control::ProgressBar);
  SendMessageW(bar, PBM_SETRANGE32, 0, 100);
  SetWindowSubclass(bar, ProgressProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
  progress_text_ = std::string(Describe(Control::ProgressBar).text);
  FollowScheme();
  AnnotateForScreenReaders();
}

void MainWindow::Show(int show_command) {
  RECT frame{};
  GetWindowRect(window_, &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& area = monitor.rcWork;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(window_, show_command);
  UpdateWindow(window_);
  SetFocus(ControlHandle(kWindow.first_focus));
}

void MainWindow::UseVisualStyle() {
  visual_style_ = true;
  FollowScheme();
}

void MainWindow::AnnotateForScreenReaders() {
  // Dynamic annotation: the system's own accessibility of the standard controls, told what a
  // caption alone does not say. Without COM, screen readers get the controls' plain texts.
  try {
    EnsureComApartment();
  } catch (const Failure&) {
    return;
  }
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
    return;
  }
  for (const ControlDescription& row : kForm) {
    const HWND control = ControlHandle(row.control);
    if (AccessibleName(row.control) != row.text) {
      std::wstring name = Text(AccessibleName(row.control));
      services->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name.data());
    }
    if (!AccessibleDescription(row.control).empty()) {
      std::wstring description = Text(AccessibleDescription(row.control));
      services->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                               description.data());
    }
  }
  services->Release();
}

void MainWindow::FollowScheme() {
  scheme_ = CurrentScheme();
  // A visual style draws with colours of its own; the user's colours need the classic look. An
  // empty list of theme classes is the classic look as designed; Wine goes on drawing frames and
  // the bar in its visual style under it, and stops only for a list that names no class.
  const bool styled = visual_style_ && scheme_ == ColourScheme::Light;
  const wchar_t* classic = scheme_ == ColourScheme::Light ? L"" : L" ";
  for (const ControlDescription& row : kForm) {
    SetWindowTheme(ControlHandle(row.control), styled ? nullptr : classic,
                   styled ? nullptr : classic);
  }
  const bool white = BackgroundFor(Describe(Control::ProgressBar).colour, face_colours_, scheme_) ==
                     Background::DesignedWhite;
  SendMessageW(ControlHandle(Control::ProgressBar), PBM_SETBKCOLOR, 0,
               white ? kWhite : CLR_DEFAULT);
  RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

HBRUSH MainWindow::Paint(HDC dc, ColourRole role, std::optional<ControlKind> kind) {
  switch (BackgroundFor(role, face_colours_, scheme_)) {
    case Background::DesignedWhite:
      SetBkColor(dc, kWhite);
      return white_;
    case Background::ButtonFace:
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return GetSysColorBrush(COLOR_BTNFACE);
    case Background::Users:
      break;
  }
  SetBkColor(dc, GetSysColor(UsersBackground(kind)));
  SetTextColor(dc, GetSysColor(UsersText(kind)));
  return GetSysColorBrush(UsersBackground(kind));
}

void MainWindow::DrawButton(const DRAWITEMSTRUCT& item) {
  const std::optional<Control> control = ControlWithId(static_cast<int>(item.CtlID));
  if (!control) return;
  const HDC dc = item.hDC;
  RECT area = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(dc, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  RECT face = area;
  InflateRect(&face, -2, -2);
  FillRect(dc, &face, Paint(dc, Describe(*control).colour, ControlKind::PushButton));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  const HGDIOBJ old_font = SelectObject(dc, button_font_);
  if (pressed) OffsetRect(&area, 1, 1);
  const std::wstring caption = Text(Describe(*control).text);
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old_font);
  if ((item.itemState & ODS_FOCUS) != 0) {
    RECT cue = item.rcItem;
    InflateRect(&cue, -4, -4);
    DrawFocusRect(dc, &cue);
  }
}

int MainWindow::RunMessageLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0)
    Dispatch(message);
  return static_cast<int>(message.wParam);
}

void MainWindow::Dispatch(MSG& message) {
  if (PreTranslate(message)) return;
  if (window_ != nullptr && IsDialogMessageW(window_, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool MainWindow::PreTranslate(MSG& message) {
  if (repainting_only_ && IsUserInput(message.message)) return true;
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
    // The dialog manager would press the default button, and there is none: Enter presses the
    // focused button, as Space does, and nothing in a field.
    const HWND focus = GetFocus();
    const std::optional<Control> focused = ControlWithId(GetDlgCtrlID(focus));
    if (focus != nullptr && GetParent(focus) == window_ && focused &&
        Describe(*focused).kind == ControlKind::PushButton) {
      SendMessageW(focus, BM_CLICK, 0, 0);
      return true;
    }
  }
  if (message.message == WM_MOUSEMOVE && behaviour_ != nullptr) {
    // Frames let the mouse through to the window.
    const HWND over = message.hwnd;
    std::optional<PointerRule> rule;
    if (over == window_) {
      rule = kWindow.pointer;
    } else if (GetParent(over) == window_) {
      if (const std::optional<Control> control = ControlWithId(GetDlgCtrlID(over)))
        rule = Describe(*control).pointer;
    }
    if (rule == PointerRule::Hand) behaviour_->PointerOverButton();
    if (rule == PointerRule::Arrow) behaviour_->PointerOverControl();
  }
  return false;
}

LRESULT CALLBACK MainWindow::WindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<CREATESTRUCTA*>(l);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    static_cast<MainWindow*>(creation->lpCreateParams)->window_ = window;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, w, l);
  return self->Handle(message, w, l);
}

LRESULT MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      // IDOK and IDCANCEL from Enter and Escape in a field are no control: they press nothing.
      if (const std::optional<Control> control = ControlWithId(LOWORD(w)))
        Command(*control, HIWORD(w));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
      // Frames and options, fields, and buttons: by their colour role and the user's scheme.
      const std::optional<Control> control = ControlWithId(GetDlgCtrlID(reinterpret_cast<HWND>(l)));
      if (!control) break;
      const ControlDescription& row = Describe(*control);
      return reinterpret_cast<LRESULT>(Paint(reinterpret_cast<HDC>(w), row.colour, row.kind));
    }
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
      return TRUE;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      // The user chose other colours, or switched high contrast, while the program runs.
      FollowScheme();
      break;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(window_, &client);
      FillRect(reinterpret_cast<HDC>(w), &client,
               Paint(reinterpret_cast<HDC>(w), kWindow.colour, std::nullopt));
      return 1;
    }
    case WM_SETCURSOR:
      if (LOWORD(l) == HTCLIENT && SetCursorFor(reinterpret_cast<HWND>(w))) return TRUE;
      break;
    case WM_ACTIVATE:
      // As a dialog does: the control that had the focus gets it back when the window is
      // active again, after a message box for one.
      if (LOWORD(w) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && GetParent(focus) == window_) last_focus_ = focus;
      } else if (last_focus_ != nullptr && IsWindow(last_focus_)) {
        SetFocus(last_focus_);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      // Moved to a monitor of another resolution: the same layout at the new scale.
      dpi_ = HIWORD(w);
      const HFONT old_fonts[] = {window_font_, button_font_};
      MakeFonts();
      for (const ControlDescription& row : kForm) {
        const HWND child = ControlHandle(row.control);
        const TwipRect place = FittedPlace(row.control);
        SetWindowPos(child, nullptr, Pixels(place.left), Pixels(place.top), Pixels(place.width),
                     Pixels(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(
            child, WM_SETFONT,
            reinterpret_cast<WPARAM>(row.font == FontRole::Button ? button_font_ : window_font_),
            TRUE);
      }
      for (HFONT font : old_fonts)
        DeleteObject(font);
      const auto* suggested = reinterpret_cast<const RECT*>(l);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      if (behaviour_ != nullptr) behaviour_->WindowClosing();
      if (behaviour_ != nullptr && behaviour_->Run().Running()) {
        close_requested_ = true;  // the run stops and unwinds first
      } else {
        Close();
      }
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, w, l);
}

void MainWindow::Command(Control control, int code) {
  if (behaviour_ == nullptr) return;
  const ControlDescription& row = Describe(control);
  if (row.kind == ControlKind::Field) {
    const Field field = *ChoiceOf(kFieldControls, control);
    if (code == EN_CHANGE) behaviour_->FieldEdited(field, FieldText(field));
    if (code == EN_SETFOCUS && row.selects_all_on_focus) {
      SendMessageW(ControlHandle(control), EM_SETSEL, 0, -1);
    }
    return;
  }
  if (code != BN_CLICKED) return;
  if (const std::optional<OutputKind> output = ChoiceOf(kOutputOptions, control)) {
    if (IsDlgButtonChecked(window_, row.control_id) == BST_CHECKED)
      behaviour_->OutputChosen(*output);
  } else if (control == Control::FolderButton) {
    behaviour_->FolderButtonPressed();
  } else if (control == Control::StartButton) {
    // A press during a run (in its one pass of the events) is the run's to ignore; a close
    // that came meanwhile waits for the outer run to unwind.
    const bool outer = !behaviour_->Run().Running();
    behaviour_->StartPressed();
    if (outer && close_requested_) Close();
  }
}

bool MainWindow::SetCursorFor(HWND under) {
  if (pointer_ == PointerSetting::Busy) {
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    return true;
  }
  // The fields keep their text cursor.
  const std::optional<Control> control =
      under != window_ ? ControlWithId(GetDlgCtrlID(under)) : std::nullopt;
  if (control && Describe(*control).kind == ControlKind::Field) return false;
  if (pointer_ == PointerSetting::Custom && custom_pointer_ != nullptr) {
    SetCursor(custom_pointer_);
  } else {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
  }
  return true;
}

void MainWindow::Close() {
  close_requested_ = false;
  if (window_ != nullptr) DestroyWindow(window_);
}

LRESULT CALLBACK MainWindow::FieldProcedure(HWND field, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                            DWORD_PTR) {
  // A click that brings the focus would place the caret and so undo the selection of the whole
  // text; it only focuses the field instead.
  if (message == WM_LBUTTONDOWN && GetFocus() != field) {
    SetFocus(field);
    return 0;
  }
  return DefSubclassProc(field, message, w, l);
}

LRESULT CALLBACK MainWindow::ProgressProcedure(HWND bar, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                               DWORD_PTR data) {
  const LRESULT result = DefSubclassProc(bar, message, w, l);
  if (message == WM_PAINT) {
    // The bar's text, centred over the bar the control has just drawn.
    const auto* self = reinterpret_cast<MainWindow*>(data);
    const HDC dc = GetDC(bar);
    RECT area{};
    GetClientRect(bar, &area);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const HGDIOBJ old_font = SelectObject(dc, self->window_font_);
    const std::wstring text = Widen(self->progress_text_);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old_font);
    ReleaseDC(bar, dc);
  }
  return result;
}

std::string MainWindow::FieldText(Field field) {
  const HWND control = ControlHandle(ControlFor(field));
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  return Narrow(std::wstring_view(text.data(), static_cast<std::size_t>(length > 0 ? length : 0)));
}

void MainWindow::SetFieldText(Field field, const std::string& text) {
  SetWindowTextW(ControlHandle(ControlFor(field)), Widen(text).c_str());
}

std::optional<NumberKind> MainWindow::SelectedKind() {
  for (const auto& [kind, option] : kKindOptions) {
    if (IsDlgButtonChecked(window_, Describe(option).control_id) == BST_CHECKED) return kind;
  }
  return std::nullopt;
}

std::optional<OutputKind> MainWindow::SelectedOutput() {
  for (const auto& [output, option] : kOutputOptions) {
    if (IsDlgButtonChecked(window_, Describe(option).control_id) == BST_CHECKED) return output;
  }
  return std::nullopt;
}

void MainWindow::SelectOutput(OutputKind output) {
  SelectOption(OptionFor(output));
}

void MainWindow::SelectOption(Control option) {
  // The identifiers of the two groups interleave, so no range of them makes a group: the
  // options of the same frame do.
  for (const ControlDescription& row : kForm) {
    if (row.kind != ControlKind::Option || row.container != Describe(option).container) continue;
    SendMessageW(ControlHandle(row.control), BM_SETCHECK,
                 row.control == option ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void MainWindow::SetCaption(const std::string& caption) {
  SetWindowTextW(window_, Widen(caption).c_str());
}

void MainWindow::SetProgramIcon() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  for (const auto& [size, which] : {std::pair{SM_CXICON, ICON_BIG}, {SM_CXSMICON, ICON_SMALL}}) {
    const int pixels = GetSystemMetrics(size);
    const HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, pixels, pixels, 0);
    if (icon == nullptr) ThrowSystemError(GetLastError());
    SendMessageW(window_, WM_SETICON, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(icon));
  }
}

void MainWindow::UseButtonFaceColours() {
  face_colours_ = true;
  FollowScheme();
}

void MainWindow::LoadCustomPointer(const std::string& cursor_file) {
  const HCURSOR cursor = LoadCursorFromFileW(Widen(cursor_file).c_str());
  if (cursor == nullptr) {
    throw Failure("The cursor file could not be read: " + DescribeSystemError(GetLastError()));
  }
  if (custom_pointer_ != nullptr) DestroyCursor(custom_pointer_);
  custom_pointer_ = cursor;
}

void MainWindow::SetPointer(PointerSetting pointer) {
  pointer_ = pointer;
  // Shown at once where the mouse is, not at its next move.
  POINT at{};
  GetCursorPos(&at);
  const HWND under = WindowFromPoint(at);
  if (under == window_ || (under != nullptr && GetParent(under) == window_)) {
    if (!SetCursorFor(under)) SetCursor(LoadCursor(nullptr, IDC_IBEAM));
  }
}

void MainWindow::SetProgressValue(int value) {
  SendMessageW(ControlHandle(Control::ProgressBar), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void MainWindow::SetProgressText(const std::string& text) {
  progress_text_ = text;
  InvalidateRect(ControlHandle(Control::ProgressBar), nullptr, TRUE);
}

void MainWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                MessageIcon icon) {
  MessageBoxW(window_, Widen(text).c_str(), Widen(caption).c_str(),
              MB_OK | (icon == MessageIcon::Warning ? MB_ICONWARNING : 0U));
}

void MainWindow::ProcessEventsOnce() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that ends the program
      return;
    }
    Dispatch(message);
  }
}

void MainWindow::LetWindowRepaint() {
  repainting_only_ = true;
  ProcessEventsOnce();
  repainting_only_ = false;
}

std::string MainWindow::DecimalSeparator() {
  wchar_t separator[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0) return ".";
  return Narrow(separator);
}

}  // namespace tallowby::win32
