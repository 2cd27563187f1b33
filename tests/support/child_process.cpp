#include "support/child_process.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvalo::testing {

std::string runInChild(const std::function<std::string()>& body) {
    int report[2];
    if (::pipe(report) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child < 0) return "no fork";
    if (child == 0) {
        ::close(report[0]);
        const std::string verdict = body();
        (void)!::write(report[1], verdict.data(), verdict.size());
        ::_exit(0);
    }
    ::close(report[1]);
    std::string verdict;
    char chunk[256];
    ssize_t n = 0;
    while ((n = ::read(report[0], chunk, sizeof chunk)) > 0) {
        verdict.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status)) return "the child died";
    return verdict;
}

unsigned nobodyUid() {
    const passwd* pw = ::getpwnam("nobody");
    return pw != nullptr ? pw->pw_uid : 65534U;
}

unsigned nogroupGid() {
    const group* gr = ::getgrnam("nogroup");
    return gr != nullptr ? gr->gr_gid : 65534U;
}

bool becomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(nogroupGid()) == 0 &&
           ::setuid(nobodyUid()) == 0;
}

}  // namespace corvalo::testing
