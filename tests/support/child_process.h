#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace corvalo::testing {

// Runs `body` in a forked child and returns the text it returned ("" for success by
// convention), or "the child died" when it ended without a word.
inline std::string runInChild(const std::function<std::string()>& body) {
    int report[2];
    const pid_t child = ::pipe(report) == 0 ? ::fork() : -1;
    if (child < 0) return "no pipe or no fork";
    if (child == 0) {
        const std::string verdict = body();
        (void)!::write(report[1], verdict.data(), verdict.size());
        ::_exit(0);
    }
    ::close(report[1]);
    std::string verdict;
    for (char c = 0; ::read(report[0], &c, 1) == 1;) verdict += c;
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? verdict : "the child died";
}

// The ids that becomeNobody() takes.
inline unsigned nobodyUid() {
    const passwd* pw = ::getpwnam("nobody");
    return pw != nullptr ? pw->pw_uid : 65534U;
}
inline unsigned nogroupGid() {
    const group* gr = ::getgrnam("nogroup");
    return gr != nullptr ? gr->gr_gid : 65534U;
}

// In a child: becomes the user "nobody" with group "nogroup" and no other groups, as
// `setpriv --reuid=nobody --regid=nogroup --clear-groups` does. False when refused.
inline bool becomeNobody() {
    return setgroups(0, nullptr) == 0 && setgid(nogroupGid()) == 0 && setuid(nobodyUid()) == 0;
}

}  // namespace corvalo::testing
