#include "solver/solver.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// Signs of x, y and z of each slot's outer corner, in the game's slot numbering.
constexpr int kSlotSigns[8][3] = {{1, 1, 1},  {-1, 1, 1},  {-1, -1, 1},  {1, -1, 1},
                                  {1, 1, -1}, {-1, 1, -1}, {-1, -1, -1}, {1, -1, -1}};
// Axis (0 x, 1 y, 2 z) and side of each turn face.
constexpr int kFaceAxis[6] = {2, 2, 0, 0, 1, 1};
constexpr int kFaceSide[6] = {1, -1, -1, 1, 1, -1};
// Model units from the centre to each side: the side's centre point is a vertex of every
// piece on that side.
constexpr float kSideReach = 1000.0F;

// The search turns the whole puzzle so that the reference piece stands in slot 6 untwisted;
// then the three faces without slot 6 are all it needs to turn.
constexpr int kReferenceSlot = 6;
constexpr int kSearchFaces[3] = {0, 3, 4};
constexpr int kMoveCount = 18;  // game moves: 6 faces x 3 amounts
// The slots the encoding covers, in order: all but the reference slot.
constexpr int kCodedSlots[7] = {0, 1, 2, 3, 4, 5, 7};

constexpr int SlotOf(const int (&signs)[3]) {
    for (int s = 0; s < 8; ++s) {
        if (kSlotSigns[s][0] == signs[0] && kSlotSigns[s][1] == signs[1] && kSlotSigns[s][2] == signs[2]) {
            return s;
        }
    }
    return -1;
}

// The axis a piece's vertical lies along at each twist: counter-clockwise from y as seen from
// outside the corner, which is y, z, x where the slot's signs multiply to +1 and y, x, z where
// they multiply to -1. Any motion of the puzzle keeps that turning sense, so a twist only
// ever grows by the same amount whatever it was.
constexpr int AxisAtTwist(int slot, int twist) {
    constexpr int kPositive[3] = {1, 2, 0};
    constexpr int kNegative[3] = {1, 0, 2};
    const bool positive = kSlotSigns[slot][0] * kSlotSigns[slot][1] * kSlotSigns[slot][2] > 0;
    return positive ? kPositive[twist] : kNegative[twist];
}

constexpr int TwistOfAxis(int slot, int axis) {
    for (int t = 0; t < 3; ++t) {
        if (AxisAtTwist(slot, t) == axis) {
            return t;
        }
    }
    return -1;
}

// Where a motion of one layer, or of the whole puzzle, carries the piece of each slot, and how
// much it adds to that piece's twist.
struct SlotMap {
    std::uint8_t to[8];
    std::uint8_t add[8];
};

// A rotation that permutes and negates the axes: new[i] = sign[i] * old[from[i]].
struct AxisRotation {
    int from[3];
    int sign[3];
};

// One positive quarter turn about each axis as the game commits it: -90 degrees about x,
// -90 about y and +90 about z, right-handed.
constexpr AxisRotation kQuarterTurns[3] = {
    {{0, 2, 1}, {1, 1, -1}},  // (x, z, -y)
    {{2, 1, 0}, {-1, 1, 1}},  // (-z, y, x)
    {{1, 0, 2}, {-1, 1, 1}},  // (-y, x, z)
};

// The rotation applied to the slots whose sign on `axis` is `side`; side 0: to every slot.
constexpr SlotMap RotationMap(const AxisRotation& r, int axis, int side) {
    SlotMap m{};
    int vertical = 0;  // the axis y goes to
    for (int i = 0; i < 3; ++i) {
        if (r.from[i] == 1) {
            vertical = i;
        }
    }
    for (int s = 0; s < 8; ++s) {
        m.to[s] = static_cast<std::uint8_t>(s);
        m.add[s] = 0;
        if (side != 0 && kSlotSigns[s][axis] != side) {
            continue;
        }
        int signs[3] = {};
        for (int i = 0; i < 3; ++i) {
            signs[i] = r.sign[i] * kSlotSigns[s][r.from[i]];
        }
        const int to = SlotOf(signs);
        m.to[s] = static_cast<std::uint8_t>(to);
        m.add[s] = static_cast<std::uint8_t>(TwistOfAxis(to, vertical));  // an untwisted piece's new twist
    }
    return m;
}

// True when the rotation adds the same to every twist of a slot (the turning sense is kept).
constexpr bool AddsEvenly(const AxisRotation& r) {
    const SlotMap m = RotationMap(r, 0, 0);
    for (int s = 0; s < 8; ++s) {
        for (int t = 0; t < 3; ++t) {
            const int axis = AxisAtTwist(s, t);
            int turned = 0;
            for (int i = 0; i < 3; ++i) {
                if (r.from[i] == axis) {
                    turned = i;
                }
            }
            if (TwistOfAxis(m.to[s], turned) != (t + m.add[s]) % 3) {
                return false;
            }
        }
    }
    return true;
}
static_assert(AddsEvenly(kQuarterTurns[0]) && AddsEvenly(kQuarterTurns[1]) && AddsEvenly(kQuarterTurns[2]),
              "a quarter turn must add the same to every twist");

// a, then b.
constexpr SlotMap Then(const SlotMap& a, const SlotMap& b) {
    SlotMap m{};
    for (int s = 0; s < 8; ++s) {
        m.to[s] = b.to[a.to[s]];
        m.add[s] = static_cast<std::uint8_t>((a.add[s] + b.add[a.to[s]]) % 3);
    }
    return m;
}

// By face and quarter turns - 1: the game's moves.
using MoveTable = std::array<std::array<SlotMap, 3>, 6>;
constexpr MoveTable FaceTurnMaps() {
    MoveTable maps{};
    for (std::size_t f = 0; f < 6; ++f) {
        const SlotMap quarter = RotationMap(kQuarterTurns[kFaceAxis[f]], kFaceAxis[f], kFaceSide[f]);
        maps[f][0] = quarter;
        maps[f][1] = Then(quarter, quarter);
        maps[f][2] = Then(maps[f][1], quarter);
    }
    return maps;
}
constexpr MoveTable kFaceTurns = FaceTurnMaps();

// By the slot and twist of the reference piece: the turn of the whole puzzle that brings it
// to the reference slot untwisted. The 24 rotations are the axis permutations and sign
// changes whose determinant is +1.
using NormalizerTable = std::array<std::array<SlotMap, 3>, 8>;
constexpr NormalizerTable NormalizerMaps() {
    constexpr int kPermutations[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};
    NormalizerTable maps{};
    for (int p = 0; p < 6; ++p) {
        for (int bits = 0; bits < 8; ++bits) {
            AxisRotation r{};
            int determinant = p < 3 ? 1 : -1;
            for (int i = 0; i < 3; ++i) {
                r.from[i] = kPermutations[p][i];
                r.sign[i] = (bits >> i & 1) != 0 ? -1 : 1;
                determinant *= r.sign[i];
            }
            if (determinant != 1) {
                continue;
            }
            const SlotMap m = RotationMap(r, 0, 0);
            for (std::size_t s = 0; s < 8; ++s) {
                if (m.to[s] == kReferenceSlot) {
                    maps[s][static_cast<std::size_t>((3 - m.add[s]) % 3)] = m;
                }
            }
        }
    }
    return maps;
}
constexpr NormalizerTable kNormalizers = NormalizerMaps();

constexpr bool NormalizersComplete() {
    for (std::size_t s = 0; s < 8; ++s) {
        for (std::size_t t = 0; t < 3; ++t) {
            const SlotMap& m = kNormalizers[s][t];
            if (m.to[s] != kReferenceSlot || (t + m.add[s]) % 3 != 0) {
                return false;
            }
        }
    }
    return true;
}
static_assert(NormalizersComplete(), "every place of the reference piece needs its turn of the whole puzzle");

constexpr CornerPosition Moved(const CornerPosition& p, const SlotMap& m) {
    CornerPosition n{};
    for (int s = 0; s < 8; ++s) {
        const int to = m.to[s];
        const int twist = p.twist[s] + m.add[s];
        n.piece[to] = p.piece[s];
        n.twist[to] = static_cast<std::uint8_t>(twist >= 3 ? twist - 3 : twist);
    }
    return n;
}

// ---------------------------------------------------------------- the encoding

// The search's position: the reference piece in its slot, untwisted, and the other seven
// slots (kCodedSlots, "places" 0..6 here) packed. entries: the piece of place i as 0..6
// (pieces 0..5, and 7 as 6) at bit 3i; twists: its twist at bit 2i.
struct Coded {
    std::uint32_t entries;
    std::uint32_t twists;
};

constexpr unsigned EntryAt(std::uint32_t entries, unsigned place) {
    return entries >> (3U * place) & 7U;
}

constexpr unsigned TwistAt(std::uint32_t twists, unsigned place) {
    return twists >> (2U * place) & 3U;
}

// Lehmer code: an entry's digit is the number of later entries smaller than it; the rank is
// the digits in mixed radix 7, 6, ..., 1. The first three digits come from a table on the
// low nine bits (each entry less the smaller ones before it), the last three from comparisons.
struct HeadRanks {
    std::uint8_t of[512];
};
constexpr HeadRanks RankHeads() {
    HeadRanks heads{};
    for (unsigned bits = 0; bits < 512; ++bits) {
        const unsigned e0 = bits & 7U;
        const unsigned e1 = bits >> 3U & 7U;
        const unsigned e2 = bits >> 6U;
        const unsigned d1 = e1 - (e0 < e1 ? 1U : 0U);
        const unsigned d2 = e2 - (e0 < e2 ? 1U : 0U) - (e1 < e2 ? 1U : 0U);
        if (e0 < 7 && e1 < 7 && e2 < 7 && e0 != e1 && e0 != e2 && e1 != e2) {
            heads.of[bits] = static_cast<std::uint8_t>((e0 * 6 + d1) * 5 + d2);
        }
    }
    return heads;
}
constexpr HeadRanks kHeadRanks = RankHeads();

// The permutation's rank 0..5039, the identity 0. One declaration and one expression: the
// compiler runs it some 45,000 times while it builds the table, and counts statements.
constexpr std::int32_t PermutationRank(std::uint32_t e) {
    const unsigned e3 = e >> 9U & 7U, e4 = e >> 12U & 7U, e5 = e >> 15U & 7U, e6 = e >> 18U & 7U;
    return static_cast<std::int32_t>(kHeadRanks.of[e & 0x1FFU] * 24U +
                                     (((e4 < e3 ? 1U : 0U) + (e5 < e3 ? 1U : 0U) + (e6 < e3 ? 1U : 0U)) * 3U +
                                      (e5 < e4 ? 1U : 0U) + (e6 < e4 ? 1U : 0U)) *
                                         2U +
                                     (e6 < e5 ? 1U : 0U));
}

// Three packed twists (six bits) as a number in base 3, the first lowest.
struct Base3 {
    std::uint8_t of[64];
};
constexpr Base3 CountInBase3() {
    Base3 b{};
    for (unsigned bits = 0; bits < 64; ++bits) {
        b.of[bits] = static_cast<std::uint8_t>((bits & 3U) + 3U * (bits >> 2U & 3U) + 9U * (bits >> 4U));
    }
    return b;
}
constexpr Base3 kBase3 = CountInBase3();

// The twists of places 0..5 in base 3, place 0 lowest; place 6's twist follows from them.
constexpr std::int32_t TwistIndex(std::uint32_t t) {
    return kBase3.of[t & 0x3FU] + 27 * kBase3.of[t >> 6U & 0x3FU];
}

constexpr std::uint32_t TwistsOf(std::int32_t index) {
    std::uint32_t twists = 0;
    unsigned sum = 0;
    for (unsigned place = 0; place < 6; ++place) {
        const auto t = static_cast<unsigned>(index % 3);
        index /= 3;
        twists |= t << (2U * place);
        sum += t;
    }
    return twists | (3U - sum % 3U) % 3U << 12U;
}

std::uint32_t EntriesOf(std::int32_t rank) {
    unsigned digits[7] = {};
    for (int place = 6; place >= 0; --place) {
        digits[place] = static_cast<unsigned>(rank % (7 - place));
        rank /= 7 - place;
    }
    unsigned unused[7] = {0, 1, 2, 3, 4, 5, 6};
    std::uint32_t entries = 0;
    for (unsigned place = 0; place < 7; ++place) {
        entries |= unused[digits[place]] << (3U * place);
        for (unsigned j = digits[place]; j + 1 < 7 - place; ++j) {
            unused[j] = unused[j + 1];
        }
    }
    return entries;
}

constexpr int PlaceOf(int slot) {
    return slot == 7 ? 6 : slot;
}

// A normalized position (reference piece in its slot, untwisted), packed.
Coded Code(const CornerPosition& p) {
    Coded c{0, 0};
    for (unsigned place = 0; place < 7; ++place) {
        const int slot = kCodedSlots[place];
        c.entries |= static_cast<std::uint32_t>(PlaceOf(p.piece[slot])) << (3U * place);
        c.twists |= static_cast<std::uint32_t>(p.twist[slot]) << (2U * place);
    }
    return c;
}

CornerPosition Decode(const Coded& c) {
    CornerPosition p{};
    for (unsigned place = 0; place < 7; ++place) {
        const int slot = kCodedSlots[place];
        p.piece[slot] = static_cast<std::uint8_t>(kCodedSlots[EntryAt(c.entries, place)]);
        p.twist[slot] = static_cast<std::uint8_t>(TwistAt(c.twists, place));
    }
    p.piece[kReferenceSlot] = kReferenceSlot;
    p.twist[kReferenceSlot] = 0;
    return p;
}

// A turn of a search face on packed places: the four places it moves pieces between, and
// what it adds to their twists; keep: the bits of the places that stay.
struct SearchMove {
    unsigned from[4];
    unsigned to[4];
    unsigned add[4];
    unsigned fromShift[4];  // 3 * from, 3 * to: where the entries lie
    unsigned toShift[4];
    std::uint32_t keepEntries;
    std::uint32_t keepTwists;
};

constexpr std::uint32_t MovedEntries(std::uint32_t e, const SearchMove& m) {
    return (e & m.keepEntries) | (e >> m.fromShift[0] & 7U) << m.toShift[0] |
           (e >> m.fromShift[1] & 7U) << m.toShift[1] | (e >> m.fromShift[2] & 7U) << m.toShift[2] |
           (e >> m.fromShift[3] & 7U) << m.toShift[3];
}

constexpr std::uint32_t MovedTwist(std::uint32_t t, const SearchMove& m, int k) {
    const unsigned twist = TwistAt(t, m.from[k]) + m.add[k];
    // Half turns and turns about y add nothing; in the search, where the move is a constant,
    // the compiler drops the wrap for them.
    return (m.add[k] != 0 && twist >= 3 ? twist - 3 : twist) << (2U * m.to[k]);
}

constexpr std::uint32_t MovedTwists(std::uint32_t t, const SearchMove& m) {
    return (t & m.keepTwists) | MovedTwist(t, m, 0) | MovedTwist(t, m, 1) | MovedTwist(t, m, 2) | MovedTwist(t, m, 3);
}

// The nine moves of the search: faces 0, 3 and 4 (none of them moves slot 6), 1..3 quarters.
struct SearchMoves {
    SearchMove of[9];
};
constexpr SearchMoves MakeSearchMoves() {
    SearchMoves moves{};
    for (std::size_t i = 0; i < 9; ++i) {
        const SlotMap& map = kFaceTurns[static_cast<std::size_t>(kSearchFaces[i / 3])][i % 3];
        SearchMove& m = moves.of[i];
        m.keepEntries = (1U << 21U) - 1U;
        m.keepTwists = (1U << 14U) - 1U;
        int k = 0;
        for (const int slot : kCodedSlots) {
            if (map.to[slot] != slot && k < 4) {
                m.from[k] = static_cast<unsigned>(PlaceOf(slot));
                m.to[k] = static_cast<unsigned>(PlaceOf(map.to[slot]));
                m.add[k] = map.add[slot];
                m.fromShift[k] = 3U * m.from[k];
                m.toShift[k] = 3U * m.to[k];
                m.keepEntries &= ~(7U << (3U * m.to[k]));
                m.keepTwists &= ~(3U << (2U * m.to[k]));
                ++k;
            }
        }
    }
    return moves;
}
constexpr SearchMoves kSearchMoves = MakeSearchMoves();

// ---------------------------------------------------------------- the pruning tables

// For every permutation, and every set of twists: its distance with the search's moves alone,
// which of the nine search moves take it one nearer, and (twists only) which keep it at least
// as near. A node at its budget in one part may only take the moves that bring that part
// nearer; one below, only those that do not take it farther. The compiler builds both tables
// by breadth-first search: when a node is expanded, all nodes at its distance and one nearer
// are already known.
// Entries while building: four bits of distance, then nine bits each of the two move sets.
constexpr unsigned kBuildDistance = 0xFU;
constexpr unsigned kBuildNearer = 4;
constexpr unsigned kBuildLevel = 13;
constexpr unsigned kUnknown = kBuildDistance;

template <std::size_t N>
struct PartTable {
    std::uint32_t of[N];
};

constexpr std::uint32_t kIdentityEntries = 0 | 1U << 3U | 2U << 6U | 3U << 9U | 4U << 12U | 5U << 15U | 6U << 18U;

// One move from one node: the neighbour's distance when it is new (true), else the move's
// bits in the node's entry. Few statements: the compiler counts them.
template <std::size_t N>
constexpr bool Visit(PartTable<N>& table, std::size_t from, std::size_t to, unsigned move) {
    const unsigned distance = table.of[from] & kBuildDistance, reached = table.of[to] & kBuildDistance;
    table.of[from] |= (reached <= distance ? 1U << (kBuildLevel + move) : 0U) |
                      (reached + 1 == distance ? 1U << (kBuildNearer + move) : 0U);
    if (reached == kUnknown) {
        table.of[to] = distance + 1;
        return true;
    }
    return false;
}

template <std::size_t N>
constexpr PartTable<N> Unknown() {
    PartTable<N> table{};
    for (std::uint32_t& entry : table.of) {
        entry = kUnknown;
    }
    table.of[0] = 0;
    return table;
}

constexpr PartTable<kPermutationCount> PermutationTable() {
    PartTable<kPermutationCount> table = Unknown<kPermutationCount>();
    struct Queue {
        std::uint32_t entries[kPermutationCount];
    };
    Queue queue{};  // in order of distance
    queue.entries[0] = kIdentityEntries;
    std::size_t queued = 1;
    for (std::size_t head = 0; head < queued; ++head) {
        const std::uint32_t e = queue.entries[head];
        const auto from = static_cast<std::size_t>(PermutationRank(e));
        for (unsigned k = 0; k < 9; ++k) {
            const std::uint32_t moved = MovedEntries(e, kSearchMoves.of[k]);
            if (Visit(table, from, static_cast<std::size_t>(PermutationRank(moved)), k)) {
                queue.entries[queued++] = moved;
            }
        }
    }
    return table;
}

constexpr PartTable<kTwistCount> TwistTable() {
    PartTable<kTwistCount> table = Unknown<kTwistCount>();
    struct Queue {
        std::int32_t index[kTwistCount];
    };
    Queue queue{};
    std::size_t queued = 1;
    for (std::size_t head = 0; head < queued; ++head) {
        const std::uint32_t t = TwistsOf(queue.index[head]);
        const auto from = static_cast<std::size_t>(queue.index[head]);
        for (unsigned k = 0; k < 9; ++k) {
            const std::int32_t index = TwistIndex(MovedTwists(t, kSearchMoves.of[k]));
            if (Visit(table, from, static_cast<std::size_t>(index), k)) {
                queue.index[queued++] = index;
            }
        }
    }
    return table;
}

// Entries as kept: the distance (at most 7) in three bits, the nearer moves in the next nine,
// then for the twists the level moves. Permutations take twelve bits, two entries in three
// bytes; twists three bytes each. One byte more at the end lets every entry be read whole.
constexpr unsigned kDistanceMask = 7U;
constexpr unsigned kNearerShift = 3;
constexpr unsigned kLevelShift = 12;

constexpr unsigned Kept(std::uint32_t built) {
    return (built & kBuildDistance) | (built >> kBuildNearer & 0x1FFU) << kNearerShift |
           (built >> kBuildLevel & 0x1FFU) << kLevelShift;
}

template <std::size_t N>
constexpr bool FitsThreeBits(const PartTable<N>& table) {
    for (const std::uint32_t entry : table.of) {
        if ((entry & kBuildDistance) > kDistanceMask) {
            return false;
        }
    }
    return true;
}

template <std::size_t kBytes>
struct PackedTable {
    std::uint8_t bytes[kBytes];
};

constexpr std::size_t kPermutationBytes = kPermutationCount * 3 / 2 + 1;
constexpr std::size_t kTwistBytes = kTwistCount * 3 + 1;

constexpr PackedTable<kPermutationBytes> PackPermutations(const PartTable<kPermutationCount>& t) {
    PackedTable<kPermutationBytes> packed{};
    for (std::size_t i = 0; i < kPermutationCount; ++i) {
        const std::size_t at = i * 3 / 2;
        const unsigned shifted = (Kept(t.of[i]) & 0xFFFU) << (i % 2 * 4);
        packed.bytes[at] = static_cast<std::uint8_t>(packed.bytes[at] | (shifted & 0xFFU));
        packed.bytes[at + 1] = static_cast<std::uint8_t>(packed.bytes[at + 1] | shifted >> 8U);
    }
    return packed;
}

constexpr PackedTable<kTwistBytes> PackTwists(const PartTable<kTwistCount>& t) {
    PackedTable<kTwistBytes> packed{};
    for (std::size_t i = 0; i < kTwistCount; ++i) {
        const unsigned entry = Kept(t.of[i]);
        packed.bytes[3 * i] = static_cast<std::uint8_t>(entry & 0xFFU);
        packed.bytes[3 * i + 1] = static_cast<std::uint8_t>(entry >> 8U & 0xFFU);
        packed.bytes[3 * i + 2] = static_cast<std::uint8_t>(entry >> 16U);
    }
    return packed;
}

// Built once each; only the packed tables are kept in the program.
constexpr PartTable<kPermutationCount> kPermutationBuilt = PermutationTable();
constexpr PartTable<kTwistCount> kTwistBuilt = TwistTable();
static_assert(FitsThreeBits(kPermutationBuilt) && FitsThreeBits(kTwistBuilt), "every distance must fit three bits");
constexpr PackedTable<kPermutationBytes> kPermutationTable = PackPermutations(kPermutationBuilt);
constexpr PackedTable<kTwistBytes> kTwistTable = PackTwists(kTwistBuilt);

// Inlined into every step of the search, where most of its time goes.
[[gnu::always_inline]] inline unsigned PermutationEntry(std::int32_t rank) {
    const auto i = static_cast<std::size_t>(rank);
    const std::size_t at = i * 3 / 2;
    const unsigned pair = kPermutationTable.bytes[at] | static_cast<unsigned>(kPermutationTable.bytes[at + 1]) << 8U;
    return pair >> (i % 2 * 4) & 0xFFFU;
}

[[gnu::always_inline]] inline unsigned TwistEntry(std::int32_t index) {
    const std::size_t at = 3 * static_cast<std::size_t>(index);
    return kTwistTable.bytes[at] | static_cast<unsigned>(kTwistTable.bytes[at + 1]) << 8U |
           static_cast<unsigned>(kTwistTable.bytes[at + 2]) << 16U;
}

// ---------------------------------------------------------------- the search

// True for a position some turns reach: eight different pieces, twists 0..2 adding up to a
// multiple of three (every move keeps that sum).
bool Reachable(const CornerPosition& p) {
    unsigned seen = 0;
    int sum = 0;
    for (int s = 0; s < 8; ++s) {
        if (p.piece[s] > 7 || p.twist[s] > 2) {
            return false;
        }
        seen |= 1U << p.piece[s];
        sum += p.twist[s];
    }
    return seen == 0xFFU && sum % 3 == 0;
}

// Turned as a whole so that the reference piece stands in its slot, untwisted.
CornerPosition Normalized(const CornerPosition& p) {
    for (std::size_t s = 0; s < 8; ++s) {
        if (p.piece[s] == kReferenceSlot) {
            return Moved(p, kNormalizers[s][p.twist[s]]);
        }
    }
    return p;
}

// A position of the search with the table entries of its two parts.
struct Node {
    Coded coded;
    unsigned permutation;
    unsigned twist;
};

Node NodeOf(const Coded& c) {
    return Node{c, PermutationEntry(PermutationRank(c.entries)), TwistEntry(TwistIndex(c.twists))};
}

// A lower bound on the moves left; 0 only for the solved position.
int LowerBound(const Node& n) {
    const unsigned a = n.permutation & kDistanceMask;
    const unsigned b = n.twist & kDistanceMask;
    return static_cast<int>(a > b ? a : b);
}

// The depth-first part: whether the search's moves solve the node within `budget` moves
// (budget >= 1; neither part farther than that). A part already as far as the budget must come
// nearer with the move, and the twists one below it must not go farther, so only the moves
// their table entries name are tried. The face just turned (0..2 for faces 0, 3, 4;
// -1 none) is not turned again: the three search faces lie on three axes, so no two of them
// commute. The moves are compile-time constants: each turn is a handful of shifts.
bool SolvesWithin(const Node& n, int budget, int lastFace);

template <std::size_t kMove>
bool SolvesAfter(const Node& n, int budget, unsigned candidates) {
    if ((candidates >> kMove & 1U) == 0) {
        return false;
    }
    constexpr SearchMove kTurn = kSearchMoves.of[kMove];
    const auto limit = static_cast<unsigned>(budget);
    Node next{};
    next.coded.entries = MovedEntries(n.coded.entries, kTurn);
    next.permutation = PermutationEntry(PermutationRank(next.coded.entries));
    if ((next.permutation & kDistanceMask) >= limit) {
        return false;
    }
    // The twists need no such test: the candidates keep them within the budget.
    next.coded.twists = MovedTwists(n.coded.twists, kTurn);
    next.twist = TwistEntry(TwistIndex(next.coded.twists));
    return ((next.permutation | next.twist) & kDistanceMask) == 0 ||
           SolvesWithin(next, budget - 1, static_cast<int>(kMove / 3));
}

template <std::size_t... kMoves>
bool SolvesAfterAny(const Node& n, int budget, unsigned candidates, std::index_sequence<kMoves...> /*moves*/) {
    return (SolvesAfter<kMoves>(n, budget, candidates) || ...);
}

bool SolvesWithin(const Node& n, int budget, int lastFace) {
    const auto limit = static_cast<unsigned>(budget);
    unsigned candidates = lastFace < 0 ? 0x1FFU : 0x1FFU & ~(7U << (3U * static_cast<unsigned>(lastFace)));
    if ((n.permutation & kDistanceMask) == limit) {
        candidates &= n.permutation >> kNearerShift;
    }
    if ((n.twist & kDistanceMask) == limit) {
        candidates &= n.twist >> kNearerShift;
    } else if ((n.twist & kDistanceMask) + 1 == limit) {
        candidates &= n.twist >> kLevelShift;
    }
    return SolvesAfterAny(n, budget, candidates, std::make_index_sequence<9>());
}

// Iterative deepening from the position in the game's frame: at each bound, from `firstBound`
// up, the game's moves in order are tried as the first move, so the first move that starts
// a solution of the least length wins. Returns the distance and leaves that move in *turn.
int Search(const CornerPosition& position, int firstBound, FaceTurn* turn) {
    if (!Reachable(position)) {
        return -1;
    }
    const int startBound = LowerBound(NodeOf(Code(Normalized(position))));
    if (startBound == 0) {
        return 0;
    }
    // After each move, as the search sees it; a move and the opposite face's turn the other
    // way round give the same one.
    Node next[kMoveCount] = {};
    for (std::size_t i = 0; i < kMoveCount; ++i) {
        next[i] = NodeOf(Code(Normalized(Moved(position, kFaceTurns[i / 3][i % 3]))));
    }
    for (int bound = startBound > firstBound ? startBound : firstBound; bound <= kMaxDistance; ++bound) {
        for (std::size_t i = 0; i < kMoveCount; ++i) {
            bool seen = false;
            for (std::size_t k = 0; k < i; ++k) {
                seen = seen ||
                       (next[k].coded.entries == next[i].coded.entries && next[k].coded.twists == next[i].coded.twists);
            }
            if (seen) {
                continue;
            }
            const int nextBound = LowerBound(next[i]);
            if (nextBound == 0 || (nextBound < bound && SolvesWithin(next[i], bound - 1, -1))) {
                *turn = FaceTurn{static_cast<int>(i / 3), static_cast<int>(i % 3) + 1};
                return bound;
            }
        }
    }
    return -1;
}

// ---------------------------------------------------------------- reading the pieces

// The colour of the first face that is not grey with a vertex at the point, or -1: the way the
// solved check reads a side.
int ColourAt(const Piece& piece, const float (&point)[3]) {
    const int faces = piece.faceCount < 7 ? piece.faceCount : 7;
    for (int f = 0; f < faces; ++f) {
        if (piece.faceColour[f] == kColourGrey) {
            continue;
        }
        const int corners = piece.faceVertexCount[f] < 5 ? piece.faceVertexCount[f] : 5;
        for (int k = 0; k < corners; ++k) {
            const int v = piece.faceVertex[f][k];
            if (v >= 0 && v < 12 && piece.x[v] == point[0] && piece.y[v] == point[1] && piece.z[v] == point[2]) {
                return piece.faceColour[f];
            }
        }
    }
    return -1;
}

// The axis vertex 0 lies on, at the centre of one of the slot's sides, or -1.
int VerticalAxis(const Piece& piece, int slot) {
    const float v[3] = {piece.x[0], piece.y[0], piece.z[0]};
    for (int axis = 0; axis < 3; ++axis) {
        const int other1 = (axis + 1) % 3;
        const int other2 = (axis + 2) % 3;
        if (v[axis] == static_cast<float>(kSlotSigns[slot][axis]) * kSideReach && v[other1] == 0.0F &&
            v[other2] == 0.0F) {
            return axis;
        }
    }
    return -1;
}

constexpr int kColours = 8;  // colour indices 0..7

int BitCount(unsigned bits) {
    int n = 0;
    for (; bits != 0; bits &= bits - 1) {
        ++n;
    }
    return n;
}

// The lowest set bit's number; 0 for none.
int LowestBit(unsigned bits) {
    int n = 0;
    while (bits != 0 && (bits & 1U) == 0) {
        bits >>= 1U;
        ++n;
    }
    return n;
}

}  // namespace

bool ReadCornerPosition(const Piece (&pieces)[8], CornerPosition* position) {
    // Each piece's colours in its own turning order, the side its vertical points to first;
    // for each colour, the slots it is on and the colours it meets there (a bit each).
    int own[8][3] = {};
    unsigned onSlots[kColours] = {};
    unsigned meets[kColours] = {};
    CornerPosition read{};
    for (int s = 0; s < 8; ++s) {
        const int vertical = VerticalAxis(pieces[s], s);
        if (vertical < 0) {
            return false;
        }
        const int twist = TwistOfAxis(s, vertical);
        read.twist[s] = static_cast<std::uint8_t>(twist);
        unsigned colours = 0;
        for (int k = 0; k < 3; ++k) {
            const int axis = AxisAtTwist(s, (twist + k) % 3);
            float point[3] = {0.0F, 0.0F, 0.0F};
            point[axis] = static_cast<float>(kSlotSigns[s][axis]) * kSideReach;
            const int colour = ColourAt(pieces[s], point);
            if (colour < 0 || colour >= kColours || (colours >> colour & 1U) != 0) {
                return false;
            }
            own[s][k] = colour;
            colours |= 1U << colour;
            onSlots[colour] |= 1U << s;
        }
        for (const int c : own[s]) {
            meets[c] |= colours;
        }
    }
    // Six colours on four pieces each; the opposite of a colour is the one it never meets.
    unsigned used = 0;
    for (int c = 0; c < kColours; ++c) {
        used |= onSlots[c] != 0 ? 1U << c : 0U;
    }
    if (BitCount(used) != 6) {
        return false;
    }
    int opposite[kColours] = {};
    for (int c = 0; c < kColours; ++c) {
        const unsigned never = used & ~meets[c];
        if ((used >> c & 1U) != 0 && (BitCount(onSlots[c]) != 4 || BitCount(never) != 1)) {
            return false;
        }
        opposite[c] = LowestBit(never);
    }
    // The sides of the solved puzzle whose reference piece (the lower colour of each pair)
    // stands in slot 6, untwisted: the axis and sign of each colour.
    int reference = -1;
    for (int s = 0; s < 8; ++s) {
        bool lower = true;
        for (const int c : own[s]) {
            lower = lower && c < opposite[c];
        }
        reference = lower ? s : reference;
    }
    if (reference < 0) {
        return false;
    }
    int axisOf[kColours] = {};
    int signOf[kColours] = {};
    for (int k = 0; k < 3; ++k) {
        const int c = own[reference][k];
        axisOf[c] = AxisAtTwist(kReferenceSlot, k);
        axisOf[opposite[c]] = axisOf[c];
        signOf[c] = kSlotSigns[kReferenceSlot][axisOf[c]];
        signOf[opposite[c]] = -signOf[c];
    }
    // Each piece's home is the slot whose sides carry its colours, in the same turning order
    // (a mirrored piece has them the other way round).
    for (int s = 0; s < 8; ++s) {
        int signs[3] = {};
        for (const int c : own[s]) {
            signs[axisOf[c]] = signOf[c];
        }
        const int home = SlotOf(signs);
        if (home < 0) {
            return false;
        }
        for (int k = 0; k < 3; ++k) {
            if (AxisAtTwist(home, k) != axisOf[own[s][k]]) {
                return false;
            }
        }
        read.piece[s] = static_cast<std::uint8_t>(home);
    }
    if (!Reachable(read)) {
        return false;
    }
    *position = read;
    return true;
}

CornerPosition AfterTurn(const CornerPosition& position, FaceTurn turn) {
    const int quarters = ((turn.quarterTurns % 4) + 4) % 4;
    if (turn.face < 0 || turn.face >= 6 || quarters == 0) {
        return position;
    }
    return Moved(position, kFaceTurns[static_cast<std::size_t>(turn.face)][static_cast<std::size_t>(quarters - 1)]);
}

int DistanceFromSolved(const CornerPosition& position) {
    FaceTurn turn{};
    return Search(position, 0, &turn);
}

bool NextOptimalTurn(const CornerPosition& position, FaceTurn* turn) {
    FaceTurn found{};
    if (Search(position, 0, &found) <= 0) {
        return false;
    }
    *turn = found;
    return true;
}

int OptimalSolution(const CornerPosition& position, FaceTurn (&turns)[kMaxDistance]) {
    CornerPosition p = position;
    FaceTurn turn{};
    int distance = Search(p, 0, &turn);
    const int length = distance;
    for (int i = 0; distance > 0 && i < kMaxDistance; ++i) {
        turns[i] = turn;
        p = AfterTurn(p, turn);
        distance = Search(p, distance - 1, &turn);  // one nearer: no shorter bound can succeed
    }
    return length;
}

int DistanceFromSolved(const Piece (&pieces)[8]) {
    CornerPosition p{};
    return ReadCornerPosition(pieces, &p) ? DistanceFromSolved(p) : -1;
}

bool NextOptimalTurn(const Piece (&pieces)[8], FaceTurn* turn) {
    CornerPosition p{};
    return ReadCornerPosition(pieces, &p) && NextOptimalTurn(p, turn);
}

int OptimalSolution(const Piece (&pieces)[8], FaceTurn (&turns)[kMaxDistance]) {
    CornerPosition p{};
    return ReadCornerPosition(pieces, &p) ? OptimalSolution(p, turns) : -1;
}

std::int32_t PositionIndex(const CornerPosition& position) {
    if (!Reachable(position)) {
        return -1;
    }
    const Coded c = Code(Normalized(position));
    return PermutationRank(c.entries) * kTwistCount + TwistIndex(c.twists);
}

CornerPosition PositionAt(std::int32_t index) {
    if (index < 0 || index >= kPositionCount) {
        index = 0;
    }
    return Decode(Coded{EntriesOf(index / kTwistCount), TwistsOf(index % kTwistCount)});
}

int PermutationBound(std::int32_t permutation) {
    return permutation >= 0 && permutation < kPermutationCount
               ? static_cast<int>(PermutationEntry(permutation) & kDistanceMask)
               : 0;
}

int TwistBound(std::int32_t twist) {
    return twist >= 0 && twist < kTwistCount ? static_cast<int>(TwistEntry(twist) & kDistanceMask) : 0;
}
