// Tallowby.exe as its tests drive it, from another process, through its window handles only:
// start it, find its window, type, press, read and answer its message boxes, read the registry.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/windows/wide_text.h"
#include "platform/windows/wine.h"
#include "support/designed_layout.h"
#include "support/temporary_folder.h"
#include "support/text_contrast.h"

namespace tallowby::testing {

using namespace std::chrono_literals;

inline constexpr char kSettingsKey[] =
    "Software\\VB and VBA Program Settings\\Kestrelane\\Tallowby";

// Texts joined by appending: GCC 12 sees overlaps that are not there in chains of operator+.
template <class... Parts>
inline std::string Cat(const Parts&... parts) {
  std::string text;
  (text.append(parts), ...);
  return text;
}

template <class T>
std::optional<T> Within(std::chrono::milliseconds limit,
                        const std::function<std::optional<T>()>& look) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  do {
    if (auto found = look()) return found;
    std::this_thread::sleep_for(20ms);
  } while (std::chrono::steady_clock::now() < deadline);
  return std::nullopt;
}

// Texts go in and out as UTF-16, so folder names of any code page arrive whole.
inline std::string TextOf(HWND window) {
  wchar_t text[4096] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, nullptr);
  return Narrow(text);
}

inline std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM found) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

struct Box {
  HWND handle;
  std::string caption;
  std::string text;
  bool icon;
  // By identifier: their captions are in the language of the user's Windows ("ОК" in Russian).
  std::vector<int> buttons;
};

inline std::string Setting(const char* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, Widen(kSettingsKey).c_str(), Widen(name).c_str(),
                   RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return "(missing)";
  }
  return Narrow(value);
}

// One start of Tallowby.exe, closed at the end as a user closes it.
class Program {
 public:
  // Waits for the window to be shown, unless start-up is expected to stop at a message box
  // first: then WaitUntilShown() follows its answer.
  explicit Program(const std::string& program = testing::HostPath(TALLOWBY_EXE),
                   bool wait_until_shown = true) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = Widen(Cat("\"", program, "\""));
    EXPECT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process_));
    if (wait_until_shown) WaitUntilShown();
  }

  void WaitUntilShown() {
    main_ = Within<HWND>(20s, [this]() -> std::optional<HWND> {
              HWND found = FindWindowA("TallowbyMainWindow", "Tallowby");
              DWORD owner = 0;
              GetWindowThreadProcessId(found, &owner);
              if (found != nullptr && owner == process_.dwProcessId && IsWindowVisible(found)) {
                return found;
              }
              return std::nullopt;
            }).value_or(nullptr);
    EXPECT_NE(main_, nullptr) << "no window titled Tallowby";
  }

  ~Program() {
    if (main_ != nullptr) PostMessageA(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "Tallowby did not end when its window was closed";
      TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  HWND Main() const { return main_; }
  HWND Control(int id) const { return GetDlgItem(main_, id); }
  std::string Text(int id) const { return TextOf(Control(id)); }
  bool Checked(int id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void Type(int id, const std::string& text) const {
    const std::wstring wide = Widen(text);
    SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  // Posted, as a click is: the press may open a modal box.
  void Press(int id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }

  // The next message box of the program, within the time given.
  std::optional<Box> NextBox(std::chrono::milliseconds limit = 15s) const {
    return Within<Box>(limit, [this]() -> std::optional<Box> {
      struct Search {
        DWORD process;
        HWND box;
      } search{process_.dwProcessId, nullptr};
      EnumWindows(
          [](HWND window, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->process && IsWindowVisible(window) && ClassOf(window) == "#32770") {
              s->box = window;
              return FALSE;
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&search));
      if (search.box == nullptr) return std::nullopt;
      Box box{search.box, TextOf(search.box), TextOf(GetDlgItem(search.box, 0xFFFF)), false, {}};
      for (HWND child : Children(search.box)) {
        if (!IsWindowVisible(child)) continue;
        const std::string kind = ClassOf(child);
        if (kind == "Button") box.buttons.push_back(GetDlgCtrlID(child));
        if (kind == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
          box.icon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
        }
      }
      return box;
    });
  }

  static void Dismiss(const Box& box) { PostMessageA(box.handle, WM_COMMAND, IDOK, 0); }

  // Reads the next box, dismisses it and gives it back.
  Box Answer() const {
    const std::optional<Box> box = NextBox();
    if (!box) {
      ADD_FAILURE() << "no message box appeared";
      return {};
    }
    Dismiss(*box);
    Within<bool>(5s, [&]() -> std::optional<bool> {
      return IsWindow(box->handle) ? std::nullopt : std::optional<bool>(true);
    });
    return *box;
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

// The colour on the screen at a point of the window's client area.
inline COLORREF ColourAt(HWND window, POINT point) {
  ClientToScreen(window, &point);
  const HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// The window's client area as it is drawn, read through its own device context.
inline Screenshot Photograph(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const int width = client.right;
  const int height = client.bottom;
  const HDC source = GetDC(window);
  const HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  Screenshot shot{width, height, {}};
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  shot.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
  for (std::uint32_t& pixel : shot.pixels)
    pixel &= 0xFFFFFFU;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return shot;
}

// Leaves the picture in the working folder, for people to look at.
inline void Keep(const Screenshot& shot, const std::string& name) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{
      sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD bytes = static_cast<DWORD>(shot.pixels.size() * 4);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + bytes;
  const HANDLE out = CreateFileW(Widen(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, &file, sizeof file, &written, nullptr);
  WriteFile(out, &info, sizeof info, &written, nullptr);
  WriteFile(out, shot.pixels.data(), bytes, &written, nullptr);
  CloseHandle(out);
}

// Sets a registry value for as long as it lives, and then puts back what was there: the
// system's settings a case changes (colours, fonts, folders) for the programs it starts.
class TemporaryRegistryValue {
 public:
  TemporaryRegistryValue(HKEY root, const std::wstring& key, std::wstring name, DWORD type,
                         const void* data, DWORD size)
      : name_(std::move(name)) {
    RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                    nullptr);
    DWORD old_size = 0;
    had_ = RegQueryValueExW(key_, name_.c_str(), nullptr, &old_type_, nullptr, &old_size) ==
           ERROR_SUCCESS;
    old_.resize(old_size);
    if (had_) RegQueryValueExW(key_, name_.c_str(), nullptr, &old_type_, old_.data(), &old_size);
    RegSetValueExW(key_, name_.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  }
  static TemporaryRegistryValue Text(HKEY root, const std::wstring& key, std::wstring name,
                                     const std::string& text, DWORD type = REG_SZ) {
    const std::wstring wide = Widen(text);
    return TemporaryRegistryValue(root, key, std::move(name), type, wide.c_str(),
                                  static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  }
  TemporaryRegistryValue(TemporaryRegistryValue&& other) noexcept
      : key_(std::exchange(other.key_, nullptr)),
        name_(std::move(other.name_)),
        had_(other.had_),
        old_type_(other.old_type_),
        old_(std::move(other.old_)) {}
  ~TemporaryRegistryValue() {
    if (key_ == nullptr) return;
    if (had_) {
      RegSetValueExW(key_, name_.c_str(), 0, old_type_, old_.data(),
                     static_cast<DWORD>(old_.size()));
    } else {
      RegDeleteValueW(key_, name_.c_str());
    }
    RegCloseKey(key_);
  }
  TemporaryRegistryValue(const TemporaryRegistryValue&) = delete;
  TemporaryRegistryValue& operator=(const TemporaryRegistryValue&) = delete;
  TemporaryRegistryValue& operator=(TemporaryRegistryValue&&) = delete;

 private:
  HKEY key_ = nullptr;
  std::wstring name_;
  bool had_ = false;
  DWORD old_type_ = REG_SZ;
  std::vector<BYTE> old_;
};

// Every case starts without settings and ends without them, with a fresh output folder.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() { RegDeleteTreeW(HKEY_CURRENT_USER, Widen(kSettingsKey).c_str()); }
  ~WindowTest() override { RegDeleteTreeW(HKEY_CURRENT_USER, Widen(kSettingsKey).c_str()); }

  static void ExpectPlainMessage(const Box& box, const std::string& text) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "Tallowby");
    EXPECT_FALSE(box.icon) << text;
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK}) << text;
  }

  TemporaryFolder folder;
  std::string output = Cat(folder.Path().string(), "\\");
};

}  // namespace tallowby::testing
