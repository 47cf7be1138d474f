#include "instrument/display/TraceModel.h"

#include <vector>

void TraceModel::Analyse(std::span<const uint32_t> samples, int versionNumber) {
    std::vector<uint32_t> levels(samples.begin(), samples.end());
    if (versionNumber == 1)
        for (uint32_t& level : levels)
            level = level > 9999 ? level - 10000 : 0;
    events_.AnalyseTrace(levels, static_cast<float>(block_.range * 0.00001),
                         static_cast<float>(block_.m_iWaveLen / 100000),
                         static_cast<float>(block_.m_iPulseWidth / 100000),
                         static_cast<float>(block_.m_fEventThreshold * 0.00001), block_.m_iAttenuation);
}
