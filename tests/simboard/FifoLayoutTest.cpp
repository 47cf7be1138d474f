#include "simboard/Optics.h"
#include "simboard/OtdrDevice.h"
#include "simboard/SimBoard.h"

#include "tests/simboard/AveragingRun.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

namespace figures = simboard::figures;

// One FIFO read: the position the word came from and the word.
struct FifoRead {
    int64_t position;
    uint32_t word;
};

// The simulated "OTR1:", noting every FIFO read the engine makes.
class ReadLoggingOtdr : public platform::DeviceDriver {
public:
    explicit ReadLoggingOtdr(std::vector<FifoRead>& log) : log_(log) {}
    int IoControl(uint32_t code, const void* in, uint32_t inSize, void* out, uint32_t outSize) override {
        const int ok = board_.IoControl(code, in, inSize, out, outSize);
        if (ok && code == platform::OTDR_IOCTL_READ) {
            uint32_t word = 0;
            std::memcpy(&word, out, sizeof word);
            log_.push_back({simboard::SimBoard::Instance().FifoPosition(), word});
        }
        return ok;
    }

private:
    simboard::OtdrDevice board_;
    std::vector<FifoRead>& log_;
};

class FifoLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        simboard::RegisterSimulatedBoard();
        board.Reset();
    }
    // A logging driver must not outlive its log.
    void TearDown() override { simboard::RegisterSimulatedBoard(); }

    // A bare fibre shorter than the range, so the words after the trace see no light.
    void FibreOf(double km) {
        simboard::Scenario s;
        s.fibres.push_back({km, 0.35, 0.2, 1.468, 1.468});
        std::string error;
        ASSERT_TRUE(board.SetScenario(s, error)) << error;
    }

    simboard::SimBoard& board = simboard::SimBoard::Instance();
    std::vector<FifoRead> log;
};

struct Layout {
    double rangeKm;
    float invalidMetres;
};

TEST_F(FifoLayoutTest, EngineReadsEveryPhaseRecordInOrder) {
    for (const Layout layout : {Layout{0.5, 0}, Layout{1, 12.5f}, Layout{2, 0}, Layout{8, 3.3f},
                                Layout{16, 0}, Layout{16, 7.5f}, Layout{32, 0}, Layout{128, 20}}) {
        SCOPED_TRACE(testing::Message() << layout.rangeKm << " km, invalid " << layout.invalidMetres << " m");
        board.Reset();
        FibreOf(std::max(0.4, 0.8 * layout.rangeKm));
        Acquisition a;
        a.rangeKm = layout.rangeKm;
        a.pulseNs = 160.0f;
        a.avgTime = 1;
        a.invalidMetres = layout.invalidMetres;
        log.clear();
        platform::RegisterDriver("OTR1:", [this] { return std::make_unique<ReadLoggingOtdr>(log); });
        AveragingRun engine(a);
        engine.Configure();
        engine.Run();

        const int phases = engine.Phases();
        const std::vector<simboard::PhaseRecord> records = board.Records();
        ASSERT_EQ(records.size(), static_cast<size_t>(phases));
        int64_t start = 0;
        for (int i = 0; i < phases; ++i) {
            const simboard::PhaseRecord& r = records[static_cast<size_t>(i)];
            EXPECT_EQ(r.phaseValue, phases == 1 ? 96 : 100 - i * engine.PhaseStep());
            EXPECT_EQ(r.start, start) << "records follow each other in the order of their first shot";
            EXPECT_EQ(r.length, static_cast<uint32_t>(engine.ShotLength() / phases));
            EXPECT_EQ(r.shots, static_cast<uint32_t>(engine.GroupsPerCycle()));
            start += r.length;
        }

        // Trace words are the record's first bins; after the skip, the words from the phase's noise part.
        const int w = engine.InvalidWords();
        const int traceWords = w + static_cast<int>(engine.DotNum()) / phases;
        const int noiseStart = phases == 1 ? 18000 : engine.WordsPerPhase();
        const int perPhase = w + static_cast<int>(engine.DotNum() + engine.OffsetDotNum()) / phases;
        const size_t reads = static_cast<size_t>(phases) * static_cast<size_t>(perPhase);
        ASSERT_EQ(log.size(), reads);
        int misplaced = 0, unsummed = 0;
        double dark = 0.0;
        int darkWords = 0;
        // Phase by phase, each phase's reads in a row.
        for (size_t k = 0; k < log.size(); ++k) {
            const FifoRead& read = log[k];
            const int phase = static_cast<int>(k) / perPhase, index = static_cast<int>(k) % perPhase;
            const simboard::PhaseRecord& r = records[static_cast<size_t>(phase)];
            const int bin = index < traceWords ? index : noiseStart + index - traceWords;
            if (read.position != r.start + bin || read.word != board.PeekFifo(read.position)) {
                if (misplaced++ == 0)
                    ADD_FAILURE() << "phase " << phase << " read " << index << " came from position "
                                  << read.position << ", expected " << r.start + bin;
            }
            // One pass into cleared sums: each word is its time slot's sum.
            unsummed += engine.Sums()[static_cast<size_t>(phase + index * phases)] != read.word;
            if (index >= traceWords) {
                dark += static_cast<double>(read.word) / r.shots;
                ++darkWords;
            }
        }
        EXPECT_EQ(misplaced, 0);
        EXPECT_EQ(unsummed, 0) << "phase i's read j goes to the sum of point i + j x phases";
        ASSERT_GT(darkWords, 0);
        EXPECT_NEAR(dark / darkWords, figures::kAdcOffset, 0.5) << "noise words hold no light";
        EXPECT_GT(log[static_cast<size_t>(traceWords / 8)].word,
                  (figures::kAdcOffset + 10) * records[0].shots);

        EXPECT_EQ(board.FifoReads(), reads);
        EXPECT_EQ(board.Calls("OTR1:", platform::OTDR_IOCTL_READ), reads);
        const uint64_t advanced = phases == 1 ? 18000 + engine.OffsetDotNum()
                                              : static_cast<uint64_t>(engine.ShotLength() / phases) * phases;
        EXPECT_EQ(board.RegisterWrites(0x2D0), 2 + advanced) << "the flush's two and one per word consumed";
        EXPECT_EQ(board.FifoPosition(), -1) << "leaving read mode rewinds";
    }
}

TEST_F(FifoLayoutTest, ArmClearsFlushRewindsAndReadingAgainRepeats) {
    Acquisition a;
    a.rangeKm = 2.0;
    a.avgTime = 1;
    AveragingRun engine(a);
    engine.Configure();
    engine.Arm();
    engine.Flush();
    EXPECT_EQ(board.FifoPosition(), -1);
    for (int i = 0; i < 3; ++i)
        engine.ShotGroup();
    ASSERT_EQ(board.Records().size(), 16u);
    EXPECT_EQ(board.Records()[0].shots, 3u);
    engine.Read();
    const std::vector<uint32_t> first = engine.Sums();
    engine.Read();
    for (size_t k = 0; k < first.size(); k += 97)
        EXPECT_EQ(engine.Sums()[k], 2 * first[k]) << "a second pass reads the same words";

    // Arming again starts empty sums, as every real-time cycle does.
    engine.Arm();
    EXPECT_TRUE(board.Records().empty());
    EXPECT_EQ(board.FifoPosition(), 0);
    engine.ShotGroup();
    EXPECT_EQ(board.Records()[0].shots, 1u);
    EXPECT_LT(board.PeekFifo(0), first[0]);

    // Words outside the records: dark sums, the same each time a position is read.
    const int64_t past = static_cast<int64_t>(board.Records().size() * board.Records()[0].length) + 50;
    EXPECT_EQ(board.PeekFifo(past), board.PeekFifo(past));
    EXPECT_NEAR(board.PeekFifo(past), figures::kAdcOffset, 5 * figures::kNoiseCounts);
}

TEST_F(FifoLayoutTest, RegistersKeepTheirValuesAndRecordsTheirFirstLength) {
    board.WriteRegister(0x200, 0x0C);
    board.WriteRegister(0x250, 0); // armed: clears
    board.WriteRegister(0x200, 0x04);
    board.WriteRegister(0x2C0, 0x8000 - 300);
    board.WriteRegister(0x310, 70);
    board.WriteRegister(0x250, 0);
    board.WriteRegister(0x2C0, 0x8000 - 500);
    board.WriteRegister(0x250, 0);
    EXPECT_EQ(board.Register(0x2C0), 0x8000 - 500);
    ASSERT_EQ(board.Records().size(), 1u);
    EXPECT_EQ(board.Records()[0].length, 300u) << "the length of its first shot";
    EXPECT_EQ(board.Records()[0].shots, 2u);
    EXPECT_EQ(board.RegisterWrites(0x250), 3u);
    EXPECT_EQ(board.RegisterWriteCounts().at(0x2C0), 2u);
    board.WriteRegister(0x2C0, 0x9000); // more than the record memory holds
    board.WriteRegister(0x310, 71);
    board.WriteRegister(0x250, 0);
    EXPECT_EQ(board.Records()[1].length, simboard::AcquisitionBoard::kMaxRecordWords);
    EXPECT_EQ(board.Records()[1].start, 300);
}

} // namespace
