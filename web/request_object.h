// The request-object seam: what WebRequest needs of the platform. The members
// of RequestObject are the members of the WinHTTP automation object
// "WinHttp.WinHttpRequest.5.1" that the routine calls; RequestPlatform starts
// and ends COM for the calling thread and creates the objects.
//
// Every member is silent: a call the platform refuses does nothing, and a
// read that fails gives the empty Text, the empty ByteArray or 0. Nothing
// throws.
#pragma once

#include <memory>

#include "core/text.h"

class RequestObject {
 public:
  virtual ~RequestObject() = default;

  // The four time-outs in milliseconds.
  virtual void SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) = 0;
  // setting 2 (HTTPREQUEST_PROXYSETTING_PROXY) uses `server` as the proxy.
  virtual void SetProxy(int setting, const Text& server) = 0;
  virtual void Open(const Text& method, const Text& url, bool async) = 0;
  // Writes the indexed property Option(index).
  virtual void SetOption(int index, int value) = 0;
  // flags 0 for the server, 1 for the proxy.
  virtual void SetCredentials(const Text& userName, const Text& password, int flags) = 0;
  virtual void SetRequestHeader(const Text& name, const Text& value) = 0;
  // A synchronous send of a string body, or of a byte body (an array of
  // unsigned bytes); returns when the whole response has arrived, or on
  // failure or time-out.
  virtual void Send(const Text& body) = 0;
  virtual void Send(const ByteArray& body) = 0;

  virtual ByteArray ResponseBody() = 0;
  // The response header lines, each ended by "\r\n".
  virtual Text GetAllResponseHeaders() = 0;
  // The status code as the object gives it (an automation number).
  virtual double Status() = 0;
};

class RequestPlatform {
 public:
  virtual ~RequestPlatform() = default;

  // CoInitialize and CoUninitialize of the calling thread; their results are
  // of no interest to the routine.
  virtual void InitializeCom() = 0;
  virtual void UninitializeCom() = 0;
  // A new request object, or null when it cannot be created. The caller holds
  // the only reference; dropping it releases the object.
  virtual std::shared_ptr<RequestObject> CreateRequestObject() = 0;
};

// The platform's own: on Windows the WinHTTP automation object through
// IDispatch; the native build has no such object, so creation always fails
// there and a request yields nothing.
RequestPlatform& SystemRequestPlatform();
