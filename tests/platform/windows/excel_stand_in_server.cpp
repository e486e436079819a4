// A stand-in for Excel's automation server, registered by the tests as a local server.
//
// It implements only the members the program uses (Workbooks.add, ActiveWorkbook.ActiveSheet,
// Range(address).Value with a rows x 1 array, Visible, DisplayAlerts, Quit), checks the calls as
// strictly as Excel does, and logs what each application object received: one line per call,
// then, when the application and everything reached through it are released, its cells and
// "end". How it behaves is read from the registry each time an application is created (see
// excel_stand_in.h).
//
// One server process serves every client (Wine waits a second for each server process it
// starts), and ends after a while without objects.
#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <memory>
#include <string>

#include "excel_stand_in.h"

namespace {

using tallowby::testing::kStandInClassId;
using tallowby::testing::kStandInErrorCode;
using tallowby::testing::kStandInSettingsKey;

// Joins texts by appending; GCC 12 warns falsely about "literal" + std::string at -O3.
template <class... Parts>
std::string Cat(const Parts&... parts) {
  std::string text;
  (text.append(parts), ...);
  return text;
}

std::string Narrow(const wchar_t* text) {
  std::string narrow;
  for (; text != nullptr && *text != L'\0'; ++text)
    narrow.push_back(*text < 128 ? static_cast<char>(*text) : '?');
  return narrow;
}

std::wstring ReadSetting(const char* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  std::wstring wide_name(name, name + std::char_traits<char>::length(name));
  std::wstring wide_key(kStandInSettingsKey,
                        kStandInSettingsKey + std::char_traits<char>::length(kStandInSettingsKey));
  if (RegGetValueW(HKEY_CURRENT_USER, wide_key.c_str(), wide_name.c_str(), RRF_RT_REG_SZ, nullptr,
                   value, &size) != ERROR_SUCCESS) {
    return {};
  }
  return value;
}

// Every object of every application, and when that number last changed: the process ends
// once it has had none for a while.
long server_objects = 0;
DWORD last_change = GetTickCount();

// One application object and everything reached through it, with the behaviour read when it
// was created.
class Session {
 public:
  Session()
      : fail_(ReadSetting("Fail")),
        fail_plain_(ReadSetting("FailPlain")),
        refuse_(ReadSetting("Refuse") == L"1") {
    const std::wstring log = ReadSetting("Log");
    if (!log.empty()) log_ = _wfopen(log.c_str(), L"ab");
  }
  ~Session() {
    if (log_ != nullptr) std::fclose(log_);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void Log(const std::string& line) {
    if (log_ == nullptr) return;
    std::fprintf(log_, "%s\n", line.c_str());
    std::fflush(log_);
  }

  bool Refuses() const { return refuse_; }
  bool Fails(const wchar_t* member) const { return _wcsicmp(fail_.c_str(), member) == 0; }
  bool FailsPlainly(const wchar_t* member) const {
    return _wcsicmp(fail_plain_.c_str(), member) == 0;
  }

  void ObjectMade() {
    ++objects_;
    ++server_objects;
    last_change = GetTickCount();
  }
  void ObjectGone() {
    if (--objects_ == 0) {
      Log(Cat("cells ", std::to_string(cells.size())));
      for (const auto& [row, value] : cells)
        Log(Cat("A", std::to_string(row), " ", value));
      Log("end");
    }
    --server_objects;
    last_change = GetTickCount();
  }

  bool workbook_added = false;
  std::map<long, std::string> cells;  // row -> "n:<number>" or "s:<text>"

 private:
  std::FILE* log_ = nullptr;
  std::wstring fail_;
  std::wstring fail_plain_;
  bool refuse_;
  long objects_ = 0;
};

enum class Kind { Application, Workbooks, Workbook, Worksheet, Range };

struct Member {
  const wchar_t* name;
  DISPID id;
  Kind kind;
};

const Member kMembers[] = {
    {L"Workbooks", 1, Kind::Application}, {L"ActiveWorkbook", 2, Kind::Application},
    {L"Visible", 3, Kind::Application},   {L"DisplayAlerts", 4, Kind::Application},
    {L"Quit", 5, Kind::Application},      {L"Add", 10, Kind::Workbooks},
    {L"ActiveSheet", 20, Kind::Workbook}, {L"Range", 30, Kind::Worksheet},
    {L"Value", 40, Kind::Range},
};

const Member* FindMember(Kind kind, DISPID id) {
  for (const auto& member : kMembers)
    if (member.kind == kind && member.id == id) return &member;
  return nullptr;
}

HRESULT Raise(EXCEPINFO* exception, const std::wstring& description) {
  if (exception != nullptr) {
    *exception = EXCEPINFO{};
    exception->bstrSource = SysAllocString(L"Tallowby stand-in");
    exception->bstrDescription = SysAllocString(description.c_str());
    exception->scode = kStandInErrorCode;
  }
  return DISP_E_EXCEPTION;
}

// "A<first>:A<last>" or "A<row>", rows 1 .. 1048576; false for anything else.
bool ParseColumnA(const std::wstring& address, long& first, long& last) {
  wchar_t rest[2] = {};
  if (std::swscanf(address.c_str(), L"A%ld:A%ld%1lc", &first, &last, rest) == 2) {
  } else if (std::swscanf(address.c_str(), L"A%ld%1lc", &first, rest) == 1) {
    last = first;
  } else {
    return false;
  }
  return first >= 1 && first <= last && last <= 1048576;
}

class Object final : public IDispatch {
 public:
  Object(std::shared_ptr<Session> session, Kind kind, long first_row = 0, long last_row = 0)
      : session_(std::move(session)), kind_(kind), first_row_(first_row), last_row_(last_row) {
    session_->ObjectMade();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count != nullptr) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

  // Names are matched without regard to case, as Excel matches them; the log keeps them as
  // given.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (count != 1) return DISP_E_UNKNOWNNAME;
    for (const auto& member : kMembers) {
      if (member.kind == kind_ && _wcsicmp(member.name, names[0]) == 0) {
        ids[0] = member.id;
        given_names_[member.id] = Narrow(names[0]);
        return S_OK;
      }
    }
    ids[0] = DISPID_UNKNOWN;
    session_->Log(Cat("unknown name ", Narrow(names[0])));
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    const Member* member = FindMember(kind_, id);
    if (member == nullptr || parameters == nullptr) return DISP_E_MEMBERNOTFOUND;
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    const bool put_is_named =
        parameters->cNamedArgs == 1 && parameters->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
    if (put != put_is_named) return DISP_E_PARAMNOTOPTIONAL;

    const auto given = given_names_.find(id);
    std::string call = Cat(put                         ? "put "
                           : (flags & DISPATCH_METHOD) ? "call "
                                                       : "get ",
                           given != given_names_.end() ? given->second : Narrow(member->name));
    if (id == 30 && parameters->cArgs == 1 && parameters->rgvarg[0].vt == VT_BSTR) {
      call.append(Cat("(", Narrow(parameters->rgvarg[0].bstrVal), ")"));
    }
    if (put && parameters->cArgs == 1 && parameters->rgvarg[0].vt == VT_BOOL) {
      call.append(parameters->rgvarg[0].boolVal ? " true" : " false");
    }
    session_->Log(call);
    if (session_->Fails(member->name)) {
      return Raise(exception, L"The stand-in refused " + std::wstring(member->name) + L".");
    }
    if (session_->FailsPlainly(member->name)) return E_ACCESSDENIED;

    switch (id) {
      case 1:  // Workbooks
        return Get(flags, parameters, result, new Object(session_, Kind::Workbooks));
      case 2:  // ActiveWorkbook: Nothing until a workbook was added
        return Get(flags, parameters, result,
                   session_->workbook_added ? new Object(session_, Kind::Workbook) : nullptr);
      case 3:  // Visible
      case 4:  // DisplayAlerts
        if (!put) return DISP_E_MEMBERNOTFOUND;
        return parameters->cArgs == 1 && parameters->rgvarg[0].vt == VT_BOOL ? S_OK
                                                                             : DISP_E_TYPEMISMATCH;
      case 5:   // Quit
      case 10:  // Add
        if ((flags & DISPATCH_METHOD) == 0 || parameters->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        if (id == 10) {
          session_->workbook_added = true;
          if (result != nullptr) {
            result->vt = VT_DISPATCH;
            result->pdispVal = new Object(session_, Kind::Workbook);
          }
        }
        return S_OK;
      case 20:  // ActiveSheet
        return Get(flags, parameters, result, new Object(session_, Kind::Worksheet));
      case 30: {  // Range(address)
        if ((flags & DISPATCH_PROPERTYGET) == 0 || parameters->cArgs != 1 || result == nullptr) {
          return DISP_E_BADPARAMCOUNT;
        }
        long first = 0;
        long last = 0;
        if (parameters->rgvarg[0].vt != VT_BSTR ||
            !ParseColumnA(parameters->rgvarg[0].bstrVal, first, last)) {
          return Raise(exception, L"The stand-in reads only addresses of column A.");
        }
        result->vt = VT_DISPATCH;
        result->pdispVal = new Object(session_, Kind::Range, first, last);
        return S_OK;
      }
      case 40:  // Value
        if (!put || parameters->cArgs != 1) return DISP_E_MEMBERNOTFOUND;
        return PutValue(parameters->rgvarg[0], exception);
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  ~Object() { session_->ObjectGone(); }

  static HRESULT Get(WORD flags, DISPPARAMS* parameters, VARIANT* result, Object* object) {
    if ((flags & DISPATCH_PROPERTYGET) == 0 || parameters->cArgs != 0 || result == nullptr) {
      if (object != nullptr) object->Release();
      return DISP_E_MEMBERNOTFOUND;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
  }

  // The array must have the range's shape: rows x 1, rows as in the address.
  HRESULT PutValue(const VARIANT& value, EXCEPINFO* exception) {
    if (value.vt != (VT_ARRAY | VT_VARIANT) || value.parray == nullptr ||
        SafeArrayGetDim(value.parray) != 2) {
      return Raise(exception, L"The stand-in takes only a two-dimensional array.");
    }
    LONG row_low = 0, row_high = -1, column_low = 0, column_high = -1;
    SafeArrayGetLBound(value.parray, 1, &row_low);
    SafeArrayGetUBound(value.parray, 1, &row_high);
    SafeArrayGetLBound(value.parray, 2, &column_low);
    SafeArrayGetUBound(value.parray, 2, &column_high);
    const long rows = row_high - row_low + 1;
    session_->Log(
        Cat("  array ", std::to_string(rows), "x", std::to_string(column_high - column_low + 1)));
    if (column_high != column_low || rows != last_row_ - first_row_ + 1) {
      return Raise(exception, L"The array does not have the range's shape.");
    }
    for (long row = 0; row < rows; ++row) {
      LONG index[2] = {row_low + row, column_low};
      VARIANT cell;
      VariantInit(&cell);
      if (FAILED(SafeArrayGetElement(value.parray, index, &cell))) return DISP_E_BADINDEX;
      std::string text;
      switch (cell.vt) {
        case VT_I4:
          text = Cat("n:", std::to_string(cell.lVal));
          break;
        case VT_R8:
          text = Cat("n:", std::to_string(cell.dblVal));
          break;
        case VT_BSTR:
          text = Cat("s:", Narrow(cell.bstrVal));
          break;
        default:
          text = Cat("vt", std::to_string(cell.vt));
      }
      VariantClear(&cell);
      session_->cells[first_row_ + row] = text;
    }
    return S_OK;
  }

  long references_ = 1;
  std::shared_ptr<Session> session_;
  Kind kind_;
  long first_row_;
  long last_row_;
  std::map<DISPID, std::string> given_names_;
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the process
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto session = std::make_shared<Session>();
    if (session->Refuses()) {
      session->Log("create refused");
      return E_OUTOFMEMORY;
    }
    session->Log("create");
    auto* application = new Object(session, Kind::Application);
    const HRESULT result = application->QueryInterface(iid, object);
    application->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  static Factory factory;
  DWORD registration = 0;
  if (FAILED(CoRegisterClassObject(kStandInClassId, &factory, CLSCTX_LOCAL_SERVER,
                                   REGCLS_MULTIPLEUSE, &registration))) {
    return 1;
  }
  // A test run keeps it busy throughout; afterwards it ends by itself.
  constexpr DWORD kIdleMilliseconds = 30'000;
  SetTimer(nullptr, 0, 5'000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && server_objects == 0 &&
        GetTickCount() - last_change > kIdleMilliseconds) {
      break;
    }
    DispatchMessageW(&message);
  }
  CoRevokeClassObject(registration);
  CoUninitialize();
  return 0;
}
