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

// The spans, which are in time order, with those that lie close together merged.
std::vector<SSpan> MergeCloseMoments(const std::vector<SSpan>& spans) {
    std::vector<SSpan> moments;
    for (const SSpan& span : spans) {
        if (!moments.empty() && span.start - moments.back().end < kSameMomentSeconds)
            moments.back().end = std::max(moments.back().end, span.end);
        else
            moments.push_back(span);
    }
    return moments;
}

// Where black and silence overlap. Both lists are in time order and their stretches do not
// overlap, so one pass finds every overlap.
std::vector<SSpan> Coincidences(const std::vector<SSpan>& black, const std::vector<SSpan>& quiet) {
    std::vector<SSpan> overlaps;
    std::size_t b = 0, q = 0;
    while (b < black.size() && q < quiet.size()) {
        const SSpan overlap{std::max(black[b].start, quiet[q].start),
                            std::min(black[b].end, quiet[q].end)};
        if (black[b].end < quiet[q].end)
            ++b;
        else
            ++q;
        if (overlap.end >= overlap.start) overlaps.push_back(overlap);
    }
    return MergeCloseMoments(overlaps);
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

std::vector<SSpan> MomentsWithin(const SSpan& found, const std::vector<SSpan>& moments) {
    std::vector<SSpan> within;
    for (const SSpan& moment : MergeCloseMoments(moments)) {
        if (moment.end >= found.start - kSameMomentSeconds &&
            moment.start <= found.end + kSameMomentSeconds)
            within.push_back(moment);
    }
    return within;
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

STrimmedBreak TrimLoneFades(const SSpan& found, const std::vector<SSpan>& moments) {
    const std::vector<SSpan> within = MomentsWithin(found, moments);
    // Each entry: a moment that lies a spot length after the one before it.
    std::vector<std::size_t> spotEnds;
    for (std::size_t i = 1; i < within.size(); ++i)
        if (IsSpotLength(Middle(within[i]) - Middle(within[i - 1]))) spotEnds.push_back(i);
    if (spotEnds.empty()) return {found, {}};
    const std::size_t first = spotEnds.front() - 1, last = spotEnds.back();
    STrimmedBreak trimmed{found, {}};
    if (first > 0) trimmed.span.start = Middle(within[first]);
    if (last + 1 < within.size()) trimmed.span.end = Middle(within[last]);
    trimmed.loneFades.assign(within.begin(), within.begin() + first);
    trimmed.loneFades.insert(trimmed.loneFades.end(), within.begin() + last + 1, within.end());
    return trimmed;
}
