// The hover rules: the hand over the push buttons, the arrow elsewhere, only a change reaching
// the view, and never in place of the busy pointer.
#include "core/window/pointer_rules.h"

#include <gtest/gtest.h>

#include "support/recording_view.h"

namespace tallowby {
namespace {

TEST(PointerRules, FollowTheMouseOnlyWhenThePointerChangesAndNeverWhileBusy) {
  testing::RecordingView view;
  PointerRules pointer(view);
  using Move = void (PointerRules::*)();
  const std::pair<Move, const char*> moves[] = {
      {&PointerRules::OverButton, "pointer 99"},
      {&PointerRules::OverButton, nullptr},
      {&PointerRules::OverControl, "pointer 0"},
      {&PointerRules::OverControl, nullptr},
  };
  for (const auto& [move, logged] : moves) {
    view.log.clear();
    (pointer.*move)();
    EXPECT_EQ(view.log, logged ? std::vector<std::string>{logged} : std::vector<std::string>{});
  }
  pointer.Set(PointerSetting::Busy);
  view.log.clear();
  pointer.OverButton();
  pointer.OverControl();
  EXPECT_TRUE(view.log.empty());
  EXPECT_EQ(pointer.Current(), PointerSetting::Busy);
}

}  // namespace
}  // namespace tallowby
