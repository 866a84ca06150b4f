// The two HTTP exchanges the network facts make, behind a small seam: a HEAD
// whose response header block is wanted, and a GET whose body is wanted.
// The program's client sends both through WebRequest with all its defaults;
// native tests put a recording fake in its place.
#pragma once

#include "core/text.h"

class HttpClient {
 public:
  virtual ~HttpClient() = default;

  // The raw response header block of a HEAD request ("\r\n"-ended lines);
  // the empty Text when the exchange failed.
  virtual Text Head(const Text& url) = 0;
  // The body of a GET request; empty when the exchange failed.
  virtual ByteArray Get(const Text& url) = 0;
};

// WebRequest with every parameter but the address and the method left out.
HttpClient& WebRequestClient();
