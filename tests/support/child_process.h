#pragma once

#include <functional>
#include <string>

namespace corvalo::testing {

// Runs `body` in a forked child and returns the text it returned ("" for success by
// convention), or "the child died" when it ended without a word.
std::string runInChild(const std::function<std::string()>& body);

// In a child: becomes the user "nobody" with group "nogroup" and no other groups, as
// `setpriv --reuid=nobody --regid=nogroup --clear-groups` does. False when refused.
bool becomeNobody();

// The ids that becomeNobody() takes.
unsigned nobodyUid();
unsigned nogroupGid();

}  // namespace corvalo::testing
