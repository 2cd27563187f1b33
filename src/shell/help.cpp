#include "shell/help.h"

#include <filesystem>
#include <system_error>

#include "platform/dialogs.h"
#include "platform/help_engine.h"

namespace corvalo::shell {

std::string helpFilePath(const std::string& programFolder) {
    std::string path = programFolder;
    if (path.empty() || path.back() != '/') path += '/';
    return path + kHelpFileName;
}

bool showHelp(const std::string& programFolder, std::string& applicationHelpFile,
              platform::Dialogs& dialogs, platform::HelpEngine& help) {
    const std::string path = helpFilePath(programFolder);
    std::error_code ec;
    // A folder or a dangling link of that name is no help file either.
    if (!std::filesystem::is_regular_file(path, ec)) {
        dialogs.showMessage(kMsgHelpMissing);
        return false;
    }
    applicationHelpFile = path;
    if (!help.showContents(path)) return false;
    return help.showTopic(path, kHelpContentsTopic);
}

}  // namespace corvalo::shell
