#include "core/window/pointer_rules.h"

namespace tallowby {

void PointerRules::Set(PointerSetting pointer) {
  current_ = pointer;
  view_.SetPointer(pointer);
}

void PointerRules::OverButton() {
  if (current_ != PointerSetting::Busy && current_ != PointerSetting::Custom) {
    Set(PointerSetting::Custom);
  }
}

void PointerRules::OverControl() {
  if (current_ != PointerSetting::Busy && current_ != PointerSetting::Default) {
    Set(PointerSetting::Default);
  }
}

}  // namespace tallowby
