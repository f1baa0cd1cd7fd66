// The drag, frame and shuffle paths must not touch the heap: every global operator new
// of this binary is counted while a path runs.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "interaction/shuffle.h"
#include "model/puzzle.h"
#include "platform/crt_rand.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "render/projection.h"
#include "shell/commands.h"
#include "tests/support/drags.h"
#include "tests/support/scenes.h"

#if defined(__SANITIZE_ADDRESS__)
#define VEXAL_ALLOC_UNCOUNTED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define VEXAL_ALLOC_UNCOUNTED 1
#endif
#endif

namespace {
bool s_counting = false;
long s_allocations = 0;
}  // namespace

// Under a sanitizer its runtime owns operator new; the counters stay out of its way.
#if !defined(VEXAL_ALLOC_UNCOUNTED)

namespace {

void* CountedAlloc(std::size_t size) {
    if (s_counting) {
        ++s_allocations;
    }
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

void* CountedAlignedAlloc(std::size_t size, std::align_val_t align) {
    if (s_counting) {
        ++s_allocations;
    }
    const std::size_t a =
        static_cast<std::size_t>(align) < sizeof(void*) ? sizeof(void*) : static_cast<std::size_t>(align);
    void* p = nullptr;
    if (posix_memalign(&p, a, size == 0 ? 1 : size) != 0) {
        throw std::bad_alloc();
    }
    return p;
}

}  // namespace

void* operator new(std::size_t size) {
    return CountedAlloc(size);
}
void* operator new[](std::size_t size) {
    return CountedAlloc(size);
}
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    try {
        return CountedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    try {
        return CountedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t align) {
    return CountedAlignedAlloc(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
    return CountedAlignedAlloc(size, align);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t /*size*/) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t /*size*/) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t /*align*/) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t /*align*/) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t /*size*/, std::align_val_t /*align*/) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t /*size*/, std::align_val_t /*align*/) noexcept {
    std::free(p);
}

#endif

namespace {

template <typename Action>
long AllocationsDuring(const Action& action) {
    s_allocations = 0;
    s_counting = true;
    action();
    s_counting = false;
    return s_allocations;
}

// The game the paths play; file-wide so that the paths can be plain function pointers.
PuzzleGame s_game{0, nullptr};

class Allocation : public ::testing::Test {
protected:
    void SetUp() override {
#if defined(VEXAL_ALLOC_UNCOUNTED)
        GTEST_SKIP() << "a sanitizer replaces operator new in this build; the plain build counts allocations";
#endif
        s_game = SetUpScene(SceneNamed("shuffled_skin2"));
        s_game.m_host = &m_host;
    }
    void TearDown() override {
        s_game.m_host = nullptr;
    }

    QuietHost m_host;
    std::unique_ptr<SoftCanvas> m_canvas = std::make_unique<SoftCanvas>();
};

TEST_F(Allocation, CounterSeesADeliberateAllocation) {
    // Without this the others would pass with a counter that never runs.
    std::vector<int>* sink = nullptr;
    const long n = AllocationsDuring([&sink] { sink = new std::vector<int>(100); });
    delete sink;
    EXPECT_EQ(n, 2);
}

LayerDrag s_layer{s_game};
CubeDrag s_cube{s_game};

struct HotPath {
    const char* name;
    bool (*setUp)();  // false: the path could not be reached from this state
    void (*run)(SoftCanvas& canvas);
};

TEST_F(Allocation, HotPathsAllocateNothing) {
    const HotPath paths[] = {
        {"frame composition", [] { return true; }, [](SoftCanvas& c) { ComposeFrame(s_game, c); }},
        {"layer drag: press, first move and dead zone", [] { return true; },
         [](SoftCanvas& c) {
             if (s_layer.Begin()) {
                 ComposeFrame(s_game, c);
             }
         }},
        {"layer drag step with its frame", [] { return s_layer.Begin(); },
         [](SoftCanvas& c) {
             for (int i = 0; i < 40; ++i) {
                 s_layer.Step();
                 ComposeFrame(s_game, c);
             }
         }},
        {"layer release and commit", [] { return s_layer.Begin(); },
         [](SoftCanvas& c) {
             s_layer.Step();
             s_layer.End();
             ComposeFrame(s_game, c);
         }},
        {"whole-cube step with its frame", [] { return s_cube.Begin(); },
         [](SoftCanvas& c) {
             for (int i = 0; i < 40; ++i) {
                 s_cube.Step();
                 ComposeFrame(s_game, c);
             }
             s_cube.End();
         }},
        {"shuffle", [] { return true; }, [](SoftCanvas& /*c*/) { ShuffleCube(s_game); }},
        {"shuffle command and skin change", [] { return true; },
         [](SoftCanvas& c) {
             RunCommand(s_game, IDM_SHUFFLE);
             RunCommand(s_game, IDM_CHANGE_SKIN);
             ComposeFrame(s_game, c);
         }},
        {"view refresh", [] { return true; }, [](SoftCanvas& /*c*/) { RefreshView(s_game); }},
    };
    for (const HotPath& path : paths) {
        SCOPED_TRACE(path.name);
        for (const FrameScene& scene : kFrameScenes) {
            SCOPED_TRACE(scene.name);
            s_game = SetUpScene(scene);
            s_game.m_host = &m_host;
            ASSERT_TRUE(path.setUp()) << "the path cannot be reached from this scene";
            SoftCanvas& canvas = *m_canvas;
            EXPECT_EQ(AllocationsDuring([&path, &canvas] { path.run(canvas); }), 0);
        }
    }
}

}  // namespace
