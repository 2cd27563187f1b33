#pragma once

#include <string>

namespace corvalo::platform {

// The help engine: shows a help file's topics in a window of its own.
class HelpEngine {
  public:
    virtual ~HelpEngine() = default;
    // Opens `file` at its contents (first) topic; false when it cannot be read.
    virtual bool showContents(const std::string& file) = 0;
    // Jumps to the topic named `topic` of `file`; false when there is none.
    virtual bool showTopic(const std::string& file, const std::string& topic) = 0;
};

}  // namespace corvalo::platform
