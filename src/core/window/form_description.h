// The main window as it was designed, once for every front end: one row per control with what it
// is, the names other programs know it by, its caption, its place in twips, its place in the
// focus sequence, its font, its colours and its pointer. The Qt and the Win32 window are both
// made by walking this table; neither names a caption, a place or a tab position of its own.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

#include "core/ports/choices.h"
#include "core/ports/window_view.h"
#include "core/run/generation_run.h"

namespace tallowby {

// What each control is. The designer's names (Text1, Option4, Frame2) appear only below, as the
// contract names they are.
enum class Control {
  OutputFrame,
  TextFileOption,
  ExcelFileOption,
  KindFrame,
  AllNumbersOption,
  EvenOption,
  OddOption,
  PrimeOnlyOption,
  HighestFrame,
  HighestField,
  CountFrame,
  CountField,
  FolderFrame,
  FolderField,
  FolderButton,
  StartButton,
  ProgressBar,
};
inline constexpr std::size_t kControlCount = 17;

constexpr std::size_t IndexOf(Control control) {
  return static_cast<std::size_t>(control);
}

enum class ControlKind { Frame, Option, Field, PushButton, ProgressBar };

// Where a control's background comes from.
enum class ColourRole {
  // White as designed, the button face while a skin is applied: the window, frames and options.
  Surface,
  // White as designed, skin or not: the two number fields, the buttons and the bar.
  White,
  // The system's own field background: the folder field.
  SystemField,
};

enum class FontRole { Window, Button };

// What the pointer shows over a control (the rules never replace the busy pointer of a run).
enum class PointerRule {
  Own,    // no rule: the control keeps its own pointer (the folder field, the bar)
  Arrow,  // the default arrow
  Hand,   // the custom pointer, the hand cursor once loaded
};

struct TwipRect {
  int left;
  int top;
  int width;
  int height;
};

struct FontDescription {
  std::string_view family;
  int hundredths_of_a_point;
  bool bold;
  int character_set;  // 204, RUSSIAN_CHARSET, as the window was designed
};

struct ControlDescription {
  Control control;
  ControlKind kind;
  // The object name tools, tests and skins find the control by.
  std::string_view object_name;
  // The Win32 control identifier, which tools that drive Tallowby.exe find the control by.
  int control_id;
  // The caption, or for a field its text when the window is made.
  std::string_view text;
  // The frame that holds the control; none: the window's client area.
  std::optional<Control> container;
  // Within the container: from its client area's corner, or from a frame's outer corner.
  TwipRect place;
  // The position in the focus sequence; frames and the bar have one too but take no focus.
  int tab;
  FontRole font;
  ColourRole colour;
  PointerRule pointer;
  // Focus by Tab or by click selects the whole text.
  bool selects_all_on_focus;
  // The option selected when the window is made (one in each frame).
  bool starts_selected;
};

// The window's own part.
struct WindowDescription {
  std::string_view object_name;
  // The caption is the display name, set by start-up.
  int client_width_twips;
  int client_height_twips;
  FontDescription font;         // every control's, but the buttons'
  FontDescription button_font;  // the two push buttons'
  ColourRole colour;
  PointerRule pointer;
  Control first_focus;
};

inline constexpr WindowDescription kWindow = {
    "Form1",
    8040,
    5460,
    {"Arial", 900, true, 204},
    {"Arial", 1125, true, 204},
    ColourRole::Surface,
    PointerRule::Arrow,
    Control::HighestField,
};

// In visual order, top to bottom; a frame comes before what it holds.
// clang-format off
inline constexpr std::array<ControlDescription, kControlCount> kForm = {{
  // control                    kind                       object name     id   text                             container              left  top   width height tab font               colour                    pointer             select starts
  {Control::OutputFrame,       ControlKind::Frame,       "Frame2",       122, "Output",                        {},                    {120,  120,  7800, 705}, 10, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, false},
  {Control::TextFileOption,    ControlKind::Option,      "Option4",      114, "Text File",                     Control::OutputFrame,  {240,  300,  1095, 240},  3, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, true},
  {Control::ExcelFileOption,   ControlKind::Option,      "Option6",      116, "Excel File",                    Control::OutputFrame,  {1800, 300,  1215, 240},  4, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, false},
  {Control::KindFrame,         ControlKind::Frame,       "Frame1",       121, "Types",                         {},                    {120,  900,  7800, 705},  9, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, false},
  {Control::AllNumbersOption,  ControlKind::Option,      "Option1",      111, "All numbers",                   Control::KindFrame,    {240,  300,  1335, 240},  5, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, true},
  {Control::EvenOption,        ControlKind::Option,      "Option2",      112, "Even",                          Control::KindFrame,    {1800, 300,  735,  240},  6, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, false},
  {Control::OddOption,         ControlKind::Option,      "Option3",      113, "Odd",                           Control::KindFrame,    {2760, 300,  735,  240},  7, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, false},
  {Control::PrimeOnlyOption,   ControlKind::Option,      "Option7",      117, "Prime only",                    Control::KindFrame,    {3720, 300,  1335, 240},  8, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, false},
  {Control::HighestFrame,      ControlKind::Frame,       "Frame4",       124, "Highest possible number",       {},                    {120,  1680, 7800, 825}, 12, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, false},
  {Control::HighestField,      ControlKind::Field,       "Text2",        102, "Text1",                         Control::HighestFrame, {240,  300,  7305, 345},  0, FontRole::Window, ColourRole::White,       PointerRule::Arrow, true,  false},
  {Control::CountFrame,        ControlKind::Frame,       "Frame3",       123, "How many numbers to generate?", {},                    {120,  2580, 7800, 825}, 11, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, false},
  {Control::CountField,        ControlKind::Field,       "Text1",        101, "Text1",                         Control::CountFrame,   {240,  300,  7305, 345},  1, FontRole::Window, ColourRole::White,       PointerRule::Arrow, true,  false},
  {Control::FolderFrame,       ControlKind::Frame,       "Frame5",       125, "Save Results To This Folder",   {},                    {120,  3480, 7800, 810}, 14, FontRole::Window, ColourRole::Surface,     PointerRule::Arrow, false, false},
  {Control::FolderField,       ControlKind::Field,       "Text3",        103, "",                              Control::FolderFrame,  {240,  300,  6630, 345}, 15, FontRole::Window, ColourRole::SystemField, PointerRule::Own,   false, false},
  {Control::FolderButton,      ControlKind::PushButton,  "PushButton1",  131, "...",                           Control::FolderFrame,  {6960, 300,  600,  345}, 16, FontRole::Button, ColourRole::White,       PointerRule::Hand,  false, false},
  {Control::StartButton,       ControlKind::PushButton,  "PushButton6",  136, "Start Generating",              {},                    {120,  4410, 7800, 405},  2, FontRole::Button, ColourRole::White,       PointerRule::Hand,  false, false},
  {Control::ProgressBar,       ControlKind::ProgressBar, "ProgressBar1", 141, kProgressBarText,                {},                    {120,  4930, 7800, 405}, 13, FontRole::Window, ColourRole::White,       PointerRule::Own,   false, false},
}};
// clang-format on

constexpr const ControlDescription& Describe(Control control) {
  return kForm[IndexOf(control)];
}

// The table is looked up by position, and front ends make a frame before what it holds.
constexpr bool RowsStandInTheirControlsPlaces() {
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    if (IndexOf(kForm[i].control) != i) return false;
    if (kForm[i].container && IndexOf(*kForm[i].container) >= i) return false;
  }
  return true;
}
static_assert(RowsStandInTheirControlsPlaces());

// The control's place within the window's client area, its frame resolved.
constexpr TwipRect WindowPlace(Control control) {
  TwipRect place = Describe(control).place;
  if (const std::optional<Control> frame = Describe(control).container) {
    place.left += Describe(*frame).place.left;
    place.top += Describe(*frame).place.top;
  }
  return place;
}

constexpr bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::Field || kind == ControlKind::Option ||
         kind == ControlKind::PushButton;
}

// Every control, in the order of the focus sequence.
constexpr std::array<Control, kControlCount> ControlsInTabOrder() {
  std::array<Control, kControlCount> order{};
  for (const ControlDescription& row : kForm)
    order[static_cast<std::size_t>(row.tab)] = row.control;
  return order;
}

// Every position of the focus sequence is taken once, and the window starts at its first stop.
constexpr bool FocusSequenceIsWhole() {
  std::array<bool, kControlCount> taken{};
  for (const ControlDescription& row : kForm) {
    if (row.tab < 0 || row.tab >= static_cast<int>(kControlCount) || taken[row.tab]) return false;
    taken[row.tab] = true;
  }
  return Describe(kWindow.first_focus).tab == 0 && TakesFocus(Describe(kWindow.first_focus).kind);
}
static_assert(FocusSequenceIsWhole());

// Which option stands for which choice, and which control holds which field.
inline constexpr std::array<std::pair<NumberKind, Control>, 4> kKindOptions = {{
    {NumberKind::AllNumbers, Control::AllNumbersOption},
    {NumberKind::Even, Control::EvenOption},
    {NumberKind::Odd, Control::OddOption},
    {NumberKind::PrimeOnly, Control::PrimeOnlyOption},
}};
inline constexpr std::array<std::pair<OutputKind, Control>, 2> kOutputOptions = {{
    {OutputKind::TextFile, Control::TextFileOption},
    {OutputKind::ExcelFile, Control::ExcelFileOption},
}};
inline constexpr std::array<std::pair<Field, Control>, 3> kFieldControls = {{
    {Field::Count, Control::CountField},
    {Field::Highest, Control::HighestField},
    {Field::Folder, Control::FolderField},
}};

template <class Choice, std::size_t N>
constexpr Control ControlFor(const std::array<std::pair<Choice, Control>, N>& table,
                             Choice choice) {
  for (const auto& [candidate, control] : table) {
    if (candidate == choice) return control;
  }
  return table[0].second;
}

template <class Choice, std::size_t N>
constexpr std::optional<Choice> ChoiceOf(const std::array<std::pair<Choice, Control>, N>& table,
                                         Control control) {
  for (const auto& [choice, candidate] : table) {
    if (candidate == control) return choice;
  }
  return std::nullopt;
}

constexpr Control OptionFor(NumberKind kind) {
  return ControlFor(kKindOptions, kind);
}
constexpr Control OptionFor(OutputKind output) {
  return ControlFor(kOutputOptions, output);
}
constexpr Control ControlFor(Field field) {
  return ControlFor(kFieldControls, field);
}

// The kind's option caption, as the window shows it.
constexpr std::string_view KindCaption(NumberKind kind) {
  return Describe(OptionFor(kind)).text;
}

// What a screen reader names a control by: a field by its frame's caption, which says what it
// holds, every other control by its own caption.
constexpr std::string_view AccessibleName(Control control) {
  const ControlDescription& row = Describe(control);
  if (row.kind == ControlKind::Field && row.container) return Describe(*row.container).text;
  return row.text;
}

// What a screen reader adds to a name that says too little on its own.
constexpr std::string_view AccessibleDescription(Control control) {
  return control == Control::FolderButton ? "Chooses the folder the results are saved to" : "";
}

// Twips to pixels at a resolution, rounded to the nearest pixel: at 96 dots per inch, 15 twips
// make one.
constexpr int TwipsToPixels(int twips, int dots_per_inch) {
  return (twips * dots_per_inch + 720) / 1440;
}

}  // namespace tallowby
