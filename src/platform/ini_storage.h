#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace corvalo::platform {

// The file system under an INI file: one seam with a real and a test implementation.
class IniStorage {
  public:
    enum class ReadResult { Ok, Missing, Failed };

    virtual ~IniStorage() = default;
    // The whole file into `bytes`; Missing when there is no such file, Failed when
    // something is there that cannot be read as a file: a folder, a pipe, a device.
    virtual ReadResult read(const std::string& path, std::string& bytes) = 0;
    // Puts exactly `bytes` in place of the file (creating it); false when refused,
    // the old file then left as it was.
    [[nodiscard]] virtual bool replace(const std::string& path, std::string_view bytes) = 0;
};

// The steps of a write to disk, in the order they run.
enum class DiskStep {
    CreateTemp,  // the new file beside the old one
    WriteTemp,
    SyncTemp,
    Rename,       // the new file over the old one
    OpenInPlace,  // when the folder refuses the two above: the old file itself
    Reserve,      // room for the new length, before a byte of the old text changes
    WriteInPlace,
    Cut,  // to the new length
    SyncInPlace,
};

// The real file system. Reads the file whole, refusing anything but a regular
// file. Replaces it by writing a new file beside it, flushing it to disk and
// renaming it over the old one, so that the file is at every moment the old or
// the new whole file. Where the folder refuses the new file or the rename (a
// folder the user may not write, a file mounted on its own), a file the user
// may write is rewritten in place instead, after room for it is reserved (only
// a failure after that, of the disk itself, can leave a mixed file).
// A file the user may not write is refused. A symbolic link is followed to its
// target (which a dangling link creates) only when the link is the user's own;
// a link someone else planted refuses the write.
class DiskIniStorage final : public IniStorage {
  public:
    // Answers before each step with an errno to fail that step with, or 0 to run it.
    using StepFault = std::function<int(DiskStep)>;

    DiskIniStorage() = default;
    explicit DiskIniStorage(StepFault fault) : fault_(std::move(fault)) {}

    ReadResult read(const std::string& path, std::string& bytes) override;
    [[nodiscard]] bool replace(const std::string& path, std::string_view bytes) override;

  private:
    enum class Outcome { Done, Refused, Failed };

    bool refused(DiskStep step) const;
    Outcome replaceAtomically(const std::string& target, std::string_view bytes,
                              std::optional<mode_t> mode) const;
    Outcome renameOver(const std::string& temp, const std::string& target) const;
    bool writeTemp(int fd, std::string_view bytes, std::optional<mode_t> mode) const;
    bool writeInPlace(const std::string& target, std::string_view bytes) const;

    StepFault fault_;
};

}  // namespace corvalo::platform
