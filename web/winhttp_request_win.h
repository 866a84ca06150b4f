// The WinHTTP automation object "WinHttp.WinHttpRequest.5.1" behind the
// request-object seam. Windows only: included by *_win.cpp files and by the
// Windows-layer tests.
#pragma once

#include <memory>
#include <optional>

#include "core/win32.h"
// After the shim, which has set up <windows.h>: the COM and automation types.
#include <objbase.h>
#include <oleauto.h>

#include "web/request_object.h"

// Drives one request object through IDispatch by member name (late binding).
// Texts go to the object as UTF-16 strings converted from code page 936 and
// come back the same way; byte bodies are arrays of unsigned bytes. A member
// call that fails does nothing or gives the empty/zero result.
class WinHttpRequestObject final : public RequestObject {
 public:
  // Takes over one reference to `dispatch`, released with the object.
  explicit WinHttpRequestObject(IDispatch* dispatch);
  ~WinHttpRequestObject() override;
  WinHttpRequestObject(const WinHttpRequestObject&) = delete;
  WinHttpRequestObject& operator=(const WinHttpRequestObject&) = delete;

  void SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override;
  void SetProxy(int setting, const Text& server) override;
  void Open(const Text& method, const Text& url, bool async) override;
  void SetOption(int index, int value) override;
  void SetCredentials(const Text& userName, const Text& password, int flags) override;
  void SetRequestHeader(const Text& name, const Text& value) override;
  void Send(const Text& body) override;
  void Send(const ByteArray& body) override;
  ByteArray ResponseBody() override;
  Text GetAllResponseHeaders() override;
  double Status() override;

  // What the object answered to the last member call. The routine never looks
  // at it; tests use it to note which calls the platform refuses.
  HRESULT LastResult() const { return lastResult_; }

 private:
  struct Timeouts {
    int resolveMs, connectMs, sendMs, receiveMs;
  };

  IDispatch* dispatch_;
  HRESULT lastResult_ = S_OK;
  // The time-outs last set, to be set again after Open.
  std::optional<Timeouts> timeouts_;
  // Whether the last Send failed: then there is no body to read.
  bool sendFailed_ = false;
};

// A new object, or null when it cannot be created (no such component, COM not
// initialised on the calling thread).
std::shared_ptr<WinHttpRequestObject> CreateWinHttpRequestObject();
