#include "platform/windows/com_apartment.h"

#include <windows.h>

#include <objbase.h>

#include "platform/windows/system_error.h"

namespace tallowby {

namespace {

// Joins the thread to a single-threaded apartment on first use and leaves it when the thread
// ends. Every successful CoInitializeEx, S_FALSE included, is matched by one CoUninitialize.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // A thread already in the multithreaded apartment can use COM as it is.
  bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace

void EnsureComApartment() {
  thread_local const ComApartment apartment;
  if (!apartment.Usable()) ThrowSystemError(static_cast<unsigned long>(apartment.Result()));
}

}  // namespace tallowby
