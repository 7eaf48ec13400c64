#include "runtime/drawing/resample.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

double ResampleCubicKernel(double x) {
    const double b = 1.0 / 3.0, c = 1.0 / 3.0;
    x = std::fabs(x);
    if (x < 1.0) return ((12 - 9 * b - 6 * c) * x * x * x + (-18 + 12 * b + 6 * c) * x * x + (6 - 2 * b)) / 6;
    if (x < 2.0)
        return ((-b - 6 * c) * x * x * x + (6 * b + 30 * c) * x * x + (-12 * b - 48 * c) * x + (8 * b + 24 * c)) / 6;
    return 0.0;
}

double ResampleTriangleKernel(double x) {
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

void ResampleTableFree(ResampleTable* table) {
    if (!table) return;
    std::free(table->first);
    std::free(table->last);
    std::free(table->weights);
    std::free(table);
}

ResampleTable* ResampleWeights(bool cubic, int outCount, int inCount) {
    if (outCount < 1 || inCount < 1) return nullptr;
    double (*kernel)(double) = cubic ? ResampleCubicKernel : ResampleTriangleKernel;
    const double support = cubic ? 2.0 : 1.0;
    const double scale = static_cast<double>(outCount) / inCount;
    double radius = support, weightScale = 1.0;
    if (scale < 1.0) {
        radius = support / scale;
        weightScale = scale;
    }
    const double slotCount = 2 * std::ceil(radius) + 1;
    // Shrinking by a huge factor would ask for an absurd window; refuse rather than overflow.
    if (slotCount > 1e7 || static_cast<double>(outCount) * slotCount > 1e9) return nullptr;
    const int slots = static_cast<int>(slotCount);

    auto* table = static_cast<ResampleTable*>(std::calloc(1, sizeof(ResampleTable)));
    if (!table) return nullptr;
    table->first = static_cast<int*>(std::calloc(static_cast<size_t>(outCount), sizeof(int)));
    table->last = static_cast<int*>(std::calloc(static_cast<size_t>(outCount), sizeof(int)));
    table->weights = static_cast<double*>(std::calloc(static_cast<size_t>(outCount) * slots, sizeof(double)));
    if (!table->first || !table->last || !table->weights) {
        ResampleTableFree(table);
        return nullptr;
    }
    table->outCount = outCount;
    table->inCount = inCount;
    table->slots = slots;
    table->scale = scale;
    table->radius = radius;
    table->weightScale = weightScale;

    for (int i = 0; i < outCount; ++i) {
        const double centre = i / scale + (0.5 / scale - 0.5);
        int first = static_cast<int>(std::floor(centre - radius));
        int last = static_cast<int>(std::ceil(centre + radius));
        if (first < 0) first = 0;
        if (last > inCount - 1) last = inCount - 1;
        if (last - first + 1 > slots) {
            if (first < inCount) ++first;
            else --last;
        }
        if (last < first) last = first;  // cannot happen for counts >= 1; keeps the window non-empty
        double* w = table->weights + static_cast<size_t>(i) * slots;
        double sum = 0.0;
        for (int k = first; k <= last; ++k) {
            w[k - first] = kernel((centre - k) * weightScale) * weightScale;
            sum += w[k - first];
        }
        if (sum > 0.0 && sum != 1.0)
            for (int k = first; k <= last; ++k) w[k - first] /= sum;
        table->first[i] = first;
        table->last[i] = last;
    }
    return table;
}

namespace {

inline uint8_t ToChannel(double acc) {
    double v = std::trunc(acc + 0.5);
    if (v <= 0.0) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint8_t>(v);
}

// One pass along lines of pixels. Line l of the input starts at in + l * inLineStep
// and its positions are inStep bytes apart; the output likewise.
void ResamplePass(const ResampleTable& t, int lines, const uint8_t* in, size_t inLineStep, size_t inStep,
                  uint8_t* out, size_t outLineStep, size_t outStep) {
    for (int line = 0; line < lines; ++line) {
        const uint8_t* inLine = in + line * inLineStep;
        uint8_t* outLine = out + line * outLineStep;
        for (int i = 0; i < t.outCount; ++i) {
            const double* w = t.weights + static_cast<size_t>(i) * t.slots;
            double acc[4] = {0, 0, 0, 0};
            for (int k = t.first[i]; k <= t.last[i]; ++k) {
                const uint8_t* p = inLine + k * inStep;
                const double weight = w[k - t.first[i]];
                acc[0] += weight * p[0];
                acc[1] += weight * p[1];
                acc[2] += weight * p[2];
                acc[3] += weight * p[3];
            }
            uint8_t* q = outLine + i * outStep;
            for (int ch = 0; ch < 4; ++ch) q[ch] = ToChannel(acc[ch]);
        }
    }
}

}  // namespace

int ResamplePixels32(uint8_t* dst, int dstW, int dstH, uint8_t* src, int srcW, int srcH) {
    if (!dst || !src || dstW < 1 || dstH < 1 || srcW < 1 || srcH < 1) return 0;

    // Fully transparent pixels take part in the filter as white, still transparent.
    const size_t srcPixels = static_cast<size_t>(srcW) * static_cast<size_t>(srcH);
    for (size_t p = 0; p < srcPixels; ++p) {
        uint8_t* px = src + p * 4;
        if (px[3] == 0) px[0] = px[1] = px[2] = 255;
    }

    // Resize along the axis that leaves the smaller intermediate image first.
    const uint64_t horizontalFirst = static_cast<uint64_t>(srcH) * static_cast<uint64_t>(dstW);
    const uint64_t verticalFirst = static_cast<uint64_t>(srcW) * static_cast<uint64_t>(dstH);
    const bool horizontal = horizontalFirst <= verticalFirst;
    const uint64_t middlePixels = horizontal ? horizontalFirst : verticalFirst;
    if (middlePixels > SIZE_MAX / 4) return 0;
    auto* middle = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(middlePixels) * 4));
    if (!middle) return 0;

    ResampleTable* across = ResampleWeights(true, dstW, srcW);
    ResampleTable* down = ResampleWeights(true, dstH, srcH);
    int done = 0;
    if (across && down) {
        const size_t srcRow = static_cast<size_t>(srcW) * 4, dstRow = static_cast<size_t>(dstW) * 4;
        if (horizontal) {
            // srcH rows of srcW -> dstW into a dstW by srcH image, then dstW columns of srcH -> dstH.
            ResamplePass(*across, srcH, src, srcRow, 4, middle, dstRow, 4);
            ResamplePass(*down, dstW, middle, 4, dstRow, dst, 4, dstRow);
        } else {
            // srcW columns of srcH -> dstH into a srcW by dstH image, then dstH rows of srcW -> dstW.
            ResamplePass(*down, srcW, src, 4, srcRow, middle, 4, srcRow);
            ResamplePass(*across, dstH, middle, srcRow, 4, dst, dstRow, 4);
        }
        done = 1;
    }
    ResampleTableFree(across);
    ResampleTableFree(down);
    std::free(middle);
    return done;
}
