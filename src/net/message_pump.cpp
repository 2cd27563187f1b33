#include "net/message_pump.h"

#include <chrono>

namespace corvalo::net {

std::int64_t SteadyClock::nowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace corvalo::net
