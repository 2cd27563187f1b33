#pragma once

#include <cstddef>
#include <string>

namespace corvalo::platform {

enum class FileRead { Ok, Missing, Failed };

// Reads a whole file that lies in a folder anyone may have written to. The open
// never blocks: a pipe, socket, device or folder of that name is Failed, as is a
// file longer than `maxBytes` or one that cannot be read; Missing when there is
// nothing under `path`. `bytes` is empty unless the result is Ok.
FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes);

}  // namespace corvalo::platform
