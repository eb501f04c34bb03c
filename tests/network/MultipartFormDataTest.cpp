#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "ovira/MultipartFormData.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

using File = MultipartFormData::File;
using Text = MultipartFormData::String;

std::string text(const Data& data) {
    return std::string(asStringView(data));
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

template <class... Arguments>
std::shared_ptr<const MultipartFormDataType> part(Arguments&&... arguments) {
    return std::make_shared<const MultipartFormData>(std::forward<Arguments>(arguments)...);
}

TEST(MultipartPartTest, EachPartIsExactlyItsHeaderLinesABlankLineItsContentAndCRLF) {
    const std::string jpeg("\xFF\xD8\x00\r\n\xFF\xD9", 7);
    using Row = std::tuple<MultipartFormData, std::string, std::string>;
    // clang-format off
    for (const auto& [form, boundary, expected] : std::vector<Row>{
             {{Text{"FRONT"}, "type"}, "networking.boundary.0123456789abcdef",
              "--networking.boundary.0123456789abcdef\r\n"
              "Content-Disposition: form-data; name=\"type\"\r\n\r\nFRONT\r\n"},
             // Text ignores the file name and the MIME type.
             {{Text{"Nguyễn"}, "full_name", "name.txt", "text/plain"}, "B",
              "--B\r\nContent-Disposition: form-data; name=\"full_name\"\r\n\r\nNguyễn\r\n"},
             {{Text{""}, "note"}, "B", "--B\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\n\r\n"},
             {{makeData(jpeg), "photo", "front.jpg", "image/jpeg"}, "B",
              "--B\r\nContent-Disposition: form-data; name=\"photo\"; filename=\"front.jpg\"\r\n"
              "Content-Type: image/jpeg\r\n\r\n" + jpeg + "\r\n"},
             {{makeData("abc"), "blob"}, "B",
              "--B\r\nContent-Disposition: form-data; name=\"blob\"; filename=\"file\"\r\n"
              "Content-Type: application/octet-stream\r\n\r\nabc\r\n"},
             // A quote or a line break cannot end the header: they are percent-encoded.
             {{Data{}, "a\"b", "c\"d\r\nX-Forged: 1.bin"}, "B",
              "--B\r\nContent-Disposition: form-data; name=\"a%22b\"; filename=\"c%22d%0D%0AX-Forged: 1.bin\"\r\n"
              "Content-Type: application/octet-stream\r\n\r\n\r\n"},
             {{Text{"v"}, "n\nm"}, "B", "--B\r\nContent-Disposition: form-data; name=\"n%0Am\"\r\n\r\nv\r\n"},
             {{makeData("x"), "blob", std::nullopt, "image/png"}, "B",
              "--B\r\nContent-Disposition: form-data; name=\"blob\"; filename=\"file\"\r\n"
              "Content-Type: image/png\r\n\r\nx\r\n"}}) {
        // clang-format on
        EXPECT_EQ(text(form.getData(boundary)), expected);
    }
}

TEST(MultipartPartTest, AFileIsReadWhenTheBodyIsBuiltUnderItsOwnNameAndTheTypeOfItsExtension) {
    test::TemporaryDirectory folder;
    const MultipartFormData late(File{folder / "late.jpg"}, "f");
    EXPECT_TRUE(late.getData("B").empty());                                         // missing: nothing
    EXPECT_TRUE(MultipartFormData(File{folder.path()}, "f").getData("B").empty());  // a folder is no file
    const std::string content("\xFF\xD8\xFF\xE0\x00\x10JFIF\r\n\xFF\xD9", 14);
    const std::string octets = "application/octet-stream";
    using Row = std::tuple<std::string, std::string, std::string>;
    // clang-format off
    for (const auto& [fileName, mimeType, bytes] : std::vector<Row>{
             {"late.jpg", "image/jpeg", content}, {"face.png", "image/png", ""},
             {"SCAN.JPG", "image/jpeg", "x"}, {"back.jpeg", "image/jpeg", "x"},
             {"data.ovirablob", octets, "x"}, {"noextension", octets, ""}, {"archive.tar.", octets, "x"}}) {
        // clang-format on
        writeFile(folder / fileName, bytes);
        // The part's own file name and MIME type do not apply to files.
        const MultipartFormData form(File{folder / fileName}, "f", "ignored.gif", "image/gif");
        EXPECT_EQ(text(form.getData("B")), "--B\r\nContent-Disposition: form-data; name=\"f\"; filename=\"" +
                                               fileName + "\"\r\nContent-Type: " + mimeType + "\r\n\r\n" +
                                               bytes + "\r\n");
    }
    EXPECT_EQ(late.getData("B"), MultipartFormData(File{folder / "late.jpg"}, "f").getData("B"));  // read now
}

TEST(MultipartBuilderTest, TheBodyIsEveryPartInOrderThenTheClosingLineAppendedOnEachBuild) {
    test::TemporaryDirectory folder;
    EKYCMultipartFormDataBuilder builder(
        {part(Text{"2"}, "z_last"), part(File{folder / "missing.jpg"}, "gone"),
         part(Data{0x00, 0x01, 0xFE}, "photo", "p.jpg", "image/jpeg"), part(Text{"1"}, "a_first")});
    const std::string body = text(builder.build());  // draws the boundary
    const std::string b = builder.boundary();
    // clang-format off
    const std::string once =
        "--" + b + "\r\nContent-Disposition: form-data; name=\"z_last\"\r\n\r\n2\r\n"
        "--" + b + "\r\nContent-Disposition: form-data; name=\"photo\"; filename=\"p.jpg\"\r\n"
                   "Content-Type: image/jpeg\r\n\r\n" + std::string("\x00\x01\xFE", 3) + "\r\n"
        "--" + b + "\r\nContent-Disposition: form-data; name=\"a_first\"\r\n\r\n1\r\n"
        "--" + b + "--\r\n";
    // clang-format on
    EXPECT_EQ(body, once);
    EXPECT_EQ(text(builder.build()), once + once);
    EXPECT_EQ(text(builder.httpBody()), once + once);
    EKYCMultipartFormDataBuilder empty({});
    EXPECT_EQ(text(empty.build()), "--" + empty.boundary() + "--\r\n");
}

TEST(MultipartBuilderTest, EveryBuilderDrawsItsOwnBoundaryOnceAndKeepsIt) {
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        EKYCMultipartFormDataBuilder builder({});
        const std::string boundary = builder.boundary();
        EXPECT_TRUE(regex_match(boundary, std::regex("networking\\.boundary\\.[0-9a-f]{16}"))) << boundary;
        EXPECT_EQ(builder.boundary(), boundary);
        seen.insert(boundary);
    }
    EXPECT_EQ(seen.size(), 50u);
}

}  // namespace
}  // namespace ovira
