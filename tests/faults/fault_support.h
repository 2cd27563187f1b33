#pragma once

#include <unistd.h>

#include <array>
#include <cstdio>
#include <utility>

#include <gtest/gtest.h>

namespace corvalo::faults {

// A pipe whose ends are each closed once, at the latest when it goes.
struct Pipe {
    Pipe() { EXPECT_EQ(::pipe(fd.data()), 0); }
    ~Pipe() { closeEnd(0), closeEnd(1); }
    void closeEnd(std::size_t i) {
        if (fd[i] >= 0) ::close(std::exchange(fd[i], -1));
    }
    std::array<int, 2> fd{-1, -1};
};

// One line of the counts that the hardening note quotes.
inline void printCounts(const char* what, long injected, long survived) {
    std::printf("[faults] %s: injected %ld, survived %ld\n", what, injected, survived);
    std::fflush(stdout);
}

}  // namespace corvalo::faults
