#pragma once
// Window tests on X: with VORLANE_TESTS_ON_X set, a window test executable starts itself
// again under an X server of its own (tests/e2e/xserver.sh) on the xcb platform. CTest runs
// each case as a process of its own, so each case gets a screen where no other test's window
// takes the keyboard. Listing the cases needs no server.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace vl::testx {

inline void RunUnderOwnXServer(int argc, char** argv) {
    const char* wanted = std::getenv("VORLANE_TESTS_ON_X");
    if (!wanted || !*wanted || std::getenv("VORLANE_TESTS_X_STARTED")) return;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return;
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::perror("readlink /proc/self/exe");
        std::exit(1);
    }
    self[length] = '\0';
    setenv("VORLANE_TESTS_X_STARTED", "1", 1);
    std::vector<std::string> args = {"bash", std::string(VORLANE_TEST_DATA) + "/../e2e/xserver.sh",
                                     "env", "QT_QPA_PLATFORM=xcb", self};
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    std::vector<char*> raw;
    for (std::string& a : args) raw.push_back(a.data());
    raw.push_back(nullptr);
    execvp("bash", raw.data());
    std::perror("bash tests/e2e/xserver.sh");
    std::exit(1);
}

} // namespace vl::testx
