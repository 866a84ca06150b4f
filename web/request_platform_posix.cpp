// The native build's stand-in for the request platform: there is no WinHTTP
// object outside Windows, so creation fails and a request yields nothing, as
// when the component is missing on Windows.
#include "web/request_object.h"

namespace {

class NoRequestPlatform final : public RequestPlatform {
 public:
  void InitializeCom() override {}
  void UninitializeCom() override {}
  std::shared_ptr<RequestObject> CreateRequestObject() override { return nullptr; }
};

}  // namespace

RequestPlatform& SystemRequestPlatform() {
  static NoRequestPlatform platform;
  return platform;
}
