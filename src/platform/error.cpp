#include "platform/error.h"

namespace corvalo {

std::string errorReportText(const std::string& message) {
    if (!message.empty()) {
        const auto last = static_cast<unsigned char>(message.back());
        if (last <= static_cast<unsigned char>('.')) return message;
    }
    return message + ".";
}

}  // namespace corvalo
