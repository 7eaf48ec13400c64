#include "demo/tables.h"

#include <cmath>
#include <vector>

#include "runtime/core/array.h"
#include "runtime/core/numeric.h"

namespace {

const int ArrayTypeInteger = 21;

// Candidates scored side by side in the table passes.
const int BatchLanes = 4;

// Round to nearest, ties to even, under the default rounding mode.
int32_t RoundEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// Stores a value in single precision, as the float fields of the state demand.
inline float Single(double v) { return static_cast<float>(v); }

int CreateIntArray(int32_t count, void** variable) {
    return ArrayCreate(4, count, ArrayTypeInteger, nullptr, variable) != nullptr;
}

// Where a candidate's score loop stopped: its score and distance.
struct ScoreRun {
    float score = 0.0f;
    int32_t d = 0;
};

// The score loop of the table passes. A candidate k sums, for growing distances
// d, the weight of d for each free cell on the near side (k - d, reflected at
// cell 0) and on the far side (k + d), while k + d is inside the half axis and
// the best score so far is below the score plus 12 times the weight, a bound on
// what the remaining distances could still add; that comparison is made
// unrounded, in double precision, and every sum is stored in single precision.
// Adding the weight times 0 or 1 is exact, so the sums equal those of
// conditional adds, without their unpredictable branches.
struct Scorer {
    // The free-cell flags as 0.0 or 1.0, mirrored around cell 0: entry h + c
    // is cell |c|, so the near side needs no reflection test.
    const float* mirror;
    const float* weights;  // weight of each distance, in single precision
    const double* bound;   // 12 times each weight
    int32_t h;

    bool Continues(int32_t k, const ScoreRun& run, float best) const {
        // best < score + bound, exactly: both differences of two floats of
        // similar size and 12 times a float are exact in double precision.
        return k + run.d < h && static_cast<double>(best) - static_cast<double>(run.score) < bound[run.d];
    }
    // Continues a candidate's loop from the given state to its end, keeping
    // the score at each distance the loop tests in history when one is given.
    template <bool Record = false>
    ScoreRun Run(int32_t k, ScoreRun run, float best, float* history = nullptr) const {
        const float* centre = mirror + h + k;
        const int32_t limit = h - k;
        const double b = best;
        float score = run.score;
        int32_t d = run.d;
        if (Record) history[d] = score;
        while (d < limit && b - static_cast<double>(score) < bound[d]) {
            const float w = weights[d];
            score = Single(score + w * centre[-d]);
            score = Single(score + w * centre[d]);
            ++d;
            if (Record) history[d] = score;
        }
        return ScoreRun{score, d};
    }
    // Lanes candidates k[0] < k[1] < ... against the same best score, in step
    // while all of them go on, so that independent sums are in flight. The
    // scores of every lane but the first are kept in its row of history (h + 1
    // entries per lane) for Replay.
    template <int Lanes>
    void RunBatch(const int32_t* k, float best, ScoreRun* runs, float* history) const {
        const size_t row = static_cast<size_t>(h) + 1;
        const float* centre[Lanes];
        float score[Lanes];
        for (int i = 0; i < Lanes; ++i) {
            centre[i] = mirror + h + k[i];
            score[i] = 0.0f;
            history[i * row] = 0.0f;
        }
        const int32_t limit = h - k[Lanes - 1];  // the smallest of the limits
        const double b = best;
        int32_t d = 0;
        while (d < limit) {
            bool all = true;
            for (int i = 0; i < Lanes; ++i) all &= b - static_cast<double>(score[i]) < bound[d];
            if (!all) break;
            const float w = weights[d];
            for (int i = 0; i < Lanes; ++i) score[i] = Single(score[i] + w * centre[i][-d]);
            for (int i = 0; i < Lanes; ++i) score[i] = Single(score[i] + w * centre[i][d]);
            ++d;
            for (int i = 1; i < Lanes; ++i) history[i * row + d] = score[i];
        }
        runs[0] = Run(k[0], ScoreRun{score[0], d}, best);
        for (int i = 1; i < Lanes; ++i) runs[i] = Run<true>(k[i], ScoreRun{score[i], d}, best, history + i * row);
    }
    // Where a loop recorded against one best score would have stopped against
    // a higher one: no later than where it did, at the first distance whose
    // test fails. The scores are the same up to there, so nothing is summed.
    ScoreRun Replay(int32_t k, const ScoreRun& recorded, float best, const float* history) const {
        ScoreRun run;
        for (run.d = 0; run.d < recorded.d; ++run.d) {
            run.score = history[run.d];
            if (!Continues(k, run, best)) return run;
        }
        return recorded;
    }
};

}  // namespace

int DemoCreateCutLists(DemoState& s) {
    int ok = CreateIntArray(2, &s.cutX);
    ok &= CreateIntArray(2, &s.cutY);
    return ok;
}

void DemoSetScreenSize(DemoState& s, int32_t width, int32_t height) {
    s.screenWidth = width;
    s.screenHeight = height;
    s.halfWidth = s.screenWidth / 2;
    s.halfHeight = s.screenHeight / 2;
}

void DemoSetRingConstants(DemoState& s) {
    s.stepX = 0.05f;
    s.stepY = 0.05f;
    s.weight = 0.0f;
    s.score = 0.0f;
    s.accumWidth = 0.0f;
    s.bestScore = 0.0f;
    s.angle = 0;
    s.pickCount = 0;
    s.cellCount = 0;
    s.ringSize = 0;
    s.cellTotal = 0;
    s.candidate = 0;
    s.bestCell = 0;
    s.distance = 0;
    s.maxRingSize = 0;
    s.ringCountX = Single(Single(2.0f / s.stepX) + 1.0f);
    s.ringWidthX = Single((static_cast<float>(s.halfWidth) + 1.0f) / s.ringCountX);
    s.ringCountY = Single(Single(2.0f / s.stepY) + 1.0f);
    s.ringWidthY = Single((static_cast<float>(s.halfHeight) + 1.0f) / s.ringCountY);
}

int DemoBuildTables(DemoState& s) {
    // The larger half size, in single precision; it sizes the free-cell flags.
    s.bestScore = static_cast<float>(s.halfWidth);
    if (static_cast<float>(s.halfHeight) > s.bestScore) s.bestScore = static_cast<float>(s.halfHeight);
    int ok = CreateIntArray(s.halfWidth + 3, &s.ringCellsX);
    ok &= CreateIntArray(TruncToInt(s.ringCountX + 1.0) + 1, &s.ringStartX);
    ok &= CreateIntArray(s.halfHeight + 3, &s.ringCellsY);
    ok &= CreateIntArray(TruncToInt(s.ringCountY + 1.0) + 1, &s.ringStartY);
    ok &= CreateIntArray(TruncToInt(s.bestScore) + 1, &s.freeCell);
    if (!ok) return 0;
    if (!DemoTablePass(s, DemoAxis::X)) return 0;
    return DemoTablePass(s, DemoAxis::Y);
}

int DemoTablePass(DemoState& s, DemoAxis axis) {
    const bool isX = axis == DemoAxis::X;
    const int32_t h = isX ? s.halfWidth : s.halfHeight;
    const float w = isX ? s.ringWidthX : s.ringWidthY;
    const float ringCount = isX ? s.ringCountX : s.ringCountY;
    void* cellsArray = isX ? s.ringCellsX : s.ringCellsY;
    void* startArray = isX ? s.ringStartX : s.ringStartY;
    void** cutList = isX ? &s.cutX : &s.cutY;

    // The last ring index, re-evaluated by the loop in the same way each time.
    const int32_t lastRing = RoundEven(static_cast<double>(ringCount) - 1.0);
    // Nothing may be written outside the arrays: every cell index is below h,
    // the cells take h entries, the ring starts lastRing + 2.
    if (h < 0 || !cellsArray || !startArray || !s.freeCell || !*cutList) return 0;
    if (ArrayCount(cellsArray) < h || ArrayCount(s.freeCell) < h) return 0;
    if (lastRing < -1 || ArrayCount(startArray) < lastRing + 2) return 0;

    int32_t* cells = DemoInts(cellsArray);
    int32_t* start = DemoInts(startArray);
    int32_t* freeCell = DemoInts(s.freeCell);

    // The scalars live in locals during the pass (the hot loop must
    // not go through memory that the arrays may alias) and are written back
    // to the state at the end; the float ones are single precision throughout.
    int32_t maxRingSize = 0;
    int32_t cellCount = 0;
    float accumWidth = 0.0f;
    int32_t cellTotal = 0;
    int32_t r = 0;
    for (int32_t k = 0; k < h; ++k) freeCell[k] = 1;

    // The weights of the score loop, 1, 1/1.5, ... each stored in single
    // precision, and 12 times each in double: the bound on what the remaining
    // distances could still add.
    std::vector<float> weights(static_cast<size_t>(h) + 1);
    std::vector<double> bound(static_cast<size_t>(h) + 1);
    float weight = 1.0f;
    for (int32_t d = 0; d <= h; ++d) {
        weights[d] = weight;
        bound[d] = 12.0 * static_cast<double>(weight);
        weight = Single(weight / 1.5);
    }

    std::vector<float> mirror(2 * static_cast<size_t>(h) + 1, 1.0f);
    std::vector<float> history(BatchLanes * (static_cast<size_t>(h) + 1));
    const Scorer scorer{mirror.data(), weights.data(), bound.data(), h};
    const auto nextFree = [&](int32_t k) {
        if (isX) {
            while (k < h && freeCell[k] != 1) ++k;
        } else {
            while (k < h && freeCell[k] == 0) ++k;
        }
        return k;
    };

    int32_t ringSize = 0, pick = 0, bestCell = 0, candidate = 0, distance = 0;
    float score = 0.0f, bestScore = 0.0f;

    while (r <= lastRing) {
        // This ring's number of cells, capped so the total stays h.
        start[r] = cellCount;
        if (isX) {
            ringSize = TruncToInt(static_cast<double>(accumWidth) + w) - cellTotal;
        } else {
            ringSize = RoundEven(static_cast<double>(accumWidth) + w - cellTotal);
        }
        cellTotal += ringSize;
        if (cellTotal > h) {
            ringSize -= cellTotal - h;
            cellTotal = h;
        }
        for (pick = 0; pick < ringSize; ++pick) {
            // Score every free cell; the best one joins the ring.
            bestScore = 0.0f;
            bool found = false;
            const auto take = [&](int32_t k, const ScoreRun& run) {
                weight = weights[run.d];
                distance = run.d;
                score = run.score;
                // Ties go to the higher cell.
                if (run.score >= bestScore) {
                    bestCell = k;
                    bestScore = run.score;
                    found = true;
                }
            };
            // Free candidates are scored in batches against the same best
            // score. When one raises the best score, the later ones' loops
            // are replayed against the new one.
            candidate = nextFree(0);
            while (candidate < h) {
                int32_t k[BatchLanes];
                int lanes = 0;
                for (int32_t c = candidate; lanes < BatchLanes && c < h; c = nextFree(c + 1)) k[lanes++] = c;
                if (lanes < BatchLanes) {
                    for (int i = 0; i < lanes; ++i) take(k[i], scorer.Run(k[i], ScoreRun{}, bestScore));
                    candidate = h;
                    break;
                }
                ScoreRun runs[BatchLanes];
                const float before = bestScore;
                scorer.RunBatch<BatchLanes>(k, before, runs, history.data());
                take(k[0], runs[0]);
                for (int i = 1; i < BatchLanes; ++i) {
                    const float* row = history.data() + i * (static_cast<size_t>(h) + 1);
                    if (bestScore != before) runs[i] = scorer.Replay(k[i], runs[i], bestScore, row);
                    take(k[i], runs[i]);
                }
                candidate = nextFree(k[BatchLanes - 1] + 1);
            }
            // A free cell always exists while the total stays within h; stop
            // rather than hand out a cell twice should that ever not hold.
            if (!found) break;
            freeCell[bestCell] = 0;
            mirror[h + bestCell] = 0.0f;
            mirror[h - bestCell] = 0.0f;
            // Insert into the ring's slice, keeping it ascending.
            for (int32_t i = cellCount; i >= start[r]; --i) {
                if (i != start[r]) cells[i] = cells[i - 1];
                if (bestCell > cells[i] || i == start[r]) {
                    cells[i] = bestCell;
                    ++cellCount;
                    break;
                }
            }
        }
        accumWidth = Single(accumWidth + w);
        if (cellCount - start[r] > maxRingSize) maxRingSize = cellCount - start[r];
        ++r;
    }
    // The end of the last ring.
    start[r] = cellCount;

    s.angle = r;
    s.pickCount = pick;
    s.cellCount = cellCount;
    s.accumWidth = accumWidth;
    s.ringSize = ringSize;
    s.cellTotal = cellTotal;
    s.candidate = candidate;
    s.bestCell = bestCell;
    s.distance = distance;
    s.weight = weight;
    s.score = score;
    s.bestScore = bestScore;
    s.maxRingSize = maxRingSize;
    return ArrayResize(2 * maxRingSize + 5, cutList);
}

int32_t DemoRingStart(const DemoState& s, DemoAxis axis, int32_t ring) {
    return DemoInts(axis == DemoAxis::X ? s.ringStartX : s.ringStartY)[ring];
}

int32_t DemoRingLength(const DemoState& s, DemoAxis axis, int32_t ring) {
    const int32_t* start = DemoInts(axis == DemoAxis::X ? s.ringStartX : s.ringStartY);
    return start[ring + 1] - start[ring];
}
