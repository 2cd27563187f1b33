#pragma once

#include <string>

namespace corvalo::platform {
class Dialogs;
class HelpEngine;
}  // namespace corvalo::platform

namespace corvalo::shell {

inline constexpr const char* kHelpFileName = "CORVALO.HLP";
inline constexpr const char* kHelpContentsTopic = "Contents";
inline constexpr const char* kMsgHelpMissing = "  Unable to locate file:   \r\n   CORVALO.HLP";

// "<programFolder>/CORVALO.HLP" (no separator added when it already ends in one).
std::string helpFilePath(const std::string& programFolder);

// Help > Help (F1): opens the help file beside the program at its "Contents"
// topic, or says it is missing. `applicationHelpFile` takes the path only when
// the file is there. Returns whether help was opened.
bool showHelp(const std::string& programFolder, std::string& applicationHelpFile,
              platform::Dialogs& dialogs, platform::HelpEngine& help);

}  // namespace corvalo::shell
