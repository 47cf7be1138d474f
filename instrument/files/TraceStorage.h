#pragma once
#include <string>
#include <vector>

// The two places the instrument keeps trace files: "\NandFlash" and the folder "\OTDRDATA" on the USB
// disk, whose root is UDiskRoot.
enum TraceLocation { kUsbDisk = 0, kInternalFlash = 1 };

// The other place: where a copy from `location` goes.
int OtherLocation(int location);
// The folder of a place, without a trailing separator.
std::string TraceFolder(int location);
// A file of a place by its name with extension.
std::string TraceFilePath(int location, const std::string& fileName);

enum class UsbDiskError { None, NoDisk, NoFolder };
const char* Describe(UsbDiskError error);

// The USB disk ready for trace files: 1 when its root is there and "\OTDRDATA" exists or was created,
// 0 with the reason otherwise.
int CheckUsbDisk(UsbDiskError* error = nullptr);

// One trace file as the file lists show it.
struct TraceFileRow {
    std::string name; // with its extension
    std::string size; // "65 KB": bytes / 1000
    std::string type; // "ST"
    std::string date; // "2025-3-2": the last write
    std::string path; // the instrument path
};

// The ".st" files of a place, by name; folders of such a name are left out, as nothing can open them.
std::vector<TraceFileRow> ListTraceFiles(int location);

// Whether a file of that name (with extension) is in the place, letter case ignored as the file system
// ignores it.
bool NameTaken(int location, const std::string& fileName);

enum class SaveError { None, NoUsbDisk, NoFolder, NoTrace, NotItsRange, WriteFailed };
const char* Describe(SaveError error);

// Writes the current trace with the current test parameters as "<name>.st" into a place: 1 when the file
// was written, 0 with the reason otherwise. A failed write leaves no partial file and an older file of
// that name whole.
int WriteTrace(const std::string& name, int location, SaveError* error = nullptr);

// Copies a file (name with extension) from a place to the other, replacing a file of that name there:
// 1, or 0 with the destination as it was.
int CopyTraceFile(int from, const std::string& fileName);

struct DeleteCount {
    int deleted = 0;
    int failed = 0;
};
// Deletes every ".st" file of a place.
DeleteCount DeleteTraceFiles(int location);
