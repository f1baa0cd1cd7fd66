#include "tests/support/pixel_runs.h"

#include <utility>

void WritePixelRuns(const std::uint32_t* pixels, int width, int height, std::vector<std::uint8_t>* out) {
    const auto w = static_cast<std::size_t>(width);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const std::uint32_t* row = pixels + y * w;
        std::size_t x = 0;
        while (x < w) {
            std::size_t run = 1;
            while (x + run < w && run < 0xFFFF && row[x + run] == row[x]) {
                ++run;
            }
            const std::uint32_t p = row[x];
            const std::uint8_t record[5] = {
                static_cast<std::uint8_t>(run & 0xFFU), static_cast<std::uint8_t>(run >> 8U),
                static_cast<std::uint8_t>((p >> 16U) & 0xFFU), static_cast<std::uint8_t>((p >> 8U) & 0xFFU),
                static_cast<std::uint8_t>(p & 0xFFU)};
            out->insert(out->end(), record, record + sizeof record);
            x += run;
        }
    }
}

bool ReadPixelRuns(const std::vector<std::uint8_t>& data, int width, int height, std::size_t frameCount,
                   std::vector<std::vector<std::uint8_t>>* frames, std::string* error) {
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    frames->clear();
    std::size_t pos = 0;
    for (std::size_t f = 0; f < frameCount; ++f) {
        std::vector<std::uint8_t> rgb(w * h * 3U);
        for (std::size_t y = 0; y < h; ++y) {
            std::size_t x = 0;
            while (x < w) {
                if (pos + 5 > data.size()) {
                    *error = "the pixels end in frame " + std::to_string(f) + " row " + std::to_string(y);
                    return false;
                }
                const std::size_t run = data[pos] | static_cast<std::size_t>(data[pos + 1]) << 8U;
                if (run == 0 || x + run > w) {
                    *error = "bad run in frame " + std::to_string(f) + " row " + std::to_string(y);
                    return false;
                }
                for (std::size_t end = x + run; x < end; ++x) {
                    std::uint8_t* p = &rgb[(y * w + x) * 3U];
                    p[0] = data[pos + 2];
                    p[1] = data[pos + 3];
                    p[2] = data[pos + 4];
                }
                pos += 5;
            }
        }
        frames->push_back(std::move(rgb));
    }
    if (pos != data.size()) {
        *error = "more pixels than " + std::to_string(frameCount) + " frames";
        return false;
    }
    return true;
}
