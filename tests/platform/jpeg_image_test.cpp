// The JPEG decoder: the About picture decodes whole; damaged pictures fail
// with libjpeg's message instead of exiting or coming out half grey.
#include "platform/jpeg_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace corvalo::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Offset of the first marker 0xFF `code` after the start-of-image marker.
size_t findMarker(const Bytes& b, std::uint8_t code) {
    for (size_t i = 2; i + 1 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == code) return i;
    }
    return b.size();
}

// A grey progressive picture whose header claims `width` x `height`: one DC scan of
// four bytes, then the end. libjpeg keeps every coefficient of such a picture, so it
// needs 2 bytes per pixel before the first row comes out.
Bytes progressiveHeader(std::uint16_t width, std::uint16_t height) {
    Bytes b = {0xFF, 0xD8};                             // start of image
    b.insert(b.end(), {0xFF, 0xDB, 0x00, 0x43, 0x00});  // quantisation table 0
    b.insert(b.end(), 64, 0x01);
    b.insert(b.end(),
             {0xFF, 0xC2, 0x00, 0x0B, 0x08,  // progressive frame
              std::uint8_t(height >> 8), std::uint8_t(height & 0xFF), std::uint8_t(width >> 8),
              std::uint8_t(width & 0xFF), 0x01, 0x01, 0x11, 0x00});  // one component
    b.insert(b.end(), {0xFF, 0xC4, 0x00, 0x14, 0x00, 0x01});         // DC table: code 0 -> 0
    b.insert(b.end(), 15, 0x00);
    b.push_back(0x00);
    b.insert(b.end(), {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00,  // DC scan
                       0x00, 0x00, 0x00});
    b.insert(b.end(), {0x00, 0x00, 0x00, 0x00, 0xFF, 0xD9});  // data, end of image
    return b;
}

// The process's peak resident memory in KiB, from /proc.
long peakKib() {
    std::ifstream status("/proc/self/status");
    std::string word;
    long kib = -1;
    while (status >> word) {
        if (word == "VmHWM:") status >> kib;
    }
    return kib;
}

// Regression: the size was checked only after start_decompress, when a progressive
// picture's whole-picture buffers were already taken (and filled) for the claimed size.
// A small one still decodes.
TEST(JpegImage, HugeProgressivePicturesAreRefusedBeforeTheirMemoryIsTaken) {
    const struct {
        const char* name;
        std::uint16_t width, height;
    } rows[] = {
        {"OverThePixelLimit", 8193, 8193},              // 67,125,249 pixels, about 134 MB
        {"UnderTheLimitOverTheMemoryCap", 8000, 8000},  // 64,000,000 pixels, 128 MB
        {"Small", 16, 8},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes picture = progressiveHeader(row.width, row.height);
        const std::string verdict = runInChild([&]() -> std::string {
            std::ofstream("/proc/self/clear_refs") << "5";  // peak := now
            const long before = peakKib();
            platform::RgbImage image;
            std::string error;
            if (platform::decodeJpeg(picture, image, error)) {
                return image.width == row.width && image.height == row.height ? "small"
                                                                              : "decoded";
            }
            if (error.empty()) return "no message";
            const long grown = peakKib() - before;
            if (before < 0 || grown > 32 * 1024) {
                return "peak memory grew by " + std::to_string(grown) + " KiB";
            }
            return "";
        });
        EXPECT_EQ(verdict, row.width == 16 ? "small" : "");
    }
}

// The About picture decodes whole. Each damage (a libjpeg error, a warning mid-picture or
// at its end, a refused size) keeps its first `keep` bytes (all when kAll) and then
// overwrites the bytes at `at` with `patch`.
TEST(JpegImage, TheAboutPictureDecodesAndDamagedOnesFailCleanly) {
    const std::string text =
        readFile(std::filesystem::path(CORVALO_SOURCE_DIR) / "assets/about.jpg");
    const Bytes good(text.begin(), text.end());
    platform::RgbImage about;
    std::string aboutError;
    ASSERT_TRUE(platform::decodeJpeg(good, about, aboutError)) << aboutError;
    ASSERT_EQ(about.width, 438);
    EXPECT_EQ(about.rgb.size(), size_t{438} * 343 * 3);
    EXPECT_GT(about.rgb[(140 * 438 + 219) * 3], 200);  // the card behind the version label
    EXPECT_LT(about.rgb[(2 * 438 + 2) * 3], 60);       // the night blue top left corner
    const size_t sof = findMarker(good, 0xC0);
    const size_t sos = findMarker(good, 0xDA);
    ASSERT_LT(sos, good.size());
    constexpr size_t kAll = Bytes().max_size();
    const struct {
        const char* name;
        size_t keep;
        size_t at;
        Bytes patch;
    } rows[] = {
        {"Empty", 0, 0, {}},
        {"CutInHalf", good.size() / 2, 0, {}},
        {"EndMarkerMissing", good.size() - 2, 0, {}},
        {"HeightZero", kAll, sof + 5, {0, 0}},
        {"HugeWidthAndHeight", kAll, sof + 5, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"ScanHeaderGarbled", kAll, sos + 4, Bytes(8, 0xEE)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes picture(good.begin(), good.begin() + long(std::min(row.keep, good.size())));
        std::copy(row.patch.begin(), row.patch.end(), picture.begin() + long(row.at));
        platform::RgbImage image;
        image.width = 7;
        std::string error;
        EXPECT_FALSE(platform::decodeJpeg(picture, image, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(image.width, 0);
        EXPECT_TRUE(image.rgb.empty());
    }
}

}  // namespace
}  // namespace corvalo::testing
