#include "shell/help.h"

#include <filesystem>
#include <system_error>

#include "platform/help_engine.h"
#include "platform/qt/dialogs.h"

namespace corvalo::shell {

std::string HelpFilePath(const std::string& programFolder) {
    std::string path = programFolder;
    if (path.empty() || path.back() != '/') path += '/';
    return path + kHelpFileName;
}

bool menuHelpHelpClick(const std::string& programFolder, std::string& applicationHelpFile,
                       platform::Dialogs& dialogs, platform::HelpEngine& help) {
    const std::string path = HelpFilePath(programFolder);
    std::error_code ec;
    // A folder or a dangling link of that name is no help file either.
    if (!std::filesystem::is_regular_file(path, ec)) {
        dialogs.ShowMessage(kMsgHelpMissing);
        return false;
    }
    applicationHelpFile = path;
    if (!help.ShowContents(path)) return false;
    return help.ShowTopic(path, kHelpContentsTopic);
}

}  // namespace corvalo::shell
