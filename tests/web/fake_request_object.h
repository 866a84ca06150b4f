// A recording fake of the request platform and its request objects, for
// native tests of the request routine. Every call lands in one shared log as
// a readable line, e.g. SetRequestHeader("Accept", "*/*"); the objects answer
// with the response the platform was given.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "web/request_object.h"

using CallLog = std::vector<std::string>;

// What the fake objects answer after Send.
struct FakeResponse {
  ByteArray body;
  Text headers;
  double status = 0;
};

class FakeRequestObject final : public RequestObject {
 public:
  FakeRequestObject(std::shared_ptr<CallLog> log, FakeResponse response)
      : log_(std::move(log)), response_(std::move(response)) {}
  ~FakeRequestObject() override { log_->push_back("Release"); }

  void SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    Record("SetTimeouts(" + std::to_string(resolveMs) + ", " + std::to_string(connectMs) + ", " +
           std::to_string(sendMs) + ", " + std::to_string(receiveMs) + ")");
  }
  void SetProxy(int setting, const Text& server) override {
    Record("SetProxy(" + std::to_string(setting) + ", " + Quoted(server) + ")");
  }
  void Open(const Text& method, const Text& url, bool async) override {
    Record("Open(" + Quoted(method) + ", " + Quoted(url) + ", " + (async ? "true" : "false") + ")");
  }
  void SetOption(int index, int value) override {
    Record("Option(" + std::to_string(index) + ") = " + std::to_string(value));
  }
  void SetCredentials(const Text& userName, const Text& password, int flags) override {
    Record("SetCredentials(" + Quoted(userName) + ", " + Quoted(password) + ", " +
           std::to_string(flags) + ")");
  }
  void SetRequestHeader(const Text& name, const Text& value) override {
    Record("SetRequestHeader(" + Quoted(name) + ", " + Quoted(value) + ")");
  }
  void Send(const Text& body) override { Record("Send(" + Quoted(body) + ")"); }
  void Send(const ByteArray& body) override {
    sentBytes = body;
    Record("Send(bytes[" + std::to_string(body.size()) + "])");
  }
  ByteArray ResponseBody() override {
    Record("ResponseBody");
    return response_.body;
  }
  Text GetAllResponseHeaders() override {
    Record("GetAllResponseHeaders");
    return response_.headers;
  }
  double Status() override {
    Record("Status");
    return response_.status;
  }

  // The last byte body sent.
  ByteArray sentBytes;

 private:
  static std::string Quoted(const Text& text) { return "\"" + text.bytes() + "\""; }
  void Record(std::string call) { log_->push_back(std::move(call)); }

  std::shared_ptr<CallLog> log_;
  FakeResponse response_;
};

class FakeRequestPlatform final : public RequestPlatform {
 public:
  void InitializeCom() override { log->push_back("CoInitialize"); }
  void UninitializeCom() override { log->push_back("CoUninitialize"); }
  std::shared_ptr<RequestObject> CreateRequestObject() override {
    log->push_back("Create");
    if (creationFails) return nullptr;
    return std::make_shared<FakeRequestObject>(log, response);
  }

  // An object of this platform that a test holds itself (a supplied
  // requestObject); its calls land in the same log.
  std::shared_ptr<FakeRequestObject> MakeObject() {
    return std::make_shared<FakeRequestObject>(log, response);
  }

  // The calls of the log that start with `prefix`, e.g. "SetRequestHeader".
  CallLog CallsOf(const std::string& prefix) const {
    CallLog calls;
    for (const std::string& call : *log) {
      if (call.rfind(prefix, 0) == 0) calls.push_back(call);
    }
    return calls;
  }

  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  bool creationFails = false;
  FakeResponse response;
};
