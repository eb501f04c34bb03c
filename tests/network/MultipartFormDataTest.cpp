#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <string>

#include "ovira/Data.h"
#include "ovira/MultipartFormData.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

const std::string kBoundary = "networking.boundary.0123456789abcdef";

std::string text(const Data& data) {
    return std::string(asStringView(data));
}

Data bytes(std::string_view value) {
    return makeData(value);
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    ASSERT_TRUE(out.good());
}

std::shared_ptr<const MultipartFormDataType> part(MultipartFormData::Provider provider, std::string name,
                                                  std::optional<std::string> fileName = std::nullopt,
                                                  std::optional<std::string> mimeType = std::nullopt) {
    return std::make_shared<const MultipartFormData>(std::move(provider), std::move(name),
                                                     std::move(fileName), std::move(mimeType));
}

// ---- single parts ----

TEST(MultipartPartTest, AStringPartIsExactlyItsHeaderAndValue) {
    const MultipartFormData form(MultipartFormData::String{"FRONT"}, "type");
    EXPECT_EQ(text(form.getData(kBoundary)),
              "--networking.boundary.0123456789abcdef\r\n"
              "Content-Disposition: form-data; name=\"type\"\r\n"
              "\r\n"
              "FRONT\r\n");
}

TEST(MultipartPartTest, AStringPartIgnoresFileNameAndMimeType) {
    const MultipartFormData form(MultipartFormData::String{"Nguyễn"}, "full_name", "name.txt", "text/plain");
    EXPECT_EQ(text(form.getData("B")),
              "--B\r\n"
              "Content-Disposition: form-data; name=\"full_name\"\r\n"
              "\r\n"
              "Nguyễn\r\n");
}

TEST(MultipartPartTest, AnEmptyStringValueStillHasItsLines) {
    const MultipartFormData form(MultipartFormData::String{""}, "note");
    EXPECT_EQ(text(form.getData("B")), "--B\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\n\r\n");
}

TEST(MultipartPartTest, ADataPartUsesTheGivenFileNameAndMimeType) {
    const Data content{0xFF, 0xD8, 0x00, '\r', '\n', 0xFF, 0xD9};
    const MultipartFormData form(content, "photo", "front.jpg", "image/jpeg");
    Data expected = bytes(
        "--B\r\n"
        "Content-Disposition: form-data; name=\"photo\"; filename=\"front.jpg\"\r\n"
        "Content-Type: image/jpeg\r\n"
        "\r\n");
    append(expected, content);
    append(expected, "\r\n");
    EXPECT_EQ(form.getData("B"), expected);
}

TEST(MultipartPartTest, ADataPartDefaultsToFileAndOctetStream) {
    const MultipartFormData form(bytes("abc"), "blob");
    EXPECT_EQ(text(form.getData("B")),
              "--B\r\n"
              "Content-Disposition: form-data; name=\"blob\"; filename=\"file\"\r\n"
              "Content-Type: application/octet-stream\r\n"
              "\r\n"
              "abc\r\n");

    const MultipartFormData onlyName(bytes("abc"), "blob", "a.bin");
    EXPECT_NE(
        text(onlyName.getData("B")).find("filename=\"a.bin\"\r\nContent-Type: application/octet-stream\r\n"),
        std::string::npos);
    const MultipartFormData onlyType(bytes("abc"), "blob", std::nullopt, "image/png");
    EXPECT_NE(text(onlyType.getData("B")).find("filename=\"file\"\r\nContent-Type: image/png\r\n"),
              std::string::npos);
}

TEST(MultipartPartTest, AnEmptyDataPartKeepsItsFraming) {
    const MultipartFormData form(Data{}, "empty", "e.bin", "application/x-empty");
    EXPECT_EQ(text(form.getData("B")),
              "--B\r\n"
              "Content-Disposition: form-data; name=\"empty\"; filename=\"e.bin\"\r\n"
              "Content-Type: application/x-empty\r\n"
              "\r\n"
              "\r\n");
}

TEST(MultipartPartTest, NamesAndFileNamesAreNotEscaped) {
    const MultipartFormData form(bytes("x"), "a\"b", "c\"d.txt", "text/plain");
    EXPECT_EQ(text(form.getData("B")),
              "--B\r\nContent-Disposition: form-data; name=\"a\"b\"; filename=\"c\"d.txt\"\r\n"
              "Content-Type: text/plain\r\n\r\nx\r\n");
}

// ---- file parts ----

TEST(MultipartFileTest, AJpgFileTakesItsOwnNameAndImageJpeg) {
    test::TemporaryDirectory folder;
    const auto path = folder / "front_card.jpg";
    const std::string content("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\r\n\xFF\xD9", 15);
    writeFile(path, content);

    // The part's own file name and MIME type do not apply to files.
    const MultipartFormData form(MultipartFormData::File{path}, "front", "ignored.png", "image/png");
    EXPECT_EQ(text(form.getData("B")),
              "--B\r\n"
              "Content-Disposition: form-data; name=\"front\"; filename=\"front_card.jpg\"\r\n"
              "Content-Type: image/jpeg\r\n"
              "\r\n" +
                  content + "\r\n");
}

TEST(MultipartFileTest, TheMimeTypeFollowsTheExtension) {
    test::TemporaryDirectory folder;
    struct Case {
        const char* fileName;
        const char* mimeType;
    };
    for (const auto& c :
         {Case{"face.png", "image/png"}, Case{"back.jpeg", "image/jpeg"}, Case{"SCAN.JPG", "image/jpeg"},
          Case{"data.ovirablob", "application/octet-stream"}, Case{"noextension", "application/octet-stream"},
          Case{"archive.tar.", "application/octet-stream"}}) {
        const auto path = folder / c.fileName;
        writeFile(path, "content");
        const MultipartFormData form(MultipartFormData::File{path}, "f");
        EXPECT_EQ(text(form.getData("B")),
                  std::string("--B\r\nContent-Disposition: form-data; name=\"f\"; filename=\"") + c.fileName +
                      "\"\r\nContent-Type: " + c.mimeType + "\r\n\r\ncontent\r\n")
            << c.fileName;
    }
}

TEST(MultipartFileTest, TheFileIsReadWhenTheBodyIsBuilt) {
    test::TemporaryDirectory folder;
    const auto path = folder / "late.jpg";
    const MultipartFormData form(MultipartFormData::File{path}, "f");
    EXPECT_TRUE(form.getData("B").empty());
    writeFile(path, "now");
    EXPECT_EQ(text(form.getData("B")),
              "--B\r\nContent-Disposition: form-data; name=\"f\"; filename=\"late.jpg\"\r\n"
              "Content-Type: image/jpeg\r\n\r\nnow\r\n");
}

TEST(MultipartFileTest, AnUnreadableFileContributesNothing) {
    test::TemporaryDirectory folder;
    EXPECT_TRUE(MultipartFormData(MultipartFormData::File{folder / "missing.jpg"}, "f").getData("B").empty());
    // A folder is not a file.
    EXPECT_TRUE(MultipartFormData(MultipartFormData::File{folder.path()}, "f").getData("B").empty());

    EKYCMultipartFormDataBuilder builder({part(MultipartFormData::String{"FRONT"}, "type"),
                                          part(MultipartFormData::File{folder / "missing.jpg"}, "photo")});
    const std::string boundary = builder.boundary();
    EXPECT_EQ(text(builder.build()),
              "--" + boundary + "\r\nContent-Disposition: form-data; name=\"type\"\r\n\r\nFRONT\r\n--" +
                  boundary + "--\r\n");
}

TEST(MultipartFileTest, AnEmptyFileIsStillAPart) {
    test::TemporaryDirectory folder;
    writeFile(folder / "empty.png", "");
    EXPECT_EQ(text(MultipartFormData(MultipartFormData::File{folder / "empty.png"}, "f").getData("B")),
              "--B\r\nContent-Disposition: form-data; name=\"f\"; filename=\"empty.png\"\r\n"
              "Content-Type: image/png\r\n\r\n\r\n");
}

// ---- the builder ----

TEST(MultipartBuilderTest, OneStringPartProducesExactlyThePartAndTheClosingLine) {
    EKYCMultipartFormDataBuilder builder({part(MultipartFormData::String{"FRONT"}, "type")});
    const std::string b = builder.boundary();
    const Data body = builder.build();
    EXPECT_EQ(text(body), "--" + b + "\r\nContent-Disposition: form-data; name=\"type\"\r\n\r\nFRONT\r\n--" +
                              b + "--\r\n");
    EXPECT_EQ(builder.httpBody(), body);
}

TEST(MultipartBuilderTest, NoPartsBuildOnlyTheClosingLine) {
    EKYCMultipartFormDataBuilder builder({});
    const std::string b = builder.boundary();
    EXPECT_EQ(text(builder.build()), "--" + b + "--\r\n");
}

TEST(MultipartBuilderTest, PartsKeepTheirOrder) {
    const Data photo{0x00, 0x01, 0xFE};
    EKYCMultipartFormDataBuilder builder({part(MultipartFormData::String{"2"}, "z_last_alphabetically"),
                                          part(photo, "photo", "p.jpg", "image/jpeg"),
                                          part(MultipartFormData::String{"1"}, "a_first_alphabetically")});
    const std::string b = builder.boundary();
    Data expected =
        bytes("--" + b + "\r\nContent-Disposition: form-data; name=\"z_last_alphabetically\"\r\n\r\n2\r\n");
    append(expected, "--" + b +
                         "\r\nContent-Disposition: form-data; name=\"photo\"; filename=\"p.jpg\"\r\n"
                         "Content-Type: image/jpeg\r\n\r\n");
    append(expected, photo);
    append(expected,
           "\r\n--" + b + "\r\nContent-Disposition: form-data; name=\"a_first_alphabetically\"\r\n\r\n1\r\n");
    append(expected, "--" + b + "--\r\n");
    EXPECT_EQ(builder.build(), expected);
}

TEST(MultipartBuilderTest, BuildingTwiceAppendsEverythingAgain) {
    EKYCMultipartFormDataBuilder builder({part(MultipartFormData::String{"FRONT"}, "type")});
    const std::string b = builder.boundary();
    const std::string once =
        "--" + b + "\r\nContent-Disposition: form-data; name=\"type\"\r\n\r\nFRONT\r\n--" + b + "--\r\n";
    EXPECT_EQ(text(builder.build()), once);
    EXPECT_EQ(text(builder.build()), once + once);
    EXPECT_EQ(text(builder.httpBody()), once + once);
    EXPECT_EQ(builder.boundary(), b);
}

TEST(MultipartBuilderTest, TheBoundaryIsPrefixAndSixteenHexDigitsKeptAfterTheFirstRead) {
    const std::regex format("^networking\\.boundary\\.[0-9a-f]{16}$");
    EKYCMultipartFormDataBuilder builder({});
    const std::string first = builder.boundary();
    EXPECT_TRUE(std::regex_match(first, format)) << first;
    EXPECT_EQ(first.size(), 36u);
    EXPECT_EQ(builder.boundary(), first);
    EXPECT_EQ(&builder.boundary(), &builder.boundary());
}

TEST(MultipartBuilderTest, EveryBuilderDrawsItsOwnBoundary) {
    const std::regex format("^networking\\.boundary\\.[0-9a-f]{16}$");
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        EKYCMultipartFormDataBuilder builder({});
        const std::string boundary = builder.boundary();
        EXPECT_TRUE(std::regex_match(boundary, format)) << boundary;
        seen.insert(boundary);
    }
    EXPECT_EQ(seen.size(), 50u);
}

TEST(MultipartBuilderTest, BuildingFirstDrawsTheBoundaryThatIsReadLater) {
    EKYCMultipartFormDataBuilder builder({part(MultipartFormData::String{"v"}, "k")});
    const std::string body = text(builder.build());
    const std::string b = builder.boundary();
    EXPECT_EQ(body,
              "--" + b + "\r\nContent-Disposition: form-data; name=\"k\"\r\n\r\nv\r\n--" + b + "--\r\n");
}

}  // namespace
}  // namespace ovira
