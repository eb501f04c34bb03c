// The card examiner per 640 x 480 camera frame with the card window of the
// capture screen (576 x 363): a drawn card at several fills, tilted,
// blurred, with a glare spot, dark, and frames without a card. Only
// examine() is timed; the frames are made beforehand, as the camera hands
// them over (RGB, and 32-bit RGBA).
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "capture/EKYCCaptureGeometry.h"
#include "vision/EKYCCardExaminer.h"

using namespace ovira;

namespace {

const cv::Size kFrame(640, 480);
const capture::Rect kWindow{32, 58, 576, 363};
constexpr int kRounds = 60;

int cardHeight(int width) {
    return static_cast<int>(std::lround(width * capture::cardAspectRatio));
}

// A light card with a coloured header, a photo box and lines of text.
cv::Mat drawCard(int width) {
    const double s = width / 1000.0;
    const auto at = [s](double x, double y) { return cv::Point(int(x * s), int(y * s)); };
    cv::Mat card(cardHeight(width), width, CV_8UC3, cv::Scalar(228, 236, 242));
    cv::rectangle(card, at(0, 0), at(1000, 110), cv::Scalar(60, 60, 170), cv::FILLED);
    cv::putText(card, "IDENTITY CARD", at(300, 80), cv::FONT_HERSHEY_SIMPLEX, 1.4 * s, {255, 255, 255}, 2);
    cv::rectangle(card, at(40, 150), at(300, 490), cv::Scalar(150, 140, 130), cv::FILLED);
    for (int i = 0; i < 6; ++i) {
        cv::putText(card, "Full name: NGUYEN VAN AN " + std::to_string(i), at(340, 180 + i * 60),
                    cv::FONT_HERSHEY_SIMPLEX, 0.8 * s, {30, 30, 30}, 2);
        cv::line(card, at(340, 195 + i * 60), at(960, 195 + i * 60), {170, 170, 170}, 1);
    }
    return card;
}

cv::Mat desk() {
    cv::Mat noise(kFrame, CV_32FC3);
    cv::RNG(7).fill(noise, cv::RNG::NORMAL, cv::Scalar::all(0), cv::Scalar::all(4));
    cv::Mat photo;
    cv::Mat(noise + cv::Scalar(40, 45, 50)).convertTo(photo, CV_8UC3);
    return photo;
}

// The card, its corners rounded, laid on the desk with its corners at `to`
// (clockwise from the top left).
cv::Mat laid(const cv::Mat& card, const std::vector<cv::Point2f>& to) {
    const int r = static_cast<int>(std::lround(card.cols * 3.18 / 85.6));
    cv::Mat shape(card.size(), CV_8UC1, cv::Scalar(0));
    cv::rectangle(shape, cv::Rect(r, 0, card.cols - 2 * r, card.rows), cv::Scalar(255), cv::FILLED);
    cv::rectangle(shape, cv::Rect(0, r, card.cols, card.rows - 2 * r), cv::Scalar(255), cv::FILLED);
    for (const cv::Point c :
         {cv::Point(r, r), cv::Point(card.cols - 1 - r, r), cv::Point(r, card.rows - 1 - r),
          cv::Point(card.cols - 1 - r, card.rows - 1 - r)})
        cv::circle(shape, c, r, cv::Scalar(255), cv::FILLED);
    const std::vector<cv::Point2f> from = {
        {0, 0}, {float(card.cols), 0}, {float(card.cols), float(card.rows)}, {0, float(card.rows)}};
    const cv::Mat warp = cv::getPerspectiveTransform(from, to);
    cv::Mat photo = desk(), moved, mask;
    cv::warpPerspective(card, moved, warp, kFrame);
    cv::warpPerspective(shape, mask, warp, kFrame, cv::INTER_NEAREST);
    moved.copyTo(photo, mask);
    return photo;
}

std::vector<cv::Point2f> centred(int width) {
    const float x = float(kWindow.x + (kWindow.width - width) / 2);
    const float y = float(kWindow.y + (kWindow.height - cardHeight(width)) / 2);
    const float w = float(width), h = float(cardHeight(width));
    return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
}

struct Frame {
    std::string name;
    cv::Mat bgr;
    bool hasCard;
};

std::vector<Frame> makeFrames() {
    std::vector<Frame> frames;
    for (const double fill : {0.5, 0.75, 0.95}) {
        const int width = int(std::lround(kWindow.width * fill));
        frames.push_back({"card, fill " + bench::format(fill), laid(drawCard(width), centred(width)), true});
    }
    auto tilted = centred(430);
    tilted[0] += cv::Point2f(30, 12), tilted[1] += cv::Point2f(-18, -4), tilted[3] += cv::Point2f(-10, -6);
    frames.push_back({"tilted card", laid(drawCard(430), tilted), true});
    cv::Mat blurred;
    cv::GaussianBlur(frames[1].bgr, blurred, cv::Size(0, 0), 3);
    frames.push_back({"blurred card", blurred, true});
    cv::Mat glare = drawCard(500);
    cv::ellipse(glare, cv::Point(300, glare.rows / 2), cv::Size(150, 67), 0, 0, 360, cv::Scalar::all(255),
                cv::FILLED);
    frames.push_back({"card with glare", laid(glare, centred(500)), true});
    cv::Mat dark;
    frames[2].bgr.convertTo(dark, -1, 0.3);
    frames.push_back({"dark card", dark, true});
    frames.push_back({"bare desk", desk(), false});
    cv::Mat cat;
    cv::resize(bench::testPicture("chelsea.png"), cat, kFrame);
    frames.push_back({"cat", cat, false});
    cv::Mat noise(kFrame, CV_8UC3);
    cv::randu(noise, cv::Scalar::all(0), cv::Scalar::all(255));
    frames.push_back({"noise", noise, false});
    return frames;
}

RasterImage raster(const cv::Mat& bgr, RasterImage::Format format) {
    cv::Mat converted;
    cv::cvtColor(bgr, converted, format == RasterImage::Format::rgb ? cv::COLOR_BGR2RGB : cv::COLOR_BGR2RGBA);
    return RasterImage(converted.cols, converted.rows, format, {converted.datastart, converted.dataend});
}

struct Result {
    bench::Stats all;
    std::vector<bench::Stats> perFrame;
    int cardsFound = 0;
    int falseCards = 0;
};

Result measure(const std::vector<Frame>& frames, RasterImage::Format format) {
    std::vector<RasterImage> images;
    for (const auto& frame : frames) images.push_back(raster(frame.bgr, format));
    vision::EKYCCardExaminer examiner;
    Result result;
    std::vector<double> all;
    std::vector<std::vector<double>> perFrame(frames.size());
    for (int round = 0; round < kRounds + 1; ++round) {
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            const EKYCDocumentMeasures measures = examiner.examine(images[i], kWindow);
            const double elapsed = bench::millisecondsSince(start);
            if (round == 0) {  // the first round warms up and counts
                if (frames[i].hasCard && measures.found) ++result.cardsFound;
                if (!frames[i].hasCard && measures.found) ++result.falseCards;
                continue;
            }
            all.push_back(elapsed);
            perFrame[i].push_back(elapsed);
        }
    }
    result.all = bench::summarize(all);
    for (auto& times : perFrame) result.perFrame.push_back(bench::summarize(times));
    return result;
}

}  // namespace

int main() {
    const auto frames = makeFrames();
    const int cards =
        int(std::count_if(frames.begin(), frames.end(), [](const Frame& f) { return f.hasCard; }));
    const Result rgb = measure(frames, RasterImage::Format::rgb);
    const Result rgba = measure(frames, RasterImage::Format::rgba);

    bench::printHeader("Card examiner per 640 x 480 frame, window 576 x 363 (" +
                       std::to_string(rgb.all.count) + " examinations of " + std::to_string(frames.size()) +
                       " frames; RGB vs RGBA)");
    bench::printRow("median", bench::format(rgb.all.median, 3, " ms"),
                    bench::format(rgba.all.median, 3, " ms"), "", "");
    bench::printRow("p95", bench::format(rgb.all.p95, 3, " ms"), bench::format(rgba.all.p95, 3, " ms"), "",
                    "<= 3 ms");
    bench::printRow("max", bench::format(rgb.all.max, 3, " ms"), bench::format(rgba.all.max, 3, " ms"), "",
                    "");
    bench::printRow("p95 within 3 ms", rgb.all.p95 <= 3 ? "yes" : "NO", rgba.all.p95 <= 3 ? "yes" : "NO", "",
                    "yes");
    bench::printRow("card frames with the card found (of " + std::to_string(cards) + ")",
                    std::to_string(rgb.cardsFound), std::to_string(rgba.cardsFound), "", "all");
    bench::printRow("frames without a card reporting one", std::to_string(rgb.falseCards),
                    std::to_string(rgba.falseCards), "", "0");
    std::printf("\nPer frame (RGB): median / p95 in ms\n");
    for (std::size_t i = 0; i < frames.size(); ++i)
        std::printf("  %-28s %8.3f %8.3f\n", frames[i].name.c_str(), rgb.perFrame[i].median,
                    rgb.perFrame[i].p95);
    return 0;
}
