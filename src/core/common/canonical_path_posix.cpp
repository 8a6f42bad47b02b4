#include <climits>
#include <cstdlib>
#include <memory>

#include "core/common/canonical_path.h"

namespace merovan::common {
namespace {

std::string resolved(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : std::string();
}

}  // namespace

std::string canonicalPath(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    if (auto whole = resolved(path); !whole.empty()) {
        return whole;
    }
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        return {};
    }
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string real = resolved(dir);
    if (real.empty()) {
        return {};
    }
    return real == "/" ? real + name : real + "/" + name;
}

}  // namespace merovan::common
