#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cstdlib>

#include "platform/file.h"
#include "platform/paths.h"
#include "tests/support/test_data.h"

namespace corvane::platform {
namespace {

TEST(Paths, DataFolderIsCreatedUnderXdgDataHome) {
    test::TempDir dir;
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", (dir.Path() + "/xdg").c_str(), 1);
    const std::string folder = DataFolder();
    EXPECT_EQ(folder, dir.Path() + "/xdg/Halvex");
    struct stat st {};
    EXPECT_EQ(stat(folder.c_str(), &st), 0);
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(OutputFile, CreatesMissingFoldersAndRefusesOverlongPaths) {
    test::TempDir dir;
    OutputFile f;
    ASSERT_TRUE(f.Open(dir.File("a/b/c/out.txt"), FileMode::WriteText));
    EXPECT_TRUE(f.Write("line\n"));
    f.Close();
    std::string content;
    ASSERT_TRUE(ReadWholeFile(dir.File("a/b/c/out.txt"), &content));
    EXPECT_EQ(content, "line\n");

    const std::string tooLong = dir.Path() + "/" + std::string(MaxPathLength(), 'x');
    EXPECT_FALSE(f.Open(tooLong, FileMode::WriteBinary));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_FALSE(f.Write("x"));
}

TEST(OutputFile, AtomicWriteReplacesWholeFileWithMode) {
    test::TempDir dir;
    const std::string path = dir.File("sel.ini");
    ASSERT_TRUE(WriteFileAtomically(path, "first", 5, 0600));
    ASSERT_TRUE(WriteFileAtomically(path, "2nd", 3, 0600));
    std::string content;
    ASSERT_TRUE(ReadWholeFile(path, &content));
    EXPECT_EQ(content, "2nd");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(WriteFileAtomically(dir.File("missing/x"), "x", 1));
}

}  // namespace
}  // namespace corvane::platform
