#include "ui/window_generation_host.h"

#include <QCoreApplication>
#include <QLocale>

#include "app/startup.h"
#include "ui/form1.h"

namespace tallowby {

std::string WindowGenerationHost::CountText() {
  return ToNative(window_.Text1()->text());
}
std::string WindowGenerationHost::HighestText() {
  return ToNative(window_.Text2()->text());
}
std::string WindowGenerationHost::FolderText() {
  return ToNative(window_.Text3()->text());
}

std::optional<NumberKind> WindowGenerationHost::SelectedKind() {
  return window_.SelectedKind();
}
std::optional<OutputKind> WindowGenerationHost::SelectedOutput() {
  return window_.SelectedOutput();
}

std::string WindowGenerationHost::DecimalSeparator() {
  return ToNative(QLocale().decimalPoint());
}

void WindowGenerationHost::ShowMessage(const std::string& text) {
  boxes_.Show(FromNative(text), ApplicationTitle(), MessageIcon::None);
}

void WindowGenerationHost::ReportError(const std::string& description, std::string_view identity,
                                       int line) {
  reporter_.ReportError(description, identity, line);
}

void WindowGenerationHost::SetPointer(PointerSetting pointer) {
  window_.SetMousePointer(pointer);
}

void WindowGenerationHost::SetProgressValue(int value) {
  window_.ProgressBar1()->setValue(value);
}

void WindowGenerationHost::SetProgressText(const std::string& text) {
  window_.ProgressBar1()->setFormat(FromNative(text));
}

void WindowGenerationHost::ProcessEventsOnce() {
  QCoreApplication::processEvents();
}

}  // namespace tallowby
