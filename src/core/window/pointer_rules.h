// The window's pointer: the hover rules, which never replace the busy pointer of a run.
#pragma once

#include "core/ports/choices.h"
#include "core/ports/window_view.h"

namespace tallowby {

class PointerRules {
 public:
  explicit PointerRules(WindowView& view) : view_(view) {}

  void Set(PointerSetting pointer);
  PointerSetting Current() const { return current_; }

  // The hand over the push buttons, the default arrow over everything else. They apply at every
  // mouse movement, so only a change reaches the view.
  void OverButton();
  void OverControl();

 private:
  WindowView& view_;
  PointerSetting current_ = PointerSetting::Default;
};

}  // namespace tallowby
