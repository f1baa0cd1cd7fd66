// vexal_bench: the hot paths of the game, the frame against the cost of filling the frame
// once (the floor), the solver's questions, and, given the Windows benchmark's results,
// SoftCanvas against GDI.
//
//   vexal_bench [benchmark flags] [--write-calls=FILE] [--gdi=FILE] [--solver-runs=N]
//
// --write-calls=FILE  writes the canvas calls of the compared frames for gdi_bench, then exits
// --gdi=FILE          gdi_bench's output ("NAME CPU_NS ..." lines), joined into the summary
// --solver-runs=N     runs of every position behind the solver's median and slowest (default 3; 0: none)
// The summary compares CPU times per iteration, the medians when the benchmarks are repeated.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "interaction/shuffle.h"
#include "interaction/turn_choice.h"
#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "render/projection.h"
#include "shell/replay/replay.h"
#include "shell/replay/script.h"
#include "solver/solver.h"
#include "tests/support/call_list.h"
#include "tests/support/drags.h"
#include "tests/support/gestures.h"
#include "tests/support/hidden_polygons.h"
#include "tests/support/scenes.h"
#include "tests/support/solver_census.h"

namespace {

constexpr std::size_t kFrameBytes = static_cast<std::size_t>(kFrameWidth) * kFrameHeight * 3;
constexpr Colour kNavy = 0x800000;  // any colour: the floor only has to write every byte once

QuietHost s_host;
SoftCanvas s_canvas;
PuzzleGame s_game{0, nullptr};  // the game every benchmark sets up and times
LayerDrag s_layer{s_game};
CubeDrag s_cube{s_game};
alignas(64) std::uint8_t s_floorBuffer[kFrameBytes];

// The frames every canvas is compared on: every scene of the shared table, a layer in
// mid-turn, and the frames of one whole swing of a layer drag in turn. A frame drawn again and
// again lets the processor learn its branches; the swing shows what changing frames cost.
struct ComparedFrame {
    std::string name;
    const FrameScene* scene;
    int midTurn;  // layer-drag steps taken after the press; 0 for a still scene
    int frames;   // consecutive drag steps recorded, each one frame; 1 for a single frame
};

constexpr int kSwingFrames = 4 * kSwing;
constexpr const char* kDragScene = "shuffled_skin2";

std::vector<ComparedFrame> ComparedFrames() {
    std::vector<ComparedFrame> frames;
    for (const FrameScene& scene : kFrameScenes) {
        frames.push_back(ComparedFrame{scene.name, &scene, 0, 1});
    }
    frames.push_back(ComparedFrame{"layer_drag_skin2", &SceneNamed(kDragScene), 5, 1});
    frames.push_back(ComparedFrame{"drag_swing_skin2", &SceneNamed(kDragScene), 1, kSwingFrames});
    return frames;
}

void Fail(benchmark::State& state, const char* what) {
    state.SkipWithError(what);
}

bool SetUpFrame(const ComparedFrame& frame) {
    s_game = SetUpScene(*frame.scene);
    s_game.m_host = &s_host;
    if (frame.midTurn > 0) {
        if (!s_layer.Begin()) {
            return false;
        }
        for (int i = 0; i < frame.midTurn; ++i) {
            s_layer.Step();
        }
    }
    return true;
}

void EndFrame(const ComparedFrame& frame) {
    if (frame.midTurn > 0) {
        s_layer.End();
    }
    s_game.m_host = nullptr;
}

// The calls of each frame of `frame`, recorded from the game.
bool RecordFrames(const ComparedFrame& frame, std::vector<CallFrame>* frames) {
    if (!SetUpFrame(frame)) {
        return false;
    }
    frames->assign(static_cast<std::size_t>(frame.frames), CallFrame{});
    for (CallFrame& recorded : *frames) {
        if (&recorded != &frames->front()) {
            s_layer.Step();
        }
        recorded.clear = 0xFF00FF;
        RecordingCanvas recorder(&recorded);
        ComposeFrame(s_game, recorder);
    }
    EndFrame(frame);
    return true;
}

// ---------------------------------------------------------------- the floor

void BM_FloorMemset(benchmark::State& state) {
    int value = 0;
    for (auto _ : state) {
        std::memset(s_floorBuffer, value, sizeof s_floorBuffer);
        value = (value + 1) & 0xFF;
        benchmark::DoNotOptimize(s_floorBuffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kFrameBytes));
}

void BM_FloorClear(benchmark::State& state) {
    Colour colour = kNavy;
    for (auto _ : state) {
        s_canvas.Clear(colour);
        colour ^= 0x010101U;
        benchmark::DoNotOptimize(s_canvas.Rgb());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kFrameBytes));
}

// ---------------------------------------------------------------- core paths

void BM_RefreshView(benchmark::State& state) {
    s_game = SetUpScene(SceneNamed("shuffled_skin1"));
    s_game.m_host = &s_host;
    for (auto _ : state) {
        RefreshView(s_game);
        benchmark::ClobberMemory();
    }
    s_game.m_host = nullptr;
}

void BM_ShowTurn(benchmark::State& state) {
    s_game = SetUpScene(SceneNamed("shuffled_skin1"));
    s_game.m_host = &s_host;
    if (!s_layer.Begin()) {
        return Fail(state, "no layer drag");
    }
    s_layer.Step();
    for (auto _ : state) {
        ShowTurn(s_game);
        benchmark::ClobberMemory();
    }
    s_layer.End();
    s_game.m_host = nullptr;
}

void BM_Shuffle(benchmark::State& state) {
    s_game = SetUpScene(SceneNamed("start_skin1"));
    s_game.m_host = &s_host;
    s_game.m_random.Seed(kSceneSeed);
    for (auto _ : state) {
        ShuffleCube(s_game);
        benchmark::ClobberMemory();
    }
    s_game.m_host = nullptr;
}

// One stylus movement of a layer drag; with `paint`, the frame the window procedure paints at once.
void BM_LayerDragStep(benchmark::State& state, bool paint) {
    s_game = SetUpScene(SceneNamed(kDragScene));
    s_game.m_host = &s_host;
    if (!s_layer.Begin()) {
        return Fail(state, "no layer drag");
    }
    for (auto _ : state) {
        s_layer.Step();
        if (paint) {
            ComposeFrame(s_game, s_canvas);
        }
        benchmark::ClobberMemory();
    }
    s_layer.End();
    s_game.m_host = nullptr;
}

// One stylus movement of a whole-puzzle drag: the turn step, the re-projection and the
// fold into the view angles.
void BM_CubeDragStep(benchmark::State& state, bool paint) {
    s_game = SetUpScene(SceneNamed(kDragScene));
    s_game.m_host = &s_host;
    if (!s_cube.Begin()) {
        return Fail(state, "no whole-cube drag");
    }
    for (auto _ : state) {
        s_cube.Step();
        if (paint) {
            ComposeFrame(s_game, s_canvas);
        }
        benchmark::ClobberMemory();
    }
    s_cube.End();
    s_game.m_host = nullptr;
}

// ---------------------------------------------------------------- frames

// The whole frame as the game paints it: draw order, facing tests and the canvas.
// (A sequence of frames is timed as LayerDragStep, with its drag steps.) The canvas repaints
// only what the last frame drew over its background; `whole` makes it paint everything, as
// the first frame and a frame after a change of background do.
void BM_Frame(benchmark::State& state, const ComparedFrame& frame, bool whole) {
    if (!SetUpFrame(frame)) {
        return Fail(state, "scene could not be set up");
    }
    for (auto _ : state) {
        if (whole) {
            s_canvas.ForgetBackground();
        }
        ComposeFrame(s_game, s_canvas);
        benchmark::DoNotOptimize(s_canvas.Rgb());
        benchmark::ClobberMemory();
    }
    EndFrame(frame);
}

// How BM_Calls plays a frame: onto the last frame with the background held, painted whole, or
// held without the polygons that end painted over.
enum class Playing { Held, Whole, Visible };

// The canvas alone: the frame's recorded calls played back, the same lists gdi_bench draws.
// A sequence plays its frames in turn; the time is per frame. `Whole` as in BM_Frame.
void BM_Calls(benchmark::State& state, const ComparedFrame& frame, Playing playing) {
    std::vector<CallFrame> lists;
    if (!RecordFrames(frame, &lists)) {
        return Fail(state, "scene could not be set up");
    }
    if (playing == Playing::Visible) {
        for (CallFrame& list : lists) {
            DropHiddenPolygons(&list);
        }
    }
    Canvas& canvas = s_canvas;
    std::size_t next = 0;
    for (auto _ : state) {
        if (playing == Playing::Whole) {
            s_canvas.ForgetBackground();
        }
        lists[next].PlayInto(canvas);
        next = next + 1 == lists.size() ? 0 : next + 1;
        benchmark::DoNotOptimize(s_canvas.Rgb());
        benchmark::ClobberMemory();
    }
    state.counters["calls"] = static_cast<double>(lists[0].calls.size());
}

// ---------------------------------------------------------------- vexal-replay

void BM_Replay(benchmark::State& state) {
    Script script;
    std::string error;
    if (!ParseScript(GenerateReplayScript(static_cast<int>(state.range(0))), &script, &error)) {
        return Fail(state, error.c_str());
    }
    auto replay = std::make_unique<Replay>();
    for (auto _ : state) {
        if (!replay->Run(script, nullptr)) {
            return Fail(state, "replay stopped");
        }
    }
    const double events = static_cast<double>(script.events.size());
    const double frames = static_cast<double>(replay->FramesPainted());
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["events"] = static_cast<double>(script.events.size());
    state.counters["events/s"] = benchmark::Counter(events * iterations, benchmark::Counter::kIsRate);
    state.counters["frames/s"] = benchmark::Counter(frames * iterations, benchmark::Counter::kIsRate);
    s_game.m_host = nullptr;
}

// ---------------------------------------------------------------- the solver

// 10,000 positions drawn with a fixed generator.
const std::vector<CornerPosition>& RandomPositions() {
    static const std::vector<CornerPosition> positions = [] {
        std::vector<CornerPosition> list;
        std::uint32_t state = 20240627U;
        for (int i = 0; i < 10000; ++i) {
            state = state * 1664525U + 1013904223U;
            const auto index = static_cast<std::uint64_t>(state) * static_cast<std::uint64_t>(kPositionCount) >> 32U;
            list.push_back(PositionAt(static_cast<std::int32_t>(index)));
        }
        return list;
    }();
    return positions;
}

// Every position at the greatest distance, 11: the census finds them.
const std::vector<CornerPosition>& FarthestPositions() {
    static const std::vector<CornerPosition> positions = [] {
        std::vector<CornerPosition> list;
        const DistanceCensus census;
        for (std::int32_t i = 0; i < kPositionCount; ++i) {
            if (census.DistanceOf(i) == kMaxDistance) {
                list.push_back(PositionAt(i));
            }
        }
        return list;
    }();
    return positions;
}

double ThreadMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) * 1e-3;
}

enum class Question { Hint, Solution };

void Ask(Question question, const CornerPosition& p) {
    if (question == Question::Hint) {
        FaceTurn turn{};
        benchmark::DoNotOptimize(NextOptimalTurn(p, &turn));
        benchmark::DoNotOptimize(turn);
    } else {
        FaceTurn turns[kMaxDistance] = {};
        benchmark::DoNotOptimize(OptimalSolution(p, turns));
        benchmark::DoNotOptimize(turns);
    }
}

// Times of every position on its own, in thread time: the least of s_solverRuns runs each, so
// that a spell of other work on a shared machine does not pass for a slow position. Taken
// once per benchmark and program run; 0 runs (--solver-runs=0) leave them out.
int s_solverRuns = 3;

struct PositionTimes {
    double medianUs = 0.0;
    double maxUs = 0.0;
};

PositionTimes TimeEachPosition(Question question, const std::vector<CornerPosition>& list) {
    std::vector<double> us(list.size(), 1e30);
    for (int run = 0; run < s_solverRuns; ++run) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            const double start = ThreadMicroseconds();
            Ask(question, list[i]);
            us[i] = std::min(us[i], ThreadMicroseconds() - start);
        }
    }
    std::sort(us.begin(), us.end());
    return PositionTimes{(us[(us.size() - 1) / 2] + us[us.size() / 2]) / 2.0, us.back()};
}

// One question per iteration, over the positions in turn; counters: the median and the
// slowest position.
void BM_Solver(benchmark::State& state, Question question, const std::vector<CornerPosition>& (*positions)()) {
    const std::vector<CornerPosition>& list = positions();
    if (list.empty()) {
        return Fail(state, "no positions");
    }
    static std::map<std::pair<Question, const void*>, PositionTimes> s_times;
    const auto key = std::make_pair(question, static_cast<const void*>(&list));
    if (s_solverRuns > 0 && s_times.count(key) == 0) {
        s_times[key] = TimeEachPosition(question, list);
    }
    std::size_t next = 0;
    for (auto _ : state) {
        Ask(question, list[next]);
        next = next + 1 == list.size() ? 0 : next + 1;
    }
    state.counters["positions"] = static_cast<double>(list.size());
    if (s_solverRuns > 0) {
        state.counters["median_us"] = s_times[key].medianUs;
        state.counters["max_us"] = s_times[key].maxUs;
    }
}

// Reading the position from the game's records, which every question about the game begins with.
void BM_SolverRead(benchmark::State& state) {
    s_game = SetUpScene(SceneNamed("shuffled_skin1"));
    for (auto _ : state) {
        CornerPosition p{};
        benchmark::DoNotOptimize(ReadCornerPosition(s_game.m_pieces, &p));
        benchmark::DoNotOptimize(p);
    }
}

// ---------------------------------------------------------------- summary

// Keeps each benchmark's CPU time per iteration (the median when repeated) for the summary:
// on a machine shared with other work, thread time moves less than elapsed time.
class SummaryReporter final : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.error_occurred) {
                continue;
            }
            const double ns = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    m_median[name] = ns;
                }
            } else if (run.counters.count("max_us") != 0) {
                // Each position timed alone, the same in every repetition.
                m_positions[name] = {run.counters.at("median_us").value, run.counters.at("max_us").value};
            } else {
                auto it = m_single.find(name);
                m_single[name] = it == m_single.end() ? ns : std::min(it->second, ns);
            }
        }
        ConsoleReporter::ReportRuns(reports);
    }

    [[nodiscard]] bool Find(const std::string& name, double* ns) const {
        auto it = m_median.find(name);
        if (it == m_median.end()) {
            it = m_single.find(name);
            if (it == m_single.end()) {
                return false;
            }
        }
        *ns = it->second;
        return true;
    }

    // The median and the slowest position of a solver benchmark, in microseconds.
    [[nodiscard]] bool FindPositions(const std::string& name, double* medianUs, double* maxUs) const {
        const auto it = m_positions.find(name);
        if (it == m_positions.end()) {
            return false;
        }
        *medianUs = it->second.first;
        *maxUs = it->second.second;
        return true;
    }

private:
    std::map<std::string, double> m_median;
    std::map<std::string, double> m_single;
    std::map<std::string, std::pair<double, double>> m_positions;
};

std::map<std::string, double> ReadGdiResults(const std::string& path) {
    std::map<std::string, double> results;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string name;
        double ns = 0.0;
        if (words >> name >> ns && ns > 0.0) {
            results[name] = ns;
        }
    }
    return results;
}

// The solver beside the frames, against its aims: no set-up to time (the compiler builds its
// tables), so only the questions.
void PrintSolverSummary(const SummaryReporter& r) {
    struct Aim {
        const char* name;
        const char* what;
        const char* aim;
    };
    constexpr Aim kAims[] = {
        {"Solver/hint/random", "one hint, 10,000 random positions", "median at most 1,000 us"},
        {"Solver/hint/distance11", "one hint, the 2,644 at distance 11", "slowest at most 5,000 us"},
        {"Solver/solution/distance11", "a whole solution, distance 11", "none"},
    };
    bool header = false;
    for (const Aim& a : kAims) {
        double medianUs = 0.0;
        double maxUs = 0.0;
        if (!r.FindPositions(a.name, &medianUs, &maxUs)) {
            continue;
        }
        if (!header) {
            std::printf(
                "\nThe solver (each position timed alone, thread time; set-up: none, its tables are built\n"
                "by the compiler)\n  %-36s %12s %12s   %s\n",
                "question", "median us", "slowest us", "aim");
            header = true;
        }
        std::printf("  %-36s %12.1f %12.1f   %s\n", a.what, medianUs, maxUs, a.aim);
    }
}

void PrintSummary(const SummaryReporter& r, const std::map<std::string, double>& gdi) {
    PrintSolverSummary(r);
    double memsetNs = 0.0;
    double clearNs = 0.0;
    if (!r.Find("floor/memset", &memsetNs) || !r.Find("floor/SoftCanvas::Clear", &clearNs)) {
        std::printf("\n(no floor measured: run the floor benchmarks too for the ratios)\n");
        return;
    }
    std::printf("\nFloor: one fill of the 240 x 270 frame (%zu bytes)\n", kFrameBytes);
    std::printf("  memset               %10.0f ns\n", memsetNs);
    std::printf("  SoftCanvas::Clear    %10.0f ns   %5.2f x memset\n", clearNs, clearNs / memsetNs);

    std::printf(
        "\nFrames against the floor (goal: every frame within 4 x the floor; /whole: painted in full;\n"
        "/visible: without the polygons that end painted over, the bound on culling them)\n");
    std::printf("  %-40s %10s %10s %10s\n", "benchmark", "ns", "x memset", "x Clear");
    for (const ComparedFrame& f : ComparedFrames()) {
        for (const char* prefix : {"Frame/", "Calls/"}) {
            for (const char* suffix : {"", "/whole", "/visible"}) {
                double ns = 0.0;
                const std::string name = std::string(prefix) + f.name + suffix;
                if (r.Find(name, &ns)) {
                    std::printf("  %-40s %10.0f %10.2f %10.2f\n", name.c_str(), ns, ns / memsetNs, ns / clearNs);
                }
            }
        }
    }
    for (const char* name : {"LayerDragStep", "CubeDragStep/with-frame"}) {
        double ns = 0.0;
        if (r.Find(name, &ns)) {
            std::printf("  %-40s %10.0f %10.2f %10.2f\n", name, ns, ns / memsetNs, ns / clearNs);
        }
    }

    if (gdi.empty()) {
        return;
    }
    std::printf("\nSoftCanvas against GDI (Wine), the same recorded calls into a 240 x 270 bitmap, thread time\n");
    std::printf("(goal: SoftCanvas at least 10 x faster; whole: SoftCanvas painting every frame in full)\n");
    std::printf("  %-24s %12s %12s %12s %12s %12s\n", "frame", "GDI ns", "Soft ns", "GDI / Soft", "whole ns",
                "GDI / whole");
    for (const ComparedFrame& f : ComparedFrames()) {
        double soft = 0.0;
        double whole = 0.0;
        const auto g = gdi.find(f.name);
        if (g != gdi.end() && r.Find("Calls/" + f.name, &soft)) {
            if (!r.Find("Calls/" + f.name + "/whole", &whole)) {
                whole = 0.0;
            }
            std::printf("  %-24s %12.0f %12.0f %11.2fx %12.0f %11.2fx\n", f.name.c_str(), g->second, soft,
                        g->second / soft, whole, whole > 0.0 ? g->second / whole : 0.0);
        }
    }
    const auto fill = gdi.find("gdi-fill");
    if (fill != gdi.end()) {
        std::printf("  %-24s %12.0f %12.0f %13.2fx   (one PatBlt of the bitmap against SoftCanvas::Clear)\n", "fill",
                    fill->second, clearNs, fill->second / clearNs);
    }
}

int WriteCalls(const std::string& path) {
    std::vector<CallScene> scenes;
    for (const ComparedFrame& f : ComparedFrames()) {
        scenes.push_back(CallScene{f.name, {}});
        if (!RecordFrames(f, &scenes.back().frames)) {
            std::fprintf(stderr, "vexal_bench: scene %s could not be set up\n", f.name.c_str());
            return 1;
        }
    }
    std::string error;
    if (!WriteCallListFile(path, scenes, &error)) {
        std::fprintf(stderr, "vexal_bench: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

void RegisterAll() {
    benchmark::RegisterBenchmark("floor/memset", BM_FloorMemset);
    benchmark::RegisterBenchmark("floor/SoftCanvas::Clear", BM_FloorClear);
    benchmark::RegisterBenchmark("RefreshView", BM_RefreshView);
    benchmark::RegisterBenchmark("ShowTurn", BM_ShowTurn);
    for (const bool whole : {false, true}) {
        const std::string suffix = whole ? "/whole" : "";
        for (const ComparedFrame& f : ComparedFrames()) {
            if (f.frames == 1) {
                benchmark::RegisterBenchmark(("Frame/" + f.name + suffix).c_str(), BM_Frame, f, whole)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
        for (const ComparedFrame& f : ComparedFrames()) {
            benchmark::RegisterBenchmark(("Calls/" + f.name + suffix).c_str(), BM_Calls, f,
                                         whole ? Playing::Whole : Playing::Held)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    for (const ComparedFrame& f : ComparedFrames()) {
        benchmark::RegisterBenchmark(("Calls/" + f.name + "/visible").c_str(), BM_Calls, f, Playing::Visible)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("LayerDragStep", BM_LayerDragStep, true)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("LayerDragStep/core", BM_LayerDragStep, false);
    benchmark::RegisterBenchmark("CubeDragStep", BM_CubeDragStep, false);
    benchmark::RegisterBenchmark("CubeDragStep/with-frame", BM_CubeDragStep, true)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Shuffle", BM_Shuffle)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Replay", BM_Replay)->Arg(20000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Solver/read", BM_SolverRead);
    benchmark::RegisterBenchmark("Solver/hint/random", BM_Solver, Question::Hint, RandomPositions)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Solver/hint/distance11", BM_Solver, Question::Hint, FarthestPositions)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Solver/solution/distance11", BM_Solver, Question::Solution, FarthestPositions)
        ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string writeCalls;
    std::string gdiPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--write-calls=", 0) == 0) {
            writeCalls = arg.substr(std::strlen("--write-calls="));
        } else if (arg.rfind("--gdi=", 0) == 0) {
            gdiPath = arg.substr(std::strlen("--gdi="));
        } else if (arg.rfind("--solver-runs=", 0) == 0) {
            s_solverRuns = std::max(0, std::atoi(arg.c_str() + std::strlen("--solver-runs=")));
        } else {
            std::fprintf(stderr, "vexal_bench: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (!writeCalls.empty()) {
        return WriteCalls(writeCalls);
    }
    std::map<std::string, double> gdi;
    if (!gdiPath.empty()) {
        gdi = ReadGdiResults(gdiPath);
        if (gdi.empty()) {
            std::fprintf(stderr, "vexal_bench: no results in %s\n", gdiPath.c_str());
            return 2;
        }
    }
    RegisterAll();
    SummaryReporter reporter(isatty(STDOUT_FILENO) != 0 ? benchmark::ConsoleReporter::OO_ColorTabular
                                                        : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter, gdi);
    benchmark::Shutdown();
    return 0;
}
