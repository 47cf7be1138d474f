#include "shared/tracefile/TraceFile.h"
#include "shared/tracefile/ParameterBlock.h"
#include "shared/tracefile/RangeGeometry.h"

#include "tests/support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

tracefile::ParameterBlock Block16km() {
    return tracefile::ParameterBlock::FromParameters(
        {16.0f, 1550.0f, 320.0f, 5.0f, 0.0f, 1.4685f, 1.0f, 0.1f}, 7, 0);
}

std::vector<uint32_t> Samples(size_t count) {
    std::vector<uint32_t> samples(count);
    for (size_t k = 0; k < count; ++k)
        samples[k] = static_cast<uint32_t>(60000 - k);
    return samples;
}

class TraceFileTest : public ::testing::Test {
protected:
    std::filesystem::path File(const std::string& name) const { return root.Path() / name; }
    std::string Write(const std::string& name, const std::vector<uint32_t>& samples,
                      const tracefile::ParameterBlock& block) {
        EXPECT_EQ(tracefile::WriteTraceFile(File(name), samples, block), 1);
        return root.Read(name);
    }
    int Read(const std::string& name, tracefile::ReaderVariant variant,
             tracefile::TraceFileContents& contents, tracefile::TraceReadError* error = nullptr) {
        return tracefile::ReadTraceFile(File(name), variant, contents, error);
    }
    TempRoot root;
};

TEST(ParameterBlockTest, StoresValuesTimesOneHundredThousandTruncated) {
    const tracefile::ParameterBlock block = Block16km();
    const std::array<int32_t, 8> expected = {1600000, 155000000, 32000000, 500000,
                                             700000,  146850,    100000,   10000};
    EXPECT_EQ(block.Words(), expected);
    uint8_t bytes[64];
    block.Encode(bytes);
    const tracefile::ParameterBlock back = tracefile::ParameterBlock::Decode(bytes);
    EXPECT_EQ(back.Words(), expected);
    EXPECT_EQ(back.reserved, (std::array<int32_t, 7>{}));
    // 1600000 = 0x186A00, little-endian on every host.
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x6A);
    EXPECT_EQ(bytes[2], 0x18);

    // The average time is whole seconds times 100000 exactly; as a float product 5369 s would lose 32.
    for (const int seconds : {5369, 9999, 21474})
        EXPECT_EQ(tracefile::ParameterBlock::FromParameters({}, seconds, 0).m_iAvgTime, seconds * 100000);
}

TEST(ParameterBlockTest, ValidationBoundsAndTheReadersDifferences) {
    tracefile::ParameterBlock block = Block16km();
    EXPECT_TRUE(tracefile::IsValidBlock(block, tracefile::ReaderVariant::Instrument));
    const auto with = [&](auto change) {
        tracefile::ParameterBlock b = block;
        change(b);
        return std::pair{tracefile::IsValidBlock(b, tracefile::ReaderVariant::Instrument),
                         tracefile::IsValidBlock(b, tracefile::ReaderVariant::Pc)};
    };
    using Result = std::pair<bool, bool>;
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_fEventThreshold = 900; }), Result(true, true));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_fEventThreshold = 890; }), Result(false, false));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_fEventThreshold = 999900; }), Result(true, true));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_fEventThreshold = 1000000; }),
              Result(false, false));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_fRefractive = 99900; }), Result(false, true));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_fRefractive = 99800; }), Result(false, false));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_fRefractive = 200000; }), Result(true, true));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_fCableRatio = 80000; }), Result(true, true));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_fCableRatio = 100001; }), Result(false, false));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.range = 50000; }), Result(true, true));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.range = 300000; }), Result(false, false));
    // A negative word is a huge unsigned one to the PC.
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.range = -1600000; }), Result(false, false));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_iWaveLen = 131099999; }), Result(true, true));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_iWaveLen = 140000000; }), Result(false, false));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_iPulseWidth = 2048099999; }), Result(true, true));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_iPulseWidth = -100000; }), Result(false, false));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_iAttenuation = 10100000; }), Result(false, false));
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_iAvgTime = -99999; }),
              Result(true, true)); // truncates to 0
    EXPECT_EQ(with([](tracefile::ParameterBlock& b) { b.m_iAvgTime = -100000; }), Result(false, false));
}

TEST_F(TraceFileTest, SixteenKilometreFileLayout) {
    const std::string bytes = Write("a.st", Samples(16384), Block16km());
    ASSERT_EQ(bytes.size(), 65600u);
    EXPECT_EQ(static_cast<uint8_t>(bytes[65537]), 0x6A);
    EXPECT_EQ(static_cast<uint8_t>(bytes[65538]), 0x18);
    EXPECT_EQ(bytes.substr(65600 - 28), std::string(28, '\0'));
    for (const tracefile::ReaderVariant variant :
         {tracefile::ReaderVariant::Instrument, tracefile::ReaderVariant::Pc}) {
        tracefile::TraceFileContents contents;
        ASSERT_EQ(Read("a.st", variant, contents), 0);
        EXPECT_EQ(contents.samples, Samples(16384));
        EXPECT_EQ(contents.block.Words(), Block16km().Words());
    }
    EXPECT_FLOAT_EQ(tracefile::NominalSpacing(16.0f), 1.0f);
    EXPECT_EQ(tracefile::PointsForRange(2.0f), 4096u);
    EXPECT_EQ(tracefile::PointsForRange(3.0f), 0u);
}

TEST_F(TraceFileTest, ExtensionIgnoresCaseAndSorLoadsNothing) {
    Write("UPPER.ST", Samples(16384), Block16km());
    tracefile::TraceFileContents contents;
    EXPECT_EQ(Read("UPPER.ST", tracefile::ReaderVariant::Instrument, contents), 0);
    root.Write("trace.SOR", "anything at all");
    contents.samples = {1, 2, 3};
    EXPECT_EQ(Read("trace.SOR", tracefile::ReaderVariant::Pc, contents), 0);
    EXPECT_TRUE(contents.samples.empty());
    root.Write("trace.txt", root.Read("UPPER.ST"));
    root.Write("noextension", root.Read("UPPER.ST"));
    tracefile::TraceReadError error;
    EXPECT_EQ(Read("trace.txt", tracefile::ReaderVariant::Pc, contents, &error), -1);
    EXPECT_EQ(error, tracefile::TraceReadError::UnknownKind);
    EXPECT_EQ(Read("noextension", tracefile::ReaderVariant::Pc, contents, &error), -1);
    EXPECT_EQ(Read("missing.st", tracefile::ReaderVariant::Pc, contents, &error), -1);
    EXPECT_EQ(error, tracefile::TraceReadError::CannotOpen);
    EXPECT_EQ(tracefile::ReadTraceFile("", tracefile::ReaderVariant::Pc, contents, &error), -1);
    EXPECT_EQ(error, tracefile::TraceReadError::EmptyPath);
}

TEST_F(TraceFileTest, BadFilesFailAndNeverReplaceWhatIsHeld) {
    const std::string good = Write("good.st", Samples(16384), Block16km());
    tracefile::TraceFileContents held;
    ASSERT_EQ(Read("good.st", tracefile::ReaderVariant::Instrument, held), 0);
    const auto expectFails = [&](const std::string& bytes, tracefile::TraceReadError expected) {
        root.Write("bad.st", bytes);
        for (const tracefile::ReaderVariant variant :
             {tracefile::ReaderVariant::Instrument, tracefile::ReaderVariant::Pc}) {
            tracefile::TraceFileContents contents = held;
            tracefile::TraceReadError error;
            EXPECT_EQ(Read("bad.st", variant, contents, &error), -1);
            EXPECT_EQ(error, expected);
            EXPECT_EQ(contents.samples, held.samples);
        }
    };
    expectFails("", tracefile::TraceReadError::TooShort);
    expectFails(good.substr(good.size() - 64), tracefile::TraceReadError::TooShort);
    expectFails(good.substr(good.size() - 65), tracefile::TraceReadError::BadLength);
    // Samples must come in whole blocks of 512 (2048 bytes).
    expectFails(good.substr(0, 4) + good, tracefile::TraceReadError::BadLength);
    expectFails(good.substr(0, 2048) + good, tracefile::TraceReadError::WrongCount);

    // A 2 km block over 8192 samples.
    tracefile::ParameterBlock twoKm = Block16km();
    twoKm.range = 200000;
    Write("bad.st", Samples(8192), twoKm);
    tracefile::TraceFileContents contents = held;
    EXPECT_EQ(Read("bad.st", tracefile::ReaderVariant::Pc, contents), -1);
    EXPECT_EQ(contents.samples, held.samples);
    Write("bad.st", Samples(4096), twoKm);
    EXPECT_EQ(Read("bad.st", tracefile::ReaderVariant::Pc, contents), 0);
    EXPECT_EQ(contents.samples.size(), 4096u);

    tracefile::ParameterBlock badBlock = Block16km();
    badBlock.m_iWaveLen = 0;
    Write("bad.st", Samples(16384), badBlock);
    tracefile::TraceReadError error;
    EXPECT_EQ(Read("bad.st", tracefile::ReaderVariant::Instrument, contents, &error), -1);
    EXPECT_EQ(error, tracefile::TraceReadError::BadBlock);
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The decoder and the reader must never disagree on a file, whatever path the reader takes to its bytes.
TEST_F(TraceFileTest, DecoderOnBytesFailsAsTheReaderDoesAndHandsNothingOver) {
    const std::vector<uint8_t> good = tracefile::EncodeTraceFile(Samples(16384), Block16km());
    ASSERT_EQ(good.size(), 65600u);
    tracefile::TraceFileContents held;
    ASSERT_EQ(tracefile::DecodeTraceFile(good, tracefile::ReaderVariant::Instrument, held), 0);
    ASSERT_EQ(held.samples, Samples(16384));
    const auto expectFails = [&](const std::vector<uint8_t>& bytes, tracefile::TraceReadError expected,
                                 tracefile::ReaderVariant variant) {
        SCOPED_TRACE(testing::Message() << bytes.size() << " bytes, variant " << static_cast<int>(variant));
        tracefile::TraceFileContents contents = held;
        tracefile::TraceReadError error = tracefile::TraceReadError::None;
        EXPECT_EQ(tracefile::DecodeTraceFile(bytes, variant, contents, &error), -1);
        EXPECT_EQ(error, expected);
        EXPECT_EQ(contents.samples, held.samples);
        EXPECT_EQ(contents.block, held.block);
        EXPECT_EQ(tracefile::DecodeTraceFile(bytes, variant, contents), -1);
        root.Write("bad.st", Text(bytes));
        error = tracefile::TraceReadError::None;
        EXPECT_EQ(Read("bad.st", variant, contents, &error), -1);
        EXPECT_EQ(error, expected);
        EXPECT_EQ(contents.samples, held.samples);
    };
    const auto expectFailsBoth = [&](const std::vector<uint8_t>& bytes, tracefile::TraceReadError expected) {
        for (const tracefile::ReaderVariant variant :
             {tracefile::ReaderVariant::Instrument, tracefile::ReaderVariant::Pc})
            expectFails(bytes, expected, variant);
    };
    const std::span<const uint8_t> all(good);
    const auto join = [](std::span<const uint8_t> a, std::span<const uint8_t> b) {
        std::vector<uint8_t> joined(a.begin(), a.end());
        joined.insert(joined.end(), b.begin(), b.end());
        return joined;
    };

    // Truncated, down to nothing.
    expectFailsBoth({}, tracefile::TraceReadError::TooShort);
    expectFailsBoth(Bytes(std::string(1, '\0')), tracefile::TraceReadError::TooShort);
    expectFailsBoth(join({}, all.last(64)), tracefile::TraceReadError::TooShort);
    expectFailsBoth(join({}, all.last(65)), tracefile::TraceReadError::BadLength);
    expectFailsBoth(join({}, all.last(65600 - 4)), tracefile::TraceReadError::BadLength);
    expectFailsBoth(join({}, all.last(65600 - 2048)), tracefile::TraceReadError::WrongCount);
    // A block that is wrong is said before a length that is.
    expectFailsBoth(join({}, all.first(100)), tracefile::TraceReadError::BadBlock);

    // Longer than any trace: the reader then reads only the block, yet gives the decoder's reason.
    const std::vector<uint8_t> filler(4 * 65536, 0x5A);
    expectFailsBoth(join(filler, all), tracefile::TraceReadError::WrongCount);
    expectFailsBoth(join(join(filler, all.first(4)), all), tracefile::TraceReadError::BadLength);
    expectFailsBoth(join(filler, all.first(65536)), tracefile::TraceReadError::BadBlock);
    // One quantum over the largest trace is the first length the reader no longer reads whole.
    expectFailsBoth(join(all.first(2048), all), tracefile::TraceReadError::WrongCount);

    // Wrong count for the range: a 2 km block over 16 km worth of samples, and the other way round.
    tracefile::ParameterBlock twoKm = Block16km();
    twoKm.range = 200000;
    expectFailsBoth(tracefile::EncodeTraceFile(Samples(16384), twoKm), tracefile::TraceReadError::WrongCount);
    expectFailsBoth(tracefile::EncodeTraceFile(Samples(4096), Block16km()),
                    tracefile::TraceReadError::WrongCount);

    // Bad blocks, including those only one program refuses.
    tracefile::ParameterBlock noWavelength = Block16km();
    noWavelength.m_iWaveLen = 0;
    expectFailsBoth(tracefile::EncodeTraceFile(Samples(16384), noWavelength),
                    tracefile::TraceReadError::BadBlock);
    tracefile::ParameterBlock negativeRange = Block16km();
    negativeRange.range = -1600000;
    expectFailsBoth(tracefile::EncodeTraceFile(Samples(16384), negativeRange),
                    tracefile::TraceReadError::BadBlock);
    tracefile::ParameterBlock lowIndex = Block16km();
    lowIndex.m_fRefractive = 99900;
    const std::vector<uint8_t> pcOnly = tracefile::EncodeTraceFile(Samples(16384), lowIndex);
    expectFails(pcOnly, tracefile::TraceReadError::BadBlock, tracefile::ReaderVariant::Instrument);
    tracefile::TraceFileContents contents;
    tracefile::TraceReadError error = tracefile::TraceReadError::BadBlock;
    EXPECT_EQ(tracefile::DecodeTraceFile(pcOnly, tracefile::ReaderVariant::Pc, contents, &error), 0);
    EXPECT_EQ(error, tracefile::TraceReadError::None);
    EXPECT_EQ(contents.block, lowIndex);
    EXPECT_EQ(contents.samples, Samples(16384));
}

// What the writer stores is the encoder's bytes, and those bytes give back exactly what was encoded.
TEST_F(TraceFileTest, EncoderRoundTripsEveryRangeAndIsWhatTheWriterStores) {
    for (const float km : {0.5f, 1.0f, 2.0f, 4.0f, 8.0f, 16.0f, 32.0f, 64.0f, 128.0f}) {
        SCOPED_TRACE(km);
        tracefile::ParameterBlock block = tracefile::ParameterBlock::FromParameters(
            {km, 1310.0f, 10.0f, 0.0f, 0.0f, 2.0f, 0.8f, 9.999f}, 3, 1);
        // Words no check looks at must come back too.
        for (size_t i = 0; i < block.reserved.size(); ++i)
            block.reserved[i] = static_cast<int32_t>(0x80000000u >> i) - static_cast<int32_t>(i);
        std::vector<uint32_t> samples(tracefile::PointsForRange(km));
        ASSERT_FALSE(samples.empty());
        for (size_t k = 0; k < samples.size(); ++k)
            samples[k] = static_cast<uint32_t>(k * 2654435761u);
        samples.front() = 0;
        samples.back() = 0xFFFFFFFFu;

        const std::vector<uint8_t> bytes = tracefile::EncodeTraceFile(samples, block);
        ASSERT_EQ(bytes.size(), samples.size() * 4 + 64);
        EXPECT_EQ(Write("round.st", samples, block), Text(bytes));
        for (const tracefile::ReaderVariant variant :
             {tracefile::ReaderVariant::Instrument, tracefile::ReaderVariant::Pc}) {
            tracefile::TraceFileContents contents;
            ASSERT_EQ(tracefile::DecodeTraceFile(bytes, variant, contents), 0);
            EXPECT_EQ(contents.samples, samples);
            EXPECT_EQ(contents.block, block);
            EXPECT_EQ(tracefile::EncodeTraceFile(contents.samples, contents.block), bytes);
        }
    }

    // Little-endian on every host: a sample, then the block right after the last one.
    const std::vector<uint8_t> one =
        tracefile::EncodeTraceFile(std::vector<uint32_t>{0x01020304u}, Block16km());
    ASSERT_EQ(one.size(), 68u);
    EXPECT_EQ(std::vector<uint8_t>(one.begin(), one.begin() + 4), (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(tracefile::ParameterBlock::Decode(std::span<const uint8_t, 64>(one.data() + 4, 64)),
              Block16km());
    // No samples is the block alone, which no program takes for a trace.
    const std::vector<uint8_t> none = tracefile::EncodeTraceFile({}, Block16km());
    ASSERT_EQ(none.size(), 64u);
    tracefile::TraceFileContents contents;
    tracefile::TraceReadError error;
    EXPECT_EQ(tracefile::DecodeTraceFile(none, tracefile::ReaderVariant::Pc, contents, &error), -1);
    EXPECT_EQ(error, tracefile::TraceReadError::TooShort);
}

TEST_F(TraceFileTest, WritingNothingCreatesNoFileAndAFailedWriteKeepsTheOld) {
    EXPECT_EQ(tracefile::WriteTraceFile(File("empty.st"), {}, Block16km()), 0);
    EXPECT_FALSE(std::filesystem::exists(File("empty.st")));
    const std::string old = Write("keep.st", Samples(16384), Block16km());
    EXPECT_EQ(tracefile::WriteTraceFile(root.Path() / "no" / "folder.st", Samples(16384), Block16km()), 0);
    EXPECT_EQ(root.Read("keep.st"), old);
}

} // namespace
