#include "tests/simboard/AveragingRun.h"

#include "instrument/acquisition/DriverCalls.h"

TestParameterTable AveragingRun::Parameters(const Acquisition& acquisition) {
    TestParameterTable params;
    params.items[kRangeItem].value = static_cast<float>(acquisition.rangeKm);
    params.items[kWavelengthItem].value = static_cast<float>(acquisition.wavelength);
    params.items[kPulseWidthItem].value = acquisition.pulseNs;
    params.items[kAttenuationItem].value = acquisition.attenuationDb;
    return params;
}

AveragingRun::AveragingRun(const Acquisition& acquisition)
    : params_(Parameters(acquisition)), way_{kAveragingTest, acquisition.avgTime},
      otr_(platform::OpenDevice("OTR1:")),
      engine_(otr_, params_, way_, EngineContext{ring_, stop_, acquisition.invalidMetres, 0}) {
    // The engine's waits are the real board's; the simulated one needs none.
    platform::SetTimeSource(time_);
    if (acquisition.sectionOn)
        driver::MeasuringSectionOn();
}

AveragingRun::~AveragingRun() {
    if (IsOpen())
        platform::CloseDevice(otr_);
    platform::SetTimeSource(nullptr);
}
