#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "DevServerTestSupport.h"
#include "devserver/CommandLine.h"
#include "support/TemporaryDirectory.h"

namespace ovira::devserver::test {
namespace {

using Arguments = std::vector<std::string>;

DevServer::Options parse(const Arguments& arguments) {
    bool help = false;
    return parseCommandLine(arguments, help);
}

TEST(DevServerCommandLine, MinimumCardWidthReachesTheJudge) {
    struct Case {
        const char* name;
        Arguments arguments;
        int photoWidth;
        int statusCode;
    };
    // clang-format off
    const Case cases[] = {
        {"default, 1100 wide", {}, 1100, 0},
        {"default, 999 wide", {}, 999, 2007},
        {"1200, 1100 wide", {"--min-card-width", "1200"}, 1100, 2007},
        {"1200 inline, 1200 wide", {"--min-card-width=1200"}, 1200, 0},
        {"800, 900 wide", {"--min-card-width", "800"}, 900, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ovira::test::TemporaryDirectory folder;
        Arguments arguments = c.arguments;
        arguments.insert(arguments.end(), {"--data-dir", folder.path().string(), "--keep-alive", "1"});
        DevServer server(parse(arguments));
        server.start();
        auto client = connect(server);
        const cv::Size size(c.photoWidth, c.photoWidth * 631 / 1000);
        const auto answer =
            upload(*client, "/nationId", sessionHeaders("width"), encode(drawCard(size)), "FRONT");
        EXPECT_EQ(bodyOf(answer)["statusCode"], c.statusCode) << bodyOf(answer).dump();
    }
}

TEST(DevServerCommandLine, MinimumCardWidthTakesAPositiveWholeNumber) {
    EXPECT_EQ(parse({}).minCardWidth, PhotoJudge::Thresholds{}.minCardWidth);
    EXPECT_EQ(parse({"--min-card-width", "1"}).minCardWidth, 1);
    EXPECT_EQ(parse({"--min-card-width=20000"}).minCardWidth, 20000);
    const Arguments refused[] = {
        {"--min-card-width", "0"}, {"--min-card-width", "-1000"}, {"--min-card-width", "12x"},
        {"--min-card-width", ""},  {"--min-card-width", "20001"}, {"--min-card-width=1.5"},
        {"--min-card-width"},
    };
    for (const auto& arguments : refused) {
        SCOPED_TRACE(arguments.back());
        try {
            parse(arguments);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find("--min-card-width"), std::string::npos) << error.what();
        }
    }

    // Options built in code are checked when the server starts.
    ovira::test::TemporaryDirectory folder;
    auto options = optionsIn(folder.path());
    options.minCardWidth = 0;
    DevServer server(options);
    EXPECT_THROW(server.start(), std::invalid_argument);

    bool help = false;
    parseCommandLine({"--help"}, help);
    EXPECT_TRUE(help);
    EXPECT_NE(commandLineUsage().find("--min-card-width N"), std::string::npos);
}

}  // namespace
}  // namespace ovira::devserver::test
