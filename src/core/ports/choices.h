// What the user chooses in the window besides typing: the kind of number, where the results go,
// and the pointer the window shows. Small enough for every layer to name without pulling in the
// code that acts on the choices.
#pragma once

namespace tallowby {

// "All numbers", "Even", "Odd", "Prime only".
enum class NumberKind { AllNumbers, Even, Odd, PrimeOnly };

// "Text File", "Excel File".
enum class OutputKind { TextFile, ExcelFile };

// The window's pointer setting, in the numbers its first users' code gave them: the default
// arrow, busy, and the custom pointer (the hand cursor once one is loaded, the arrow before).
enum class PointerSetting : int { Default = 0, Busy = 11, Custom = 99 };

}  // namespace tallowby
