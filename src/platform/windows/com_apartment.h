// COM on the calling thread, for the Windows shell and automation calls.
#pragma once

namespace tallowby {

// Makes sure COM is initialised on the calling thread, in a single-threaded apartment, for as
// long as the thread runs. A thread that already joined an apartment keeps it. Throws Failure
// when COM cannot be used on the thread.
void EnsureComApartment();

}  // namespace tallowby
