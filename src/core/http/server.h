#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "core/common/result.h"
#include "core/http/api.h"

namespace merovan::http {

struct ServerLimits {
    std::size_t workers = 8;   // requests served at once (a long poll holds one)
    std::size_t waiting = 16;  // connections waiting for a worker; more get 503
    std::size_t maxBody = 1U << 20U;
    // A client slower than this for a read or a write is dropped.
    std::chrono::seconds ioTimeout{5};
};

// The network interface on cpp-httplib: a bounded pool of workers, the limits above, and every
// answer (the library's own refusals too) as the JSON the interface documents.
class HttpServer {
  public:
    HttpServer(const Api& api, ServerLimits limits = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and starts serving on a thread of its own; an error in plain words when the address
    // cannot be had.
    common::Result<void> start(const std::string& address, int port);
    void stop();
    int port() const { return port_; }

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int port_ = 0;
};

}  // namespace merovan::http
