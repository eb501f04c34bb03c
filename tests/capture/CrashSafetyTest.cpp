// A process killed in the middle of an upload leaves its photograph on disk;
// the next start of the library removes it before anything else, and starts
// even when the crash also left a damaged defaults file.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "CaptureTestSupport.h"
#include "sdk/EKYCUserDefault.h"
#include "support/TemporaryDirectory.h"

extern char** environ;

namespace ovira {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Runs the helper with its private data folder under `data`.
pid_t spawnHelper(const fs::path& data, const fs::path& home, std::vector<std::string> arguments) {
    std::vector<std::string> environment{"XDG_DATA_HOME=" + data.string(), "HOME=" + home.string()};
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string helper = CAPTURE_CRASH_HELPER;
    std::vector<char*> argv{helper.data()};
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    EXPECT_EQ(::posix_spawn(&child, helper.c_str(), nullptr, nullptr, argv.data(), envp.data()), 0);
    return child;
}

int waitFor(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(CrashSafety, APhotographLeftByAKilledUploadIsGoneAfterTheNextStart) {
    test::TemporaryDirectory folder;
    devserver::DevServer server(devserver::test::optionsIn(folder / "service"));
    const int port = server.start();
    devserver::Fault slow;
    slow.path = "/nationId";
    slow.delay = 30s;  // the upload is still waiting for its answer when the process dies
    server.setFault(slow);

    const fs::path data = folder / "data";
    const pid_t child =
        spawnHelper(data, folder.path(), {"127.0.0.1:" + std::to_string(port), server.caFile().string()});
    // The helper's private folder is named after its executable.
    const fs::path privateFolder = data / fs::path(CAPTURE_CRASH_HELPER).filename();
    const fs::path captureFolder = privateFolder / "KYC";
    bool stored = false;
    for (int i = 0; i < 2000 && !stored; ++i) {
        stored = !test::fileNamesIn(captureFolder).empty() && !server.requests().empty();
        if (!stored) std::this_thread::sleep_for(10ms);
    }
    ::kill(child, SIGKILL);
    const int status = waitFor(child);
    server.clearFaults();
    ASSERT_TRUE(stored) << "the helper never got as far as the upload";
    ASSERT_TRUE(WIFSIGNALED(status));
    const auto left = test::fileNamesIn(captureFolder);
    ASSERT_EQ(left.size(), 1u) << "the crash left the photograph behind, as crashes do";
    EXPECT_EQ(left.begin()->rfind("front_", 0), 0u);

    // The next start photographs nothing; the crash's photograph goes all the
    // same, and a defaults file the crash cut short or filled with garbage
    // reads as empty. Each start also finds a leftover planted beside it.
    const std::pair<const char*, std::string> damagedDefaults[] = {
        {"truncated", R"({"transactionId": "abc)"},
        {"garbage", std::string("\x00\x7f\xff garbage {{", 14)},
    };
    for (const auto& [damage, contents] : damagedDefaults) {
        SCOPED_TRACE(damage);
        std::ofstream(captureFolder / "front_1765025812.5.jpeg") << "\xFF\xD8\xFF leftover";
        std::ofstream(privateFolder / "UserDefaults.json", std::ios::binary) << contents;
        const int started = waitFor(spawnHelper(data, folder.path(), {"--start"}));
        ASSERT_TRUE(WIFEXITED(started) && WEXITSTATUS(started) == 0) << "the library did not start";
        EXPECT_TRUE(test::fileNamesIn(captureFolder).empty());
        std::ifstream defaults(privateFolder / "UserDefaults.json");
        const auto saved = nlohmann::json::parse(defaults, nullptr, false);
        EXPECT_TRUE(saved.is_object() && !saved.value(EKYCUserDefault::transactionIdKey, "").empty())
            << saved.dump();
    }
}

}  // namespace
}  // namespace ovira
