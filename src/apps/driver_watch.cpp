#include "apps/driver_watch.h"

#include <chrono>

namespace merovan::apps {
namespace {

common::MessageBox refusal(const common::Error& error) {
    return common::formatMessageBox(error.what, common::buttons::kCritical, "Merovan");
}

double secondsSinceEpoch() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

common::Result<std::unique_ptr<DriverWatch>> DriverWatch::prepare(const std::string& httpOption) {
    auto web = prepareHttp(httpOption);
    if (!web) {
        return web.error();
    }
    return std::unique_ptr<DriverWatch>(new DriverWatch(std::move(*web)));
}

std::optional<std::unique_ptr<DriverWatch>> DriverWatch::forDesktop(
    bool polling, driver::DriverServices& services, driver::DriverOptions& options,
    const Say& say) {
    if (!polling) {
        return std::unique_ptr<DriverWatch>();
    }
    auto watch = prepare({});
    if (!watch) {
        say(refusal(watch.error()));
        return std::nullopt;
    }
    (*watch)->connect(services, options);
    return std::move(*watch);
}

DriverWatch::DriverWatch(std::unique_ptr<HttpInterface> web)
    : monitor_(MEROVAN_VERSION, secondsSinceEpoch()),
      publisher_(monitor_, monitoring::ServiceNotifier::fromEnvironment(), "."),
      web_(std::move(web)) {
    monitor_.setListener([this](bool significant) { publisher_.changed(significant); });
}

DriverWatch::~DriverWatch() {
    detach();
}

common::Result<void> DriverWatch::attach(driver::DriverLoop& loop) {
    loop.setHeartbeat(publisher_.beatInterval(), [this] { publisher_.beat(); });
    if (web_) {
        return web_->start(loop, monitor_);
    }
    return {};
}

void DriverWatch::attach(driver::DriverLoop& loop, const Say& say) {
    if (const auto attached = attach(loop); !attached) {
        say(refusal(attached.error()));
    }
}

void DriverWatch::detach() {
    if (detached_) {
        return;
    }
    detached_ = true;
    web_.reset();
    publisher_.stopping();
}

}  // namespace merovan::apps
