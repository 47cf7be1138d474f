#include "shared/fileio/HostFiles.h"

#include "tests/support/FifoTrap.h"
#include "tests/support/TempRoot.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::span<const uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::string Content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Put(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t Mode(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
    return info.st_mode & 07777;
}

bool IsLink(const fs::path& path) {
    return fs::is_symlink(fs::symlink_status(path));
}

// Sets an entry's time of last write back, a link's own too.
void MakeOld(const fs::path& path, std::chrono::seconds age) {
    const struct timespec then { ::time(nullptr) - static_cast<time_t>(age.count()), 0 };
    const struct timespec times[2] = {then, then};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

TEST(ReplaceFileTest, NeverWritesThroughALinkPlantedAtATemporaryName) {
    TempRoot root;
    const fs::path folder = root.Path() / "NandFlash";
    const fs::path victim = root.Path() / "elsewhere" / "victim.ini";
    Put(folder / "config.ini", "old");
    Put(victim, "untouched");
    // The names writers have used or might use beside a target, as live and as dangling links.
    const std::vector<std::string> planted = {".config.ini.part", ".config.ini.XXXXXX", ".lumetra-XXXXXX",
                                              ".config.ini.tmp",  "config.ini.part",    "config.ini~"};
    for (const std::string& name : planted)
        fs::create_symlink(victim, folder / name);
    fs::create_symlink(root.Path() / "elsewhere" / "new.ini", folder / ".config.ini.new");
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(fileio::ReplaceFile(folder / "config.ini", Bytes("write " + std::to_string(i))));
    EXPECT_EQ(Content(folder / "config.ini"), "write 19");
    EXPECT_EQ(Content(victim), "untouched");
    EXPECT_FALSE(fs::exists(root.Path() / "elsewhere" / "new.ini"));
    for (const std::string& name : planted)
        EXPECT_TRUE(IsLink(folder / name)) << name;
    EXPECT_EQ(Entries(folder).size(), planted.size() + 2);
}

TEST(ReplaceFileTest, RefusesWhatIsNotARegularFileAndLeavesItAsItIs) {
    TempRoot root;
    const fs::path folder = root.Path();
    ASSERT_EQ(::mkfifo((folder / "fifo.ini").c_str(), 0644), 0);
    Put(folder / "dir.ini" / "inside.txt", "kept");
    fs::create_symlink("fifo.ini", folder / "to-fifo.ini");
    // A node of our own for /dev/full where one may be made; elsewhere /dev/full itself, which a user
    // who cannot make nodes cannot replace either.
    struct stat full {};
    ASSERT_EQ(::stat("/dev/full", &full), 0);
    fs::path device = folder / "full";
    if (::mknod(device.c_str(), S_IFCHR | 0666, full.st_rdev) != 0)
        device = "/dev/full";

    for (const fs::path& target : {folder / "fifo.ini", folder / "dir.ini", folder / "to-fifo.ini", device}) {
        SCOPED_TRACE(target);
        EXPECT_FALSE(fileio::ReplaceFile(target, Bytes("new")));
    }
    struct stat info {};
    ASSERT_EQ(::lstat((folder / "fifo.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::lstat(device.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(info.st_rdev, full.st_rdev);
    EXPECT_TRUE(IsLink(folder / "to-fifo.ini"));
    EXPECT_EQ(Content(folder / "dir.ini" / "inside.txt"), "kept");
    std::vector<std::string> expected = {"dir.ini", "fifo.ini", "to-fifo.ini"};
    if (device != "/dev/full")
        expected.insert(expected.begin() + 2, "full");
    EXPECT_EQ(Entries(folder), expected) << "no temporary file left behind";
}

TEST(ReplaceFileTest, WritesNamesUpToTheFileSystemsLimit) {
    TempRoot root;
    for (const size_t length : {size_t{250}, size_t{255}}) {
        const fs::path target = root.Path() / (std::string(length - 3, 'n') + ".st");
        ASSERT_TRUE(fileio::ReplaceFile(target, Bytes("first"))) << length;
        ASSERT_TRUE(fileio::ReplaceFile(target, Bytes("second"))) << length;
        EXPECT_EQ(Content(target), "second");
    }
    EXPECT_EQ(Entries(root.Path()).size(), 2u);
}

TEST(ReplaceFileTest, AFailedWriteLeavesTheOldFileWholeAndNoTemporary) {
    TempRoot root;
    const fs::path target = root.Path() / "config.ini";
    const std::string old(1000, 'o');
    Put(target, old);
    // As on a full disk: the file system takes the first 4 kB of the temporary file and no more.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit { 4096, 4096 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(fileio::ReplaceFile(target, Bytes(std::string(65536, 'n'))) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write must fail";
    EXPECT_EQ(Content(target), old);
    EXPECT_EQ(Entries(root.Path()), std::vector<std::string>{"config.ini"});

    EXPECT_FALSE(fileio::ReplaceFile(root.Path() / "missing" / "config.ini", Bytes("new")));
    EXPECT_EQ(Entries(root.Path()), std::vector<std::string>{"config.ini"});
}

TEST(ReplaceFileTest, KeepsTheModeAndFollowsLinksThatStayLinks) {
    TempRoot root;
    const fs::path folder = root.Path() / "NandFlash";
    const fs::path elsewhere = root.Path() / "Persist";
    Put(folder / "private.ini", "old");
    fs::permissions(folder / "private.ini", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(fileio::ReplaceFile(folder / "private.ini", Bytes("new")));
    EXPECT_EQ(Mode(folder / "private.ini"), 0600u);
    ASSERT_TRUE(fileio::ReplaceFile(folder / "fresh.ini", Bytes("new")));
    EXPECT_EQ(Mode(folder / "fresh.ini"), 0644u);
    Put(folder / "tool", "old");
    ::chmod((folder / "tool").c_str(), 0640);
    ASSERT_TRUE(fileio::ReplaceFile(folder / "tool", Bytes("#!"), {.executable = true}));
    EXPECT_EQ(Mode(folder / "tool"), 0750u);

    // A relative link to an absolute one; a dangling link, whose target the write creates; a linked
    // folder on the way.
    Put(elsewhere / "real.ini", "old");
    ::chmod((elsewhere / "real.ini").c_str(), 0600);
    fs::create_symlink(elsewhere / "real.ini", folder / "hop.ini");
    fs::create_symlink("hop.ini", folder / "config.ini");
    fs::create_symlink("../Persist/later.ini", folder / "later.ini");
    fs::create_symlink("../Persist", folder / "linked");
    ASSERT_TRUE(fileio::ReplaceFile(folder / "config.ini", Bytes("through")));
    ASSERT_TRUE(fileio::ReplaceFile(folder / "later.ini", Bytes("created")));
    ASSERT_TRUE(fileio::ReplaceFile(folder / "linked" / "inner.ini", Bytes("inner")));
    for (const char* link : {"config.ini", "hop.ini", "later.ini", "linked"})
        EXPECT_TRUE(IsLink(folder / link)) << link;
    EXPECT_EQ(Content(elsewhere / "real.ini"), "through");
    EXPECT_EQ(Mode(elsewhere / "real.ini"), 0600u);
    EXPECT_EQ(Content(elsewhere / "later.ini"), "created");
    EXPECT_EQ(Content(elsewhere / "inner.ini"), "inner");

    // A link round in a circle leads to no file.
    fs::create_symlink("loop.ini", folder / "loop.ini");
    EXPECT_FALSE(fileio::ReplaceFile(folder / "loop.ini", Bytes("x")));
    EXPECT_TRUE(IsLink(folder / "loop.ini"));
}

TEST(ResolveLocationTest, FollowsLinksOnTheDiskAndStopsAtLoops) {
    TempRoot root;
    const fs::path base = fs::canonical(root.Path());
    fs::create_directories(base / "a" / "b");
    fs::create_symlink(base / "a" / "b", base / "deep");
    fs::create_symlink("deep/../../escape", base / "up");
    fs::path location;
    // ".." after a link is the parent of where it leads, as the kernel takes it.
    ASSERT_TRUE(fileio::ResolveLocation(base / "deep" / ".." / "x", location));
    EXPECT_EQ(location, base / "a" / "x");
    ASSERT_TRUE(fileio::ResolveLocation(base / "up" / "y", location));
    EXPECT_EQ(location, base / "escape" / "y") << "not where the words alone would lead";
    ASSERT_TRUE(fileio::ResolveLocation(base / "." / "missing" / ".." / "deep", location));
    EXPECT_EQ(location, base / "a" / "b");
    fs::create_symlink("two", base / "one");
    fs::create_symlink("one", base / "two");
    EXPECT_FALSE(fileio::ResolveLocation(base / "one" / "x", location));
}

TEST(ReadRegularFileTest, RefusesFifosDevicesAndFoldersWithoutOpeningThem) {
    TempRoot root;
    FifoTrap fifo(root.Path() / "config.ini");
    fs::create_symlink("config.ini", root.Path() / "link.ini");
    fs::create_directory(root.Path() / "folder.ini");
    for (const fs::path& file :
         {fifo.Path(), root.Path() / "link.ini", root.Path() / "folder.ini", fs::path("/dev/zero")}) {
        SCOPED_TRACE(file);
        std::vector<uint8_t> bytes{42};
        EXPECT_EQ(fileio::ReadRegularFile(file, bytes, 1u << 20), fileio::ReadResult::NotRegular);
        EXPECT_EQ(bytes, std::vector<uint8_t>{42});
        fileio::ReadResult why = fileio::ReadResult::Ok;
        EXPECT_EQ(fileio::OpenRegularFile(file, &why), nullptr);
        EXPECT_EQ(why, fileio::ReadResult::NotRegular);
    }
    EXPECT_EQ(fifo.Openings(), 0);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(fileio::ReadRegularFile(root.Path() / "absent.ini", bytes, 10), fileio::ReadResult::Missing);
}

TEST(ReadRegularFileTest, ReadsAWholeFileUpToTheLimitAndNoMore) {
    TempRoot root;
    std::string text;
    for (int i = 0; text.size() < 200000; ++i)
        text += std::to_string(i) + ",";
    Put(root.Path() / "big.st", text);
    std::vector<uint8_t> bytes;
    ASSERT_EQ(fileio::ReadRegularFile(root.Path() / "big.st", bytes, text.size()), fileio::ReadResult::Ok);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
    std::vector<uint8_t> kept{7};
    EXPECT_EQ(fileio::ReadRegularFile(root.Path() / "big.st", kept, text.size() - 1),
              fileio::ReadResult::TooLarge);
    EXPECT_EQ(kept, std::vector<uint8_t>{7});
}

TEST(RemoveStaleTemporariesTest, RemovesOnlyOldTemporariesOfTheWriters) {
    TempRoot root;
    const fs::path folder = root.Path();
    const auto old = std::chrono::hours(2);
    Put(folder / "config.ini", "settings");
    Put(folder / "a.st", "trace");
    fs::create_directory(folder / "traces");
    Put(folder / "outside.txt", "kept");
    const std::vector<std::string> stale = {".config.ini.Ab3dE9", ".a.st.part", ".lumetra-x1Y2z3"};
    // Young ones a writer may be busy with; look-alikes without the file they would replace, or beside
    // a folder; names mkstemp never makes; what is no regular file.
    const std::vector<std::string> young = {".lumetra-q9W8e7", ".config.ini.Zz9yY8"};
    const std::vector<std::string> alike = {".notes.txt.part", ".traces.part", ".config.ini.v1-old",
                                            ".lumetra-ab-cde", ".a.st.bak"};
    for (const std::string& name : stale) {
        Put(folder / name, "half");
        MakeOld(folder / name, old);
    }
    for (const std::string& name : young)
        Put(folder / name, "busy");
    for (const std::string& name : alike) {
        Put(folder / name, "mine");
        MakeOld(folder / name, old);
    }
    fs::create_symlink(folder / "outside.txt", folder / ".lumetra-L1nk00");
    MakeOld(folder / ".lumetra-L1nk00", old);
    fs::create_directory(folder / ".lumetra-D1r000");
    MakeOld(folder / ".lumetra-D1r000", old);
    std::vector<std::string> kept = {".lumetra-L1nk00", ".lumetra-D1r000"};
    // Another user's, where this one may give a file away.
    Put(folder / ".lumetra-0wner0", "theirs");
    if (::chown((folder / ".lumetra-0wner0").c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)) == 0) {
        MakeOld(folder / ".lumetra-0wner0", old);
        kept.push_back(".lumetra-0wner0");
    } else {
        fs::remove(folder / ".lumetra-0wner0");
    }

    EXPECT_EQ(fileio::RemoveStaleTemporaries(folder), 3);
    std::vector<std::string> expected = {"a.st", "config.ini", "outside.txt", "traces"};
    for (const std::vector<std::string>& names : {young, alike, kept})
        expected.insert(expected.end(), names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Entries(folder), expected);
    EXPECT_EQ(Content(folder / "outside.txt"), "kept");
    EXPECT_EQ(fileio::RemoveStaleTemporaries(folder / "absent"), 0);
}

} // namespace
