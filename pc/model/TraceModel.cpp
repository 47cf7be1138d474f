#include "pc/model/TraceModel.h"

#include <charconv>
#include <cmath>

namespace pc {

std::unique_ptr<TraceModel> TraceModel::Load(const std::string& path, tracefile::TraceReadError* error) {
    tracefile::TraceFileContents contents;
    if (tracefile::ReadTraceFile(path, tracefile::ReaderVariant::Pc, contents, error) != 0)
        return nullptr;
    return std::make_unique<TraceModel>(path, contents.block, std::move(contents.samples));
}

TraceModel::TraceModel(std::string path, const tracefile::ParameterBlock& block,
                       std::vector<uint32_t> samples)
    : path_(std::move(path)), block_(block), samples_(std::move(samples)), scale_(block_, samples_) {
    Measure();
}

double TraceModel::DbPerKm(int64_t s, int64_t e) const {
    if (e - s < 2 || s < 0 || e > static_cast<int64_t>(samples_.size()) || scale_.KmPerSample() == 0.0)
        return 0.0;
    const analysis::Line line =
        analysis::FitLine(samples_, static_cast<uint32_t>(s), static_cast<uint32_t>(e - s));
    return -(line.slope / scale_.KmPerSample() * analysis::kDbPerLevel);
}

double TraceModel::JointLoss() const {
    const int64_t a = scale_.Sample(TraceScale::a), A = scale_.Sample(TraceScale::A);
    const int64_t B = scale_.Sample(TraceScale::B), b = scale_.Sample(TraceScale::b);
    if (!(0 <= a && a < A && B < b && B >= 0 && b <= static_cast<int64_t>(samples_.size())))
        return 0.0;
    const analysis::LossWindow window{static_cast<uint32_t>(a), static_cast<uint32_t>(A),
                                      static_cast<uint32_t>(B), static_cast<uint32_t>(b)};
    return analysis::MeasureSpliceLoss(samples_, window);
}

void TraceModel::Measure() {
    const TraceScale& s = scale_;
    Measurements m;
    for (int c = 0; c < TraceScale::kCursors; ++c)
        m.positions[static_cast<size_t>(c)] = s.Position(c);
    const int64_t a = s.Sample(TraceScale::a), A = s.Sample(TraceScale::A);
    const int64_t B = s.Sample(TraceScale::B), b = s.Sample(TraceScale::b);
    m.distanceAB = static_cast<double>(B - A) * s.KmPerSample();
    if (s.Holds(A) && s.Holds(B))
        m.lossAB =
            (static_cast<double>(samples_[static_cast<size_t>(A)]) - samples_[static_cast<size_t>(B)]) *
            analysis::kDbPerLevel;
    m.dbPerKmAB = DbPerKm(A, B);
    m.dbPerKmaA = DbPerKm(a, A);
    m.dbPerKmBb = DbPerKm(B, b);
    m.jointLoss = JointLoss();
    results_ = m;
}

int64_t SampleOfDistanceText(const std::string& text, double kmPerSample) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (begin != end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    if (begin != end && *begin == '+')
        ++begin;
    double km = 0.0;
    if (std::from_chars(begin, end, km).ec != std::errc() || !(kmPerSample > 0.0) || !std::isfinite(km) ||
        km < 0.0)
        return -1;
    // The text holds the distance to 0.1 m, finer than any sample spacing, so the nearest sample is the
    // one it was written from; truncating would land one sample early whenever it was rounded down.
    return std::llround(km / kmPerSample);
}

} // namespace pc
