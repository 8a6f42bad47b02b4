#include "core/http/server.h"

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace merovan::http {
namespace {

// Set on the thread that only turns away connections beyond the limit.
thread_local bool tFull = false;

// httplib's pool queues without bound; this one serves `workers` connections at once, lets
// `waiting` more wait, and hands any further one to a single thread that answers 503.
class BoundedPool final : public httplib::TaskQueue {
  public:
    BoundedPool(std::size_t workers, std::size_t waiting) : places_(workers + waiting) {
        for (std::size_t n = 0; n < workers; ++n) {
            threads_.emplace_back([this] { work(tasks_, false); });
        }
        threads_.emplace_back([this] { work(refused_, true); });
    }
    ~BoundedPool() override { shutdown(); }
    BoundedPool(const BoundedPool&) = delete;
    BoundedPool& operator=(const BoundedPool&) = delete;

    void enqueue(std::function<void()> task) override {
        {
            const std::lock_guard lock(mutex_);
            (busy_ + tasks_.size() < places_ ? tasks_ : refused_).push_back(std::move(task));
        }
        wake_.notify_all();
    }

    void shutdown() override {
        {
            const std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            stopping_ = true;
        }
        wake_.notify_all();
        for (auto& thread : threads_) {
            thread.join();
        }
    }

  private:
    void work(std::deque<std::function<void()>>& queue, bool full) {
        tFull = full;
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || !queue.empty(); });
                if (queue.empty()) {
                    return;
                }
                task = std::move(queue.front());
                queue.pop_front();
                busy_ += full ? 0 : 1;
            }
            task();
            if (!full) {
                const std::lock_guard lock(mutex_);
                --busy_;
            }
        }
    }

    std::size_t places_;    // connections served or waiting at most
    std::size_t busy_ = 0;  // being served by a worker
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    std::deque<std::function<void()>> refused_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

ApiRequest requestOf(const httplib::Request& in) {
    ApiRequest out;
    out.method = in.method;
    out.path = in.path;
    for (const auto& [name, value] : in.params) {
        out.query.emplace(name, value);
    }
    for (const auto& [name, value] : in.headers) {
        std::string lower = name;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        out.headers.emplace(std::move(lower), value);
    }
    out.body = in.body;
    return out;
}

void write(const ApiResponse& from, httplib::Response& to) {
    to.status = from.status;
    for (const auto& [name, value] : from.headers) {
        to.set_header(name, value);
    }
    if (!from.contentType.empty()) {
        to.set_content(from.body, from.contentType.c_str());
    }
}

// The library's own refusals, in the interface's words.
ApiResponse libraryError(const httplib::Request& request, int status) {
    switch (status) {
        case 413:
            return errorResponse(413, "too-large", "the body is over the limit of 1 MB");
        case 414:
            return errorResponse(414, "too-long", "the request target is too long");
        case 404:
            return errorResponse(404, "not-found", "no such resource");
        default:
            break;
    }
    return errorResponse(
        status == 400 ? 400 : status, "bad-request",
        "the request could not be read as HTTP/1.1" +
            (request.method.empty() ? std::string() : " (" + request.method + ")"));
}

}  // namespace

struct HttpServer::Impl {
    Impl(const Api& served, ServerLimits bounds) : api(served), limits(bounds) {}
    const Api& api;
    ServerLimits limits;
    httplib::Server server;
    std::thread thread;
};

HttpServer::HttpServer(const Api& api, ServerLimits limits)
    : impl_(std::make_unique<Impl>(api, limits)) {
    auto& server = impl_->server;
    const ServerLimits bounds = limits;
    server.new_task_queue = [bounds] { return new BoundedPool(bounds.workers, bounds.waiting); };
    server.set_payload_max_length(limits.maxBody);
    server.set_read_timeout(limits.ioTimeout);
    server.set_write_timeout(limits.ioTimeout);
    server.set_keep_alive_timeout(2);
    server.set_keep_alive_max_count(100);
    const auto serve = [this](const httplib::Request& request, httplib::Response& response) {
        if (tFull) {
            response.set_header("Connection", "close");
            write(errorResponse(503, "too-many-connections",
                                "too many connections at once; try again shortly"),
                  response);
            return;
        }
        write(impl_->api.handle(requestOf(request)), response);
    };
    const std::string all = ".*";
    server.Get(all, serve);
    server.Post(all, serve);
    server.Put(all, serve);
    server.Patch(all, serve);
    server.Delete(all, serve);
    server.Options(all, serve);
    server.set_error_handler([](const httplib::Request& request, httplib::Response& response) {
        if (response.body.empty()) {
            write(libraryError(request, response.status), response);
        }
    });
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            write(errorResponse(500, "internal", "the request failed inside the driver"), response);
        });
}

HttpServer::~HttpServer() {
    stop();
}

common::Result<void> HttpServer::start(const std::string& address, int port) {
    if (port == 0) {
        port = impl_->server.bind_to_any_port(address);
    } else if (!impl_->server.bind_to_port(address, port)) {
        port = -1;
    }
    if (port <= 0) {
        return common::Error{"the network interface cannot listen on " + address + ":" +
                             std::to_string(port) + " (address in use or not this machine's)"};
    }
    port_ = port;
    impl_->thread = std::thread([this] { impl_->server.listen_after_bind(); });
    return {};
}

void HttpServer::stop() {
    if (impl_->thread.joinable()) {
        impl_->server.stop();
        impl_->thread.join();
    }
}

}  // namespace merovan::http
