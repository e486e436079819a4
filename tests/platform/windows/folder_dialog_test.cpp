// The real folder dialog, under a display of its own: another thread finds the dialog as a user
// would see it and presses one of its buttons.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/window/window_texts.h"
#include "platform/windows/shell_folder_chooser.h"
#include "platform/windows/wide_text.h"
#include "support/temporary_folder.h"

namespace tallowby {
namespace {

const std::string kTitle(kFolderChooserTitle);

using testing::TemporaryFolder;

struct SeenDialog {
  HWND owner = nullptr;
  std::vector<std::string> visible_texts;  // of the dialog's visible child windows
};

BOOL CALLBACK CollectVisibleText(HWND child, LPARAM texts) {
  char text[512] = {};
  if (IsWindowVisible(child) && GetWindowTextA(child, text, sizeof text) > 0) {
    reinterpret_cast<std::vector<std::string>*>(texts)->push_back(text);
  }
  return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  char class_name[16] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  if (std::string(class_name) == "#32770" && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// The text of the tree's selected item, as the user sees it.
std::string SelectedItemText(HWND dialog) {
  HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
  if (tree == nullptr) return {};
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  wchar_t text[MAX_PATH] = {};
  TVITEMW request{};
  request.mask = TVIF_TEXT;
  request.hItem = item;
  request.pszText = text;
  request.cchTextMax = MAX_PATH;
  if (item == nullptr || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request))) {
    return {};
  }
  return Narrow(text);
}

// Waits on another thread for the dialog that `thread` shows, notes what it shows, and presses
// `button` once the selected item's text holds `label` (or after a while).
class User {
 public:
  User(DWORD thread, int button, std::string label = "")
      : worker_([this, thread, button, label] {
          HWND dialog = nullptr;
          for (int i = 0; i < 400 && dialog == nullptr; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
            EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
          }
          if (dialog == nullptr) return;
          for (int i = 0; i < 100 && SelectedItemText(dialog).find(label) == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
          seen_.owner = GetWindow(dialog, GW_OWNER);
          EnumChildWindows(dialog, CollectVisibleText,
                           reinterpret_cast<LPARAM>(&seen_.visible_texts));
          PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
          found_ = true;
        }) {}
  ~User() { worker_.join(); }

  // Valid once the dialog has closed.
  bool Found() const { return found_; }
  const SeenDialog& Seen() const { return seen_; }

 private:
  SeenDialog seen_;
  std::atomic<bool> found_ = false;
  std::thread worker_;
};

// Wine's first folder dialog in a new desktop now and then comes up without selecting the folder
// it is asked to (its tree walk misses the drive), so the tests start from a second one.
class FirstDialogShown : public ::testing::Environment {
 public:
  void SetUp() override {
    TemporaryFolder folder;
    ShellFolderChooser chooser;
    User user(GetCurrentThreadId(), IDCANCEL);
    chooser.ChooseFolder(0, kTitle, folder.Path().string());
  }
};

const auto* const kFirstDialogShown = ::testing::AddGlobalTestEnvironment(new FirstDialogShown);

struct DialogCase {
  const char* what;
  std::string initial;
  int button;
  std::string label;  // of the item the user waits to see selected
  std::string result;
};

TEST(ChooseFolder, ReturnsTheFolderTheUserConfirms) {
  TemporaryFolder folder;
  const std::string path = folder.Path().string();
  HWND owner = CreateWindowExA(0, "STATIC", "Tallowby", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                               100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  // Kanji whose second byte in code page 932 is a backslash's, and characters outside it.
  const std::string any_name = "\xE4\xBA\x88\xE5\xAE\x9A\xE8\xA1\xA8\xCE\xA9\xEA\xB0\x80";
  const std::string named = path + "\\" + any_name;
  ASSERT_TRUE(CreateDirectoryW(Widen(named).c_str(), nullptr));
  const DialogCase cases[] = {
      {"a folder confirmed", path, IDOK, folder.Path().filename().string(), path},
      {"a folder of any name confirmed", named, IDOK, any_name, named},
      {"a drive confirmed", "C:\\", IDOK, "C:", "C:\\"},
      {"cancelled", path, IDCANCEL, "", ""},
      {"no initial folder, cancelled", "", IDCANCEL, "", ""},
  };
  for (const auto& c : cases) {
    std::string result = "(not returned)";
    ShellFolderChooser chooser;
    {
      User user(GetCurrentThreadId(), c.button, c.label);
      result = chooser.ChooseFolder(reinterpret_cast<std::uintptr_t>(owner), kTitle, c.initial);
    }
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(PendingSelection(), c.initial + '\0') << c.what;
  }
  DestroyWindow(owner);
}

TEST(ChooseFolder, ShowsTheTitleAboveTheTreeAndNoStatusLine) {
  TemporaryFolder folder;
  const std::string path = folder.Path().string();
  HWND owner = CreateWindowExA(0, "STATIC", "Tallowby", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                               100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShellFolderChooser chooser;
  User user(GetCurrentThreadId(), IDCANCEL);
  chooser.ChooseFolder(reinterpret_cast<std::uintptr_t>(owner), kTitle, path);
  ASSERT_TRUE(user.Found());
  EXPECT_EQ(user.Seen().owner, owner);
  const auto& texts = user.Seen().visible_texts;
  EXPECT_NE(std::find(texts.begin(), texts.end(), kTitle), texts.end());
  // The callback sends the selected folder's path as status text; nothing shows it.
  EXPECT_EQ(std::find(texts.begin(), texts.end(), path), texts.end());
  DestroyWindow(owner);
}

}  // namespace
}  // namespace tallowby
