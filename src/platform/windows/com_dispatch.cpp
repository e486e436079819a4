#include "platform/windows/com_dispatch.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "core/ports/failure.h"
#include "platform/windows/com_apartment.h"
#include "platform/windows/system_error.h"
#include "platform/windows/wide_text.h"

namespace tallowby {

namespace {

std::string Narrow(const BSTR text) {
  if (text == nullptr) return {};
  return tallowby::Narrow(std::wstring_view(text, SysStringLen(text)));
}

}  // namespace

void ThrowComFailure(HRESULT result, EXCEPINFO* exception) {
  std::string description;
  HRESULT code = result;
  if (exception != nullptr) {
    if (exception->pfnDeferredFillIn != nullptr) exception->pfnDeferredFillIn(exception);
    description = Narrow(exception->bstrDescription);
    if (exception->scode != 0) code = exception->scode;
    SysFreeString(exception->bstrSource);
    SysFreeString(exception->bstrDescription);
    SysFreeString(exception->bstrHelpFile);
    *exception = EXCEPINFO{};
  }
  while (!description.empty() && (description.back() == '\n' || description.back() == '\r')) {
    description.pop_back();
  }
  if (description.empty()) description = DescribeSystemError(static_cast<unsigned long>(code));
  throw Failure(description, static_cast<int>(code));
}

Dispatch& Dispatch::operator=(Dispatch&& other) noexcept {
  if (this != &other) {
    Reset();
    object_ = other.object_;
    other.object_ = nullptr;
  }
  return *this;
}

void Dispatch::Reset() {
  if (object_ != nullptr) object_->Release();
  object_ = nullptr;
}

Dispatch Dispatch::Create(const std::string& prog_id) {
  EnsureComApartment();
  CLSID class_id{};
  const std::wstring wide_prog_id = Widen(prog_id);
  HRESULT result = CLSIDFromProgID(wide_prog_id.c_str(), &class_id);
  if (FAILED(result)) ThrowComFailure(result);
  IDispatch* object = nullptr;
  result = CoCreateInstance(class_id, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(&object));
  if (FAILED(result)) ThrowComFailure(result);
  if (object == nullptr) ThrowComFailure(E_NOINTERFACE);
  return Dispatch(object);
}

void Dispatch::Invoke(const char* member, WORD flags, VARIANT* arguments, UINT argument_count,
                      bool property_put, VARIANT* result) const {
  if (object_ == nullptr) ThrowComFailure(E_POINTER);
  std::wstring name = Widen(member);
  LPOLESTR names[] = {name.data()};
  DISPID member_id = DISPID_UNKNOWN;
  HRESULT outcome = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member_id);
  if (FAILED(outcome)) ThrowComFailure(outcome);

  DISPID property_put_id = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{arguments, property_put ? &property_put_id : nullptr, argument_count,
                        property_put ? 1U : 0U};
  EXCEPINFO exception{};
  UINT argument_error = 0;
  outcome = object_->Invoke(member_id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result,
                            &exception, &argument_error);
  if (outcome == DISP_E_EXCEPTION) ThrowComFailure(outcome, &exception);
  if (FAILED(outcome)) ThrowComFailure(outcome);
}

Dispatch Dispatch::ObjectOf(VARIANT& result, const char* member) {
  IDispatch* object = nullptr;
  if (result.vt == VT_DISPATCH && result.pdispVal != nullptr) {
    result.pdispVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object));
  } else if (result.vt == VT_UNKNOWN && result.punkVal != nullptr) {
    result.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object));
  }
  VariantClear(&result);
  if (object == nullptr) {
    throw Failure(std::string("The spreadsheet application gave no object for ") + member,
                  static_cast<int>(DISP_E_TYPEMISMATCH));
  }
  return Dispatch(object);
}

Dispatch Dispatch::Get(const char* member) const {
  Variant result;
  Invoke(member, DISPATCH_PROPERTYGET, nullptr, 0, false, &result.get());
  return ObjectOf(result.get(), member);
}

Dispatch Dispatch::Get(const char* member, const VARIANT& argument) const {
  VARIANT arguments[] = {argument};  // Invoke reads them, the caller keeps ownership
  Variant result;
  Invoke(member, DISPATCH_PROPERTYGET, arguments, 1, false, &result.get());
  return ObjectOf(result.get(), member);
}

void Dispatch::Call(const char* member) const {
  Variant result;
  Invoke(member, DISPATCH_METHOD, nullptr, 0, false, &result.get());
}

void Dispatch::Put(const char* member, const VARIANT& value) const {
  VARIANT arguments[] = {value};
  Invoke(member, DISPATCH_PROPERTYPUT, arguments, 1, true, nullptr);
}

Variant Variant::Bool(bool value) {
  Variant variant;
  variant.value_.vt = VT_BOOL;
  variant.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return variant;
}

Variant Variant::Text(const std::string& ascii) {
  Variant variant;
  const std::wstring wide = Widen(ascii);
  variant.value_.vt = VT_BSTR;
  variant.value_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (variant.value_.bstrVal == nullptr) throw std::bad_alloc();
  return variant;
}

}  // namespace tallowby
