// The capture folder on real files: names, replacement by step, emptying,
// privacy, leftovers of earlier processes, and every way a save can fail.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>

#include "CaptureTestSupport.h"
#include "capture/EKYCFileService.h"
#include "platform/FileContents.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

namespace fs = std::filesystem;
using test::fileNamesIn;
using Names = std::set<std::string>;

unsigned modeOf(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

void touch(const fs::path& path) {
    std::ofstream(path) << "x";
}

std::chrono::system_clock::time_point at(double seconds) {
    using namespace std::chrono;
    const double whole = std::floor(seconds);
    return system_clock::time_point(
        duration_cast<system_clock::duration>(std::chrono::seconds(static_cast<long long>(whole)) +
                                              round<nanoseconds>(duration<double>(seconds - whole))));
}

class FileService : public ::testing::Test {
protected:
    test::TemporaryDirectory documents;
    fs::path folder = documents / "KYC";
    double now = 1765025812.25;
    EKYCFileService service{FileManager(documents.path()), [this] { return at(now); }};
    std::shared_ptr<RasterImage> photo = test::rasterOf(devserver::test::drawCard({200, 126}));
};

TEST_F(FileService, NamesCarryTheStepAndTheTimeAndOnlyTheNewestOfAStepStays) {
    const auto first = service.saveImage(*photo, "front", true, 1.0);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, folder / "front_1765025812.25.jpeg");
    const auto bytes = readFileContents(*first);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(makeData(*bytes), photo->jpegData(1.0)) << "the file holds the JPEG at the asked quality";

    now = 1765025900;
    ASSERT_TRUE(service.saveImage(*photo, "front", true, 1.0));
    ASSERT_TRUE(service.saveImage(*photo, "back", false, 1.0));
    EXPECT_EQ(fileNamesIn(folder), (Names{"front_1765025900.0.jpeg", "back.jpeg"}));

    // Anything whose name merely contains the step goes too; other steps stay.
    touch(folder / "old-face-2.txt");
    touch(folder / "unrelated.txt");
    ASSERT_TRUE(service.saveImage(*photo, "face", true, 1.0));
    EXPECT_EQ(fileNamesIn(folder),
              (Names{"front_1765025900.0.jpeg", "back.jpeg", "unrelated.txt", "face_1765025900.0.jpeg"}));

    // A picture JPEG cannot hold is stored as PNG.
    const RasterImage wide(70000, 2, RasterImage::Format::gray, std::vector<std::uint8_t>(140000, 128));
    const auto png = service.saveImage(wide, "front", true, 1.0);
    ASSERT_TRUE(png);
    EXPECT_EQ(*png, folder / "front_1765025900.0.png");
    EXPECT_EQ(test::decode(makeData(*readFileContents(*png))).cols, 70000);

    fs::create_directories(folder / "nested" / "deeper");
    service.removeAllFiles();
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fileNamesIn(folder).empty());
}

TEST(FileServiceNames, TimestampsAreTheShortestExactTextWithAFraction) {
    for (const auto& [seconds, text] : {std::pair{1765025812.0, "1765025812.0"},
                                        std::pair{1765025812.5, "1765025812.5"}, std::pair{0.0, "0.0"}})
        EXPECT_EQ(EKYCFileService::timestampText(at(seconds)), text);
    const std::string precise = EKYCFileService::timestampText(at(1765025812.123456));
    EXPECT_EQ(precise.rfind("1765025812.123456", 0), 0u) << precise;
}

TEST_F(FileService, PhotographsArePrivate) {
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::all);  // left open by someone else
    const auto file = service.saveImage(*photo, "front", true, 1.0);
    ASSERT_TRUE(file);
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(*file), 0600u);

    test::TemporaryDirectory other;
    EKYCFileService fresh(FileManager(other / "a" / "b"));
    const auto nested = fresh.saveImage(*photo, "face", true, 1.0);
    ASSERT_TRUE(nested);
    EXPECT_EQ(modeOf(other / "a"), 0700u) << "folders created on the way are private too";
    EXPECT_EQ(modeOf(nested->parent_path()), 0700u);
}

TEST_F(FileService, TheFirstUseInAProcessClearsWhatAnEarlierProcessLeft) {
    test::TemporaryDirectory crashed;
    fs::create_directories(crashed / "KYC");
    touch(crashed / "KYC" / "front_1700000000.0.jpeg");
    touch(crashed / "KYC" / "back_1700000001.0.jpeg");

    EKYCFileService first(FileManager(crashed.path()));
    ASSERT_TRUE(first.saveImage(*photo, "face", false, 1.0));
    EXPECT_EQ(fileNamesIn(crashed / "KYC"), Names{"face.jpeg"});

    // Later uses only replace their own step: the sweep happens once.
    touch(crashed / "KYC" / "back.jpeg");
    EKYCFileService second(FileManager(crashed.path()));
    ASSERT_TRUE(second.saveImage(*photo, "front", false, 1.0));
    EXPECT_EQ(fileNamesIn(crashed / "KYC"), (Names{"face.jpeg", "back.jpeg", "front.jpeg"}));
}

TEST_F(FileService, FailedSavesReturnNothingAndTouchNothingElse) {
    service.removeAllFiles();
    EXPECT_FALSE(fs::exists(folder)) << "emptying a missing folder neither fails nor creates it";
    const RasterImage empty(0, 0, RasterImage::Format::rgb, {});
    EXPECT_FALSE(service.saveImage(empty, "front", true, 1.0));
    EXPECT_FALSE(fs::exists(folder)) << "nothing to store: the folder is not even created";

    EXPECT_FALSE(service.saveImage(*photo, "../front", true, 1.0));
    EXPECT_FALSE(service.saveImage(*photo, "a/b", false, 1.0));
    EXPECT_TRUE(fileNamesIn(documents.path()).empty()) << "names that lead out of the folder are refused";

    // Something else in the folder's place: a file, or a link leading elsewhere.
    fs::remove_all(folder);
    touch(folder);
    EXPECT_FALSE(service.saveImage(*photo, "front", true, 1.0));
    service.removeAllFiles();
    EXPECT_TRUE(fs::is_regular_file(folder)) << "a file in the way is left alone";

    fs::remove(folder);
    test::TemporaryDirectory elsewhere;
    touch(elsewhere / "front_keep.jpeg");
    fs::create_directory_symlink(elsewhere.path(), folder);
    EXPECT_FALSE(service.saveImage(*photo, "front", true, 1.0));
    service.removeAllFiles();
    EXPECT_EQ(fileNamesIn(elsewhere.path()), Names{"front_keep.jpeg"})
        << "never written or emptied through a link";
}

}  // namespace
}  // namespace ovira
