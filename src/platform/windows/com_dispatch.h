// Late-bound COM automation: objects reached by ProgID and member name, as a script would.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

namespace tallowby {

// Throws Failure for a failed automation call: the server's own description when it gave one,
// otherwise the system's text for the result. Code() is the server's error code when it gave
// one, otherwise the result. Frees the texts in exception.
[[noreturn]] void ThrowComFailure(HRESULT result, EXCEPINFO* exception = nullptr);

// One counted reference to an automation object, released when it goes.
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(IDispatch* adopted) : object_(adopted) {}
  ~Dispatch() { Reset(); }
  Dispatch(Dispatch&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  Dispatch& operator=(Dispatch&& other) noexcept;
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;

  // Creates the object registered under prog_id in a server process of its own.
  static Dispatch Create(const std::string& prog_id);

  explicit operator bool() const { return object_ != nullptr; }
  void Reset();

  // Reads a property that holds an object, with at most one argument (such as Range's address).
  Dispatch Get(const char* member) const;
  Dispatch Get(const char* member, const VARIANT& argument) const;
  // Calls a method without arguments; its result, if any, is dropped.
  void Call(const char* member) const;
  void Put(const char* member, const VARIANT& value) const;

 private:
  void Invoke(const char* member, WORD flags, VARIANT* arguments, UINT argument_count,
              bool property_put, VARIANT* result) const;
  static Dispatch ObjectOf(VARIANT& result, const char* member);

  IDispatch* object_ = nullptr;
};

// Owns a VARIANT and clears it when it goes.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant& operator=(Variant&&) = delete;

  static Variant Bool(bool value);
  static Variant Text(const std::string& ascii);

  VARIANT& get() { return value_; }
  const VARIANT& get() const { return value_; }

 private:
  VARIANT value_;
};

}  // namespace tallowby
