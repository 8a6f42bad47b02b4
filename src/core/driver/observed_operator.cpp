#include "core/driver/observed_operator.h"

namespace merovan::driver {

void ObservedOperator::setCaption(const std::string& caption) {
    inner_.setCaption(caption);
    if (observer_ != nullptr) {
        observer_->captionChanged(caption);
    }
}

void ObservedOperator::setDriverState(common::DriverState state) {
    inner_.setDriverState(state);
    if (observer_ != nullptr) {
        observer_->stateChanged(state);
    }
}

}  // namespace merovan::driver
