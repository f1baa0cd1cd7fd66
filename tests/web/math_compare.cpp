// vexal-math-compare: the C library's cos, sin, atan and atan2 against the core's CrtCos, CrtSin,
// CrtAtan and CrtAtan2 over the inputs the core really sees. Built natively (glibc), for node
// (musl) and for Windows (mingw-w64), it tells whether the libraries differ, and proves that
// the core's functions give the same bits in every build.
//   vexal-math-compare [--quick] [--diffs DIR]
// One line per domain: name, inputs, digest of the core's results, digest of the library's,
// how many library results differ from the core's, and how many of those still differ once
// narrowed to float as the core narrows them. --diffs writes DIR/<domain>.bin: for every
// differing input its index and the library's result (two little-endian 64-bit words).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/crt_math.h"

namespace {

std::uint64_t Bits(double d) {
    std::uint64_t u = 0;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

float FloatOf(std::uint32_t u) {
    float f = 0.0F;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

// The core's own factors (render/projection.h, interaction/drag.cpp, model/matrix34.h).
constexpr double kRadToDeg = static_cast<double>(57.295776F);
constexpr double kDragDegToRad = static_cast<double>(0.017453292F);
constexpr double kRotateDegToRad = 0.01745329251993889;

class Domain {
public:
    Domain(const char* name, const std::string& diffsDir) : m_name(name) {
        if (!diffsDir.empty()) {
            m_diffs = std::fopen((diffsDir + "/" + name + ".bin").c_str(), "wb");
        }
    }
    Domain(const Domain&) = delete;
    Domain& operator=(const Domain&) = delete;
    ~Domain() {
        std::printf("%-12s %10llu %016llx %016llx %9llu %7llu\n", m_name, static_cast<unsigned long long>(m_count),
                    static_cast<unsigned long long>(m_core), static_cast<unsigned long long>(m_lib),
                    static_cast<unsigned long long>(m_differ), static_cast<unsigned long long>(m_reach));
        if (m_diffs != nullptr) {
            std::fclose(m_diffs);
        }
    }

    // One input: the core's result, the library's, and whether the difference survives narrowing.
    void Add(double core, double lib, bool narrowedDiffer) {
        m_core = (m_core ^ Bits(core)) * 1099511628211ULL;
        m_lib = (m_lib ^ Bits(lib)) * 1099511628211ULL;
        if (Bits(core) != Bits(lib)) {
            ++m_differ;
            m_reach += narrowedDiffer ? 1 : 0;
            if (m_diffs != nullptr) {
                const std::uint64_t record[2] = {m_count, Bits(lib)};
                (void)std::fwrite(record, sizeof record, 1, m_diffs);
            }
        }
        ++m_count;
    }
    void AddNarrowed(double core, double lib) { Add(core, lib, static_cast<float>(core) != static_cast<float>(lib)); }

private:
    const char* m_name;
    std::FILE* m_diffs = nullptr;
    std::uint64_t m_count = 0;
    std::uint64_t m_core = 14695981039346656037ULL;
    std::uint64_t m_lib = 14695981039346656037ULL;
    std::uint64_t m_differ = 0;
    std::uint64_t m_reach = 0;
};

// A fixed xorshift generator, so every build draws the same inputs.
std::uint64_t s_state = 88172645463325252ULL;
std::uint64_t Next() {
    s_state ^= s_state << 13U;
    s_state ^= s_state >> 7U;
    s_state ^= s_state << 17U;
    return s_state;
}
int Uniform(int lo, int hi) {
    return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = false;
    std::string diffs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            quick = true;
        } else if (std::strcmp(argv[i], "--diffs") == 0 && i + 1 < argc) {
            diffs = argv[++i];
        } else {
            std::fprintf(stderr, "usage: vexal-math-compare [--quick] [--diffs DIR]\n");
            return 2;
        }
    }
    // Stride through float bit patterns: 1 visits every float, larger steps sample them evenly.
    const std::uint32_t step = quick ? 97 : 1;
    std::printf("%-12s %10s %-16s %-16s %9s %7s\n", "domain", "inputs", "core", "library", "differ", "float");
    {
        // The facing test: atan2 of pixel differences between projected corners, narrowed to float.
        Domain d("facing", diffs);
        const int r = quick ? 400 : 2048;
        for (int y = -r; y <= r; ++y) {
            for (int x = -r; x <= r; ++x) {
                d.AddNarrowed(CrtAtan2(x, y), std::atan2(x, y));
            }
        }
    }
    {
        // Stylus steps and drag directions: atan2(up, right) of whole pixels, up to the 16-bit
        // wrap of a point left of or above the window, in degrees as a float.
        Domain d("screen-angle", diffs);
        const long n = quick ? 1000000 : 20000000;
        for (long i = 0; i < n; ++i) {
            const int limit = (i & 1) != 0 ? 65535 : 400;
            const double up = Uniform(-limit, limit);
            const double right = Uniform(-limit, limit);
            d.Add(CrtAtan2(up, right), std::atan2(up, right),
                  static_cast<float>(CrtAtan2(up, right) * kRadToDeg) !=
                      static_cast<float>(std::atan2(up, right) * kRadToDeg));
        }
    }
    {
        // Whole-puzzle folds: atan of a quotient of two matrix entries (any float), in degrees.
        Domain d("fold-atan", diffs);
        const std::uint32_t atanStep = quick ? 4099 : 61;
        for (std::uint32_t u = 0; u < 0x7F800000U; u += atanStep) {
            for (const float f : {FloatOf(u), -FloatOf(u)}) {
                const double x = static_cast<double>(f);
                d.Add(CrtAtan(x), std::atan(x),
                      static_cast<float>(CrtAtan(x) * -kRadToDeg) != static_cast<float>(std::atan(x) * -kRadToDeg));
            }
        }
    }
    {
        // Rotations: every float angle in degrees from 2^-24 to 512, both signs, as radians.
        Domain c("rotate-cos", diffs);
        Domain s("rotate-sin", diffs);
        for (std::uint32_t u = 0x33800000U; FloatOf(u) < 512.0F; u += step) {
            for (const float deg : {FloatOf(u), -FloatOf(u)}) {
                const double a = static_cast<double>(deg) * kRotateDegToRad;
                c.AddNarrowed(CrtCos(a), std::cos(a));
                s.AddNarrowed(CrtSin(a), std::sin(a));
            }
        }
    }
    {
        // A drag step's cosine: |theta| in degrees, 0..180, with the float factor.
        Domain d("drag-cos", diffs);
        for (std::uint32_t u = 0; FloatOf(u) <= 180.0F; u += step) {
            const double a = static_cast<double>(FloatOf(u)) * kDragDegToRad;
            d.AddNarrowed(CrtCos(a), std::cos(a));
        }
    }
    return 0;
}
