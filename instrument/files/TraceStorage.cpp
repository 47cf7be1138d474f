#include "instrument/files/TraceStorage.h"

#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TraceData.h"
#include "instrument/state/AppState.h"

#include "platform/DebugOut.h"
#include "platform/DevicePath.h"
#include "platform/Files.h"
#include "platform/Time.h"

#include "shared/tracefile/RangeGeometry.h"
#include "shared/tracefile/TraceFile.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr const char* kFlashFolder = "\\NandFlash";
constexpr const char* kUsbFolder = "\\OTDRDATA";
constexpr const char* kPattern = "\\*.st";

template <typename Error> int Fail(Error reason, Error* error) {
    if (error)
        *error = reason;
    return 0;
}

std::string SizeText(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%d KB", static_cast<int>(bytes / 1000));
    return text;
}

std::string DateText(const platform::LocalTime& time) {
    char text[48];
    std::snprintf(text, sizeof text, "%ld-%d-%d", static_cast<long>(time.year), time.month, time.day);
    return text;
}

} // namespace

int OtherLocation(int location) {
    return location == kInternalFlash ? kUsbDisk : kInternalFlash;
}

std::string TraceFolder(int location) {
    return location == kInternalFlash ? kFlashFolder : UDiskRoot + kUsbFolder;
}

std::string TraceFilePath(int location, const std::string& fileName) {
    return TraceFolder(location) + "\\" + fileName;
}

const char* Describe(UsbDiskError error) {
    switch (error) {
    case UsbDiskError::None:
        return "no error";
    case UsbDiskError::NoDisk:
        return "no USB disk";
    case UsbDiskError::NoFolder:
        return "the OTDRDATA folder cannot be created";
    }
    return "unknown error";
}

int CheckUsbDisk(UsbDiskError* error) {
    if (error)
        *error = UsbDiskError::None;
    if (!platform::IsDirectory(UDiskRoot))
        return Fail(UsbDiskError::NoDisk, error);
    const std::string folder = TraceFolder(kUsbDisk);
    if (!platform::IsDirectory(folder) && !platform::CreateDirectory(folder))
        return Fail(UsbDiskError::NoFolder, error);
    return 1;
}

std::vector<TraceFileRow> ListTraceFiles(int location) {
    std::vector<TraceFileRow> rows;
    for (const platform::FindData& file : platform::FindFiles(TraceFolder(location) + kPattern)) {
        if (file.isDirectory)
            continue;
        rows.push_back({file.name, SizeText(file.size), "ST", DateText(file.lastWrite),
                        TraceFilePath(location, file.name)});
    }
    return rows;
}

bool NameTaken(int location, const std::string& fileName) {
    for (const platform::FindData& file : platform::FindFiles(TraceFolder(location) + kPattern))
        if (platform::SameFileName(file.name, fileName))
            return true;
    return false;
}

const char* Describe(SaveError error) {
    switch (error) {
    case SaveError::None:
        return "no error";
    case SaveError::NoUsbDisk:
        return "no USB disk";
    case SaveError::NoFolder:
        return "the OTDRDATA folder cannot be created";
    case SaveError::NoTrace:
        return "no trace to save";
    case SaveError::NotItsRange:
        return "the trace was measured at another range than the settings hold";
    case SaveError::WriteFailed:
        return "the file cannot be written";
    }
    return "unknown error";
}

int WriteTrace(const std::string& name, int location, SaveError* error) {
    if (error)
        *error = SaveError::None;
    const uint32_t start = platform::GetTickCount();
    const tracefile::ParameterBlock block = ToParameterBlock(TestParam, TestWay);
    UsbDiskError usb = UsbDiskError::None;
    if (location != kInternalFlash && !CheckUsbDisk(&usb))
        return Fail(usb == UsbDiskError::NoDisk ? SaveError::NoUsbDisk : SaveError::NoFolder, error);
    const TraceData::Samples samples = CurrentTrace().Snapshot();
    if (samples->empty())
        return Fail(SaveError::NoTrace, error);
    // Settings changed since the test may give a range of another point count: no reader would take
    // such a file.
    if (tracefile::PointsForRange(tracefile::BlockRangeKm(block, tracefile::ReaderVariant::Instrument)) !=
        samples->size())
        return Fail(SaveError::NotItsRange, error);
    const std::vector<uint8_t> bytes = tracefile::EncodeTraceFile(*samples, block);
    if (bytes.empty() || !platform::WriteWholeFile(TraceFilePath(location, name + ".st"), bytes))
        return Fail(SaveError::WriteFailed, error);
    platform::DebugOut("time = %d \r\n", static_cast<int>(platform::GetTickCount() - start));
    return 1;
}

int CopyTraceFile(int from, const std::string& fileName) {
    return platform::CopyFile(TraceFilePath(from, fileName), TraceFilePath(OtherLocation(from), fileName),
                              false)
               ? 1
               : 0;
}

DeleteCount DeleteTraceFiles(int location) {
    DeleteCount count;
    for (const TraceFileRow& row : ListTraceFiles(location))
        ++(platform::DeleteFile(row.path) ? count.deleted : count.failed);
    return count;
}
