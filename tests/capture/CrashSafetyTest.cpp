// A process killed in the middle of an upload leaves its photograph on disk;
// the next process to use the capture folder removes it before anything else.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <thread>

#include "CaptureTestSupport.h"
#include "capture/EKYCFileService.h"
#include "support/TemporaryDirectory.h"

extern char** environ;

namespace ovira {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(CrashSafety, APhotographLeftByAKilledUploadIsGoneAfterTheNextStart) {
    test::TemporaryDirectory folder;
    devserver::DevServer server(devserver::test::optionsIn(folder / "service"));
    const int port = server.start();
    devserver::Fault slow;
    slow.path = "/nationId";
    slow.delay = 30s;  // the upload is still waiting for its answer when the process dies
    server.setFault(slow);

    const fs::path data = folder / "data";
    const std::string xdg = "XDG_DATA_HOME=" + data.string();
    std::vector<std::string> environment{xdg, "HOME=" + folder.path().string()};
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string helper = CAPTURE_CRASH_HELPER, address = "127.0.0.1:" + std::to_string(port);
    std::string ca = server.caFile().string();
    char* argv[] = {helper.data(), address.data(), ca.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, helper.c_str(), nullptr, nullptr, argv, envp.data()), 0);

    // The helper's private folder is named after its executable.
    const fs::path captureFolder = data / fs::path(helper).filename() / "KYC";
    bool stored = false;
    for (int i = 0; i < 2000 && !stored; ++i) {
        stored = !test::fileNamesIn(captureFolder).empty() && !server.requests().empty();
        if (!stored) std::this_thread::sleep_for(10ms);
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(stored) << "the helper never got as far as the upload";
    ASSERT_TRUE(WIFSIGNALED(status));
    const auto left = test::fileNamesIn(captureFolder);
    ASSERT_EQ(left.size(), 1u) << "the crash left the photograph behind, as crashes do";
    EXPECT_EQ(left.begin()->rfind("front_", 0), 0u);

    // The next start: its first use of the folder, whatever it is, sweeps it.
    EKYCFileService nextStart(FileManager(data / fs::path(helper).filename()));
    const auto back =
        nextStart.saveImage(*test::rasterOf(devserver::test::drawCard({200, 126})), "back", false, 1.0);
    ASSERT_TRUE(back);
    EXPECT_EQ(test::fileNamesIn(captureFolder), std::set<std::string>{"back.jpeg"});
    server.clearFaults();
}

}  // namespace
}  // namespace ovira
