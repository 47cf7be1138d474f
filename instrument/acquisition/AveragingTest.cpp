#include "instrument/acquisition/AveragingTest.h"

void AveragingTest::Run(int) {
    Acquire();
    PostProcess(Rounds(), context_.versionNumber, true);
}
