#include "core/link/port_props.h"

namespace merovan::link {

Transport* cPortProp::TCPClass() {
    if (!tcpClass_ && makeNetworkTransport_) {
        tcpClass_ = makeNetworkTransport_();
    }
    return tcpClass_.get();
}

}  // namespace merovan::link
