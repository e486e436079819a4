#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/windows/shell_folder_chooser.h"
#include "platform/windows/wide_text.h"
#include "support/temporary_folder.h"

namespace tallowby {
namespace {

using testing::TemporaryFolder;

// What a dialog received from the callback: the message, its wParam and the text at lParam.
struct Received {
  UINT message;
  WPARAM wparam;
  std::string text;
  bool operator==(const Received&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Received& r) {
  return out << "{0x" << std::hex << r.message << std::dec << ", " << r.wparam << ", \"" << r.text
             << "\"}";
}

std::vector<Received> received;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message >= WM_USER) {
    received.push_back(
        {message, wparam, lparam ? Narrow(reinterpret_cast<const wchar_t*>(lparam)) : "(null)"});
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

// A window of our own in the dialog's place, recording what it is sent. Message-only: no
// display is needed.
class RecordingWindow {
 public:
  RecordingWindow() {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = RecordingProcedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "TallowbyRecordingDialog";
    RegisterClassA(&window_class);
    handle_ = CreateWindowExA(0, "TallowbyRecordingDialog", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(handle_, nullptr);
    received.clear();
  }
  ~RecordingWindow() { DestroyWindow(handle_); }
  RecordingWindow(const RecordingWindow&) = delete;
  RecordingWindow& operator=(const RecordingWindow&) = delete;

  HWND Handle() const { return handle_; }

 private:
  HWND handle_ = nullptr;
};

// An item identifier of the shell, freed when it goes.
class Item {
 public:
  explicit Item(PIDLIST_ABSOLUTE id) : id_(id) { EXPECT_NE(id_, nullptr); }
  static Item Folder(const std::string& path) {
    return Item(ILCreateFromPathW(std::filesystem::path(path).c_str()));
  }
  static Item Special(int csidl) {
    PIDLIST_ABSOLUTE id = nullptr;
    SHGetSpecialFolderLocation(nullptr, csidl, &id);
    return Item(id);
  }
  Item(Item&& other) noexcept : id_(other.id_) { other.id_ = nullptr; }
  ~Item() { CoTaskMemFree(id_); }
  Item(const Item&) = delete;
  Item& operator=(const Item&) = delete;

  LPARAM AsParameter() const { return reinterpret_cast<LPARAM>(id_); }

 private:
  PIDLIST_ABSOLUTE id_;
};

TEST(PendingSelection, IsTheInitialFolderAndOneNul) {
  SetPendingSelection("C:\\out");
  EXPECT_EQ(PendingSelection(), std::string("C:\\out\0", 7));
  SetPendingSelection("");
  EXPECT_EQ(PendingSelection(), std::string(1, '\0'));
}

struct CallbackCase {
  const char* what;
  std::string pending;
  UINT message;
  std::function<Item()> item;  // null: lParam 0
  std::vector<Received> sent;
};

TEST(FolderChooserCallback, SelectsThePendingFolderAndReportsFileSystemSelections) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  TemporaryFolder folder;
  const std::string path = folder.Path().string();
  const CallbackCase cases[] = {
      {"opened with a folder",
       "C:\\some\\folder",
       BFFM_INITIALIZED,
       nullptr,
       {{BFFM_SETSELECTIONW, 1, "C:\\some\\folder"}}},
      {"opened without a folder", "", BFFM_INITIALIZED, nullptr, {{BFFM_SETSELECTIONW, 1, ""}}},
      // Kanji whose second byte in code page 932 is a backslash's, and Greek outside it.
      {"opened at a folder of any name",
       "C:\\\xE4\xBA\x88\xE5\xAE\x9A\xE8\xA1\xA8\\\xCE\xA9",
       BFFM_INITIALIZED,
       nullptr,
       {{BFFM_SETSELECTIONW, 1, "C:\\\xE4\xBA\x88\xE5\xAE\x9A\xE8\xA1\xA8\\\xCE\xA9"}}},
      {"a folder selected",
       "",
       BFFM_SELCHANGED,
       [&] { return Item::Folder(path); },
       {{BFFM_SETSTATUSTEXTW, 0, path}}},
      {"a drive selected",
       "",
       BFFM_SELCHANGED,
       [] { return Item::Folder("C:\\"); },
       {{BFFM_SETSTATUSTEXTW, 0, "C:\\"}}},
      {"an item without a path selected",
       "",
       BFFM_SELCHANGED,
       [] { return Item::Special(CSIDL_DRIVES); },
       {}},
      {"a failed validation", "", BFFM_VALIDATEFAILEDA, nullptr, {}},
      {"the dialog's interface", "", BFFM_IUNKNOWN, nullptr, {}},
  };
  for (const auto& c : cases) {
    RecordingWindow dialog;
    SetPendingSelection(c.pending);
    std::optional<Item> item;
    if (c.item) item.emplace(c.item());
    EXPECT_EQ(FolderChooserCallback(dialog.Handle(), c.message, item ? item->AsParameter() : 0, 0),
              0)
        << c.what;
    EXPECT_EQ(received, c.sent) << c.what;
  }
  CoUninitialize();
}

TEST(FolderChooserCallback, ReturnsZeroWhenTheDialogIsGone) {
  HWND gone = nullptr;
  {
    RecordingWindow dialog;
    gone = dialog.Handle();
  }
  EXPECT_EQ(FolderChooserCallback(gone, BFFM_INITIALIZED, 0, 0), 0);
  EXPECT_EQ(FolderChooserCallback(nullptr, BFFM_INITIALIZED, 0, 0), 0);
  EXPECT_TRUE(received.empty());
}

}  // namespace
}  // namespace tallowby
