#include "core/http/driver_services.h"

#include <future>
#include <memory>

namespace merovan::http {
namespace {

using namespace std::chrono_literals;

// A report waits for the register as long as the exchange lets it; this only ends the wait of
// an answer whose driver has stopped.
constexpr auto kLongestAction = 10min;

}  // namespace

ApiServices driverServices(driver::DriverLoop& loop, driver::PostedJobs& jobs,
                           std::function<nlohmann::json()> statusJson,
                           std::function<std::string()> metricsText) {
    ApiServices services{jobs, {}, {}, std::move(statusJson), std::move(metricsText)};
    services.jobPosted = [&loop] {
        loop.post([](driver::Driver& driver) {
            if (driver.polling()) {
                driver.pollTick();
            }
        });
    };
    services.runAction = [&loop](Action action) -> std::optional<link::LinkStatus> {
        auto done = std::make_shared<std::promise<std::optional<link::LinkStatus>>>();
        auto answer = done->get_future();
        loop.post([done, action](driver::Driver& driver) {
            if (action) {
                done->set_value(driver.remoteReport(*action));
                return;
            }
            driver.clearError();
            done->set_value(driver.session().lastStatus());
        });
        if (answer.wait_for(kLongestAction) != std::future_status::ready) {
            return std::nullopt;
        }
        return answer.get();
    };
    return services;
}

}  // namespace merovan::http
