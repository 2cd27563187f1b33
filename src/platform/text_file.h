#pragma once

#include <string>
#include <string_view>

namespace corvalo::platform {

// Puts exactly `bytes` in the file at `path` (creating it) by writing a new file beside
// it, flushing it to disk and renaming it over the old one: a reader sees the old whole
// file or the new whole file, never a mix. An old file keeps its permissions. A link
// is followed only when it is the user's own; one that someone else planted, a folder,
// a file the user may not write or any failure of the write throws
// Error("Unable to write to <path>"), leaving the old file as it was and nothing beside it.
void writeTextFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace corvalo::platform
