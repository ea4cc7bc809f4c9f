#include "BreakFinder.h"

#include <algorithm>
#include <cmath>

namespace {

// Records closer than this belong to one stretch of black or silence.
const double kSameStretchSeconds = 0.25;
// Coincidences closer than this are one moment, such as a black gap with a flash in it.
const double kSameMomentSeconds = 1.0;
const double kSpotLengths[] = {10, 15, 20, 30, 45, 60, 90, 120};
const double kSpotTolerance = 1.0;
const int kFewestSpots = 2;
const double kLongestBreakSeconds = 6 * 60;
// How long one record covers: an audio interval, a video frame.
const double kAudioRecordSeconds = 0.024;
const double kVideoRecordSeconds = 1001.0 / 30000;

std::vector<SSpan> Stretches(const std::vector<SEventRecord>& records, EEventKind kind) {
    const double covered = kind == EEventKind::Audio ? kAudioRecordSeconds : kVideoRecordSeconds;
    std::vector<SSpan> stretches;
    for (const SEventRecord& record : records) {
        if (record.kind != kind) continue;
        if (!stretches.empty() && record.seconds - stretches.back().end <= kSameStretchSeconds)
            stretches.back().end = std::max(stretches.back().end, record.seconds);
        else
            stretches.push_back({record.seconds - covered, record.seconds});
    }
    return stretches;
}

// Where black and silence overlap, with moments that lie close together merged. Both lists
// are in time order and their stretches do not overlap, so one pass finds every overlap.
std::vector<SSpan> Coincidences(const std::vector<SSpan>& black, const std::vector<SSpan>& quiet) {
    std::vector<SSpan> moments;
    std::size_t b = 0, q = 0;
    while (b < black.size() && q < quiet.size()) {
        const SSpan overlap{std::max(black[b].start, quiet[q].start),
                            std::min(black[b].end, quiet[q].end)};
        if (black[b].end < quiet[q].end)
            ++b;
        else
            ++q;
        if (overlap.end < overlap.start) continue;
        if (!moments.empty() && overlap.start - moments.back().end < kSameMomentSeconds)
            moments.back().end = std::max(moments.back().end, overlap.end);
        else
            moments.push_back(overlap);
    }
    return moments;
}

double Middle(const SSpan& span) {
    return (span.start + span.end) / 2;
}

bool IsSpotLength(double seconds) {
    return std::any_of(std::begin(kSpotLengths), std::end(kSpotLengths), [seconds](double spot) {
        return std::fabs(seconds - spot) <= kSpotTolerance;
    });
}

void AddChain(const std::vector<SSpan>& moments, std::size_t first, std::size_t last,
              SBreakFindings* findings) {
    const SSpan span{moments[first].start, moments[last].end};
    const int spots = static_cast<int>(last - first);
    if (spots == 0) {
        findings->loneFades.push_back(span);
    } else if (spots < kFewestSpots || span.end - span.start > kLongestBreakSeconds) {
        findings->rejectedChains.push_back(span);
    } else {
        findings->breaks.push_back({span, spots});
    }
}

}  // namespace

SBreakFindings FindBreaks(const std::vector<SEventRecord>& records) {
    const std::vector<SSpan> moments =
        Coincidences(Stretches(records, EEventKind::Video), Stretches(records, EEventKind::Audio));
    SBreakFindings findings;
    std::size_t first = 0;
    for (std::size_t i = 1; i <= moments.size(); ++i) {
        if (i < moments.size() && IsSpotLength(Middle(moments[i]) - Middle(moments[i - 1])))
            continue;
        if (i > first) AddChain(moments, first, i - 1, &findings);
        first = i;
    }
    return findings;
}
