// The Windows request platform: COM for the calling thread and the WinHTTP
// automation object "WinHttp.WinHttpRequest.5.1", driven through IDispatch by
// member name. Implementation here must contain only Win32 specific code.
#include "web/winhttp_request_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/fatal.h"
#include "core/system_function.h"

namespace {

// Owns one VARIANT; VariantClear frees its string or array.
class ScopedVariant {
 public:
  ScopedVariant() { ::VariantInit(&value_); }
  ~ScopedVariant() { ::VariantClear(&value_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  ScopedVariant(ScopedVariant&& other) noexcept : value_(other.value_) {
    ::VariantInit(&other.value_);
  }

  static ScopedVariant Number(int number) {
    ScopedVariant variant;
    variant.value_.vt = VT_I4;
    variant.value_.lVal = number;
    return variant;
  }
  static ScopedVariant Boolean(bool value) {
    ScopedVariant variant;
    variant.value_.vt = VT_BOOL;
    variant.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return variant;
  }
  // A BSTR of the text converted from code page 936.
  static ScopedVariant String(const Text& text) {
    const std::wstring wide = WideFromText(text);
    ScopedVariant variant;
    variant.value_.bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (variant.value_.bstrVal == nullptr) StopWithError("内存不足");
    variant.value_.vt = VT_BSTR;
    return variant;
  }
  // A one-dimensional SAFEARRAY of VT_UI1 holding the bytes.
  static ScopedVariant Bytes(const ByteArray& bytes) {
    ScopedVariant variant;
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (array == nullptr) StopWithError("内存不足");
    void* data = nullptr;
    if (!bytes.empty() && SUCCEEDED(::SafeArrayAccessData(array, &data))) {
      std::memcpy(data, bytes.data(), bytes.size());
      ::SafeArrayUnaccessData(array);
    }
    variant.value_.vt = VT_ARRAY | VT_UI1;
    variant.value_.parray = array;
    return variant;
  }

  VARIANT* Get() { return &value_; }
  const VARIANT& Value() const { return value_; }

  // The string value back in code page 936; empty when it is no string.
  Text ToText() const {
    if (value_.vt != VT_BSTR || value_.bstrVal == nullptr) return Text();
    return TextFromWide(std::wstring_view(value_.bstrVal, ::SysStringLen(value_.bstrVal)));
  }
  // The bytes of a one-dimensional array of unsigned bytes; empty otherwise.
  ByteArray ToBytes() const {
    if (value_.vt != (VT_ARRAY | VT_UI1) || value_.parray == nullptr ||
        ::SafeArrayGetDim(value_.parray) != 1) {
      return ByteArray();
    }
    LONG lower = 0;
    LONG upper = -1;
    ::SafeArrayGetLBound(value_.parray, 1, &lower);
    ::SafeArrayGetUBound(value_.parray, 1, &upper);
    if (upper < lower) return ByteArray();
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(value_.parray, &data))) return ByteArray();
    const auto* first = static_cast<const std::uint8_t*>(data);
    ByteArray bytes(first, first + (static_cast<std::size_t>(upper) - lower + 1));
    ::SafeArrayUnaccessData(value_.parray);
    return bytes;
  }
  // The value as a number (the object's Status is a long); 0 when it is none.
  double ToNumber() const {
    ScopedVariant number;
    // VariantChangeType only reads its source, but takes it as non-const.
    if (FAILED(::VariantChangeType(number.Get(), const_cast<VARIANT*>(&value_), 0, VT_R8))) {
      return 0;
    }
    return number.value_.dblVal;
  }

 private:
  VARIANT value_{};  // VariantInit sets it again: VT_EMPTY
};

// Calls a member of the object by name. `arguments` are in the member's own
// order; IDispatch::Invoke wants them reversed in rgvarg. A property write
// passes its new value (the last argument) as the named argument
// DISPID_PROPERTYPUT, which the object's Invoke requires for a put.
HRESULT CallMember(IDispatch* dispatch, const wchar_t* member, WORD flags,
                   std::vector<ScopedVariant>& arguments, ScopedVariant* result) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;

  std::vector<VARIANT> reversed;  // shallow copies; `arguments` keeps ownership
  reversed.reserve(arguments.size());
  for (const ScopedVariant& argument : arguments) reversed.push_back(argument.Value());
  std::reverse(reversed.begin(), reversed.end());

  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS parameters = {};
  parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
  parameters.cArgs = static_cast<UINT>(reversed.size());
  if (flags & DISPATCH_PROPERTYPUT) {
    parameters.rgdispidNamedArgs = &putId;
    parameters.cNamedArgs = 1;
  }
  EXCEPINFO exception = {};
  UINT argumentError = 0;
  hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                        result != nullptr ? result->Get() : nullptr, &exception, &argumentError);
  if (hr == DISP_E_EXCEPTION) {
    // The object's error texts are of no use to a silent routine; free them.
    if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
  }
  return hr;
}

template <typename... Arguments>
std::vector<ScopedVariant> ArgumentList(Arguments&&... arguments) {
  std::vector<ScopedVariant> list;
  list.reserve(sizeof...(arguments));
  (list.push_back(std::forward<Arguments>(arguments)), ...);
  return list;
}

// CoInitialize and CoUninitialize are looked up in ole32.dll at their first
// call. A CoInitialize that failed (the thread is in another apartment) is not
// balanced by a CoUninitialize, which would end someone else's COM.
class WinHttpPlatform final : public RequestPlatform {
 public:
  void InitializeCom() override {
    using CoInitializeFunction = HRESULT(WINAPI*)(LPVOID);
    const HRESULT hr = SystemFunction<CoInitializeFunction>("ole32.dll", "CoInitialize")(nullptr);
    initialized_.push_back(SUCCEEDED(hr));
  }
  void UninitializeCom() override {
    const bool initialized = !initialized_.empty() && initialized_.back();
    if (!initialized_.empty()) initialized_.pop_back();
    if (!initialized) return;
    using CoUninitializeFunction = void(WINAPI*)();
    SystemFunction<CoUninitializeFunction>("ole32.dll", "CoUninitialize")();
  }
  std::shared_ptr<RequestObject> CreateRequestObject() override {
    return CreateWinHttpRequestObject();
  }

 private:
  // One entry a request under way on this thread (requests do not nest in
  // this program, but a message pumped during Send could start one).
  // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): state of the thread
  static thread_local std::vector<bool> initialized_;
};

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): see above
thread_local std::vector<bool> WinHttpPlatform::initialized_;

}  // namespace

WinHttpRequestObject::WinHttpRequestObject(IDispatch* dispatch) : dispatch_(dispatch) {}

WinHttpRequestObject::~WinHttpRequestObject() {
  if (dispatch_ != nullptr) dispatch_->Release();
}

void WinHttpRequestObject::SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) {
  auto arguments = ArgumentList(ScopedVariant::Number(resolveMs), ScopedVariant::Number(connectMs),
                                ScopedVariant::Number(sendMs), ScopedVariant::Number(receiveMs));
  lastResult_ = CallMember(dispatch_, L"SetTimeouts", DISPATCH_METHOD, arguments, nullptr);
  if (SUCCEEDED(lastResult_)) timeouts_ = Timeouts{resolveMs, connectMs, sendMs, receiveMs};
}

void WinHttpRequestObject::SetProxy(int setting, const Text& server) {
  auto arguments = ArgumentList(ScopedVariant::Number(setting), ScopedVariant::String(server));
  lastResult_ = CallMember(dispatch_, L"SetProxy", DISPATCH_METHOD, arguments, nullptr);
}

void WinHttpRequestObject::Open(const Text& method, const Text& url, bool async) {
  auto arguments = ArgumentList(ScopedVariant::String(method), ScopedVariant::String(url),
                                ScopedVariant::Boolean(async));
  const HRESULT opened = CallMember(dispatch_, L"Open", DISPATCH_METHOD, arguments, nullptr);
  // Windows keeps time-outs set before Open; Wine 8's Open puts the connect,
  // send and receive time-outs back to their defaults (60 s, 30 s, 30 s). So
  // the time-outs given are set once more on the opened request, which is
  // harmless where they were kept.
  if (SUCCEEDED(opened) && timeouts_) {
    const Timeouts timeouts = *timeouts_;
    SetTimeouts(timeouts.resolveMs, timeouts.connectMs, timeouts.sendMs, timeouts.receiveMs);
  }
  sendFailed_ = false;
  lastResult_ = opened;
}

void WinHttpRequestObject::SetOption(int index, int value) {
  auto arguments = ArgumentList(ScopedVariant::Number(index), ScopedVariant::Number(value));
  lastResult_ = CallMember(dispatch_, L"Option", DISPATCH_PROPERTYPUT, arguments, nullptr);
}

void WinHttpRequestObject::SetCredentials(const Text& userName, const Text& password, int flags) {
  auto arguments = ArgumentList(ScopedVariant::String(userName), ScopedVariant::String(password),
                                ScopedVariant::Number(flags));
  lastResult_ = CallMember(dispatch_, L"SetCredentials", DISPATCH_METHOD, arguments, nullptr);
}

void WinHttpRequestObject::SetRequestHeader(const Text& name, const Text& value) {
  auto arguments = ArgumentList(ScopedVariant::String(name), ScopedVariant::String(value));
  lastResult_ = CallMember(dispatch_, L"SetRequestHeader", DISPATCH_METHOD, arguments, nullptr);
}

void WinHttpRequestObject::Send(const Text& body) {
  auto arguments = ArgumentList(ScopedVariant::String(body));
  lastResult_ = CallMember(dispatch_, L"Send", DISPATCH_METHOD, arguments, nullptr);
  sendFailed_ = FAILED(lastResult_);
}

void WinHttpRequestObject::Send(const ByteArray& body) {
  auto arguments = ArgumentList(ScopedVariant::Bytes(body));
  lastResult_ = CallMember(dispatch_, L"Send", DISPATCH_METHOD, arguments, nullptr);
  sendFailed_ = FAILED(lastResult_);
}

ByteArray WinHttpRequestObject::ResponseBody() {
  // After a failed exchange there is no body to read. Windows answers the
  // read with an error; Wine 8, when the body broke off after the head had
  // arrived, copies from the buffer it has already freed and crashes the
  // process (winhttp_request_get_ResponseBody). So the object is not asked.
  if (sendFailed_) {
    lastResult_ = E_FAIL;
    return ByteArray();
  }
  std::vector<ScopedVariant> none;
  ScopedVariant result;
  lastResult_ = CallMember(dispatch_, L"ResponseBody", DISPATCH_PROPERTYGET, none, &result);
  return SUCCEEDED(lastResult_) ? result.ToBytes() : ByteArray();
}

Text WinHttpRequestObject::GetAllResponseHeaders() {
  std::vector<ScopedVariant> none;
  ScopedVariant result;
  lastResult_ = CallMember(dispatch_, L"GetAllResponseHeaders", DISPATCH_METHOD, none, &result);
  return SUCCEEDED(lastResult_) ? result.ToText() : Text();
}

double WinHttpRequestObject::Status() {
  std::vector<ScopedVariant> none;
  ScopedVariant result;
  lastResult_ = CallMember(dispatch_, L"Status", DISPATCH_PROPERTYGET, none, &result);
  return SUCCEEDED(lastResult_) ? result.ToNumber() : 0;
}

std::shared_ptr<WinHttpRequestObject> CreateWinHttpRequestObject() {
  CLSID classId = {};
  if (FAILED(::CLSIDFromProgID(L"WinHttp.WinHttpRequest.5.1", &classId))) return nullptr;
  IDispatch* dispatch = nullptr;
  if (FAILED(::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&dispatch))) ||
      dispatch == nullptr) {
    return nullptr;
  }
  return std::make_shared<WinHttpRequestObject>(dispatch);
}

RequestPlatform& SystemRequestPlatform() {
  static WinHttpPlatform platform;
  return platform;
}
