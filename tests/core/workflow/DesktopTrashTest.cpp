// The desktop trash: what goes in can be found and put back by a file manager, a second file of the
// same name keeps the first, and a file on another file system goes to that file system's trash.

#include "core/workflow/CDesktopTrash.h"

#include "support/ReliabilitySupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <regex>

#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
std::string InfoOf(const std::string& trash, const std::string& name)
{
    return ReadBytes(fs::path(trash) / "info" / (name + ".trashinfo"));
}

TEST(DesktopTrash, KeepsEveryFileWithWhereItCameFrom)
{
    ScratchFolder scratch;
    const std::string trash = scratch / "home-trash";
    fs::create_directories(scratch / "docs/закон 1");
    const std::string first = scratch / "docs/закон 1/a b.rla";
    const std::string second = scratch / "docs/a b.rla";
    WriteBytes(first, "first");
    WriteBytes(second, "second");

    CDesktopTrash desktop(trash);
    ASSERT_TRUE(desktop.MoveToTrash(first));
    EXPECT_EQ(desktop.TrashedAs(), trash + "/files/a b.rla");
    ASSERT_TRUE(desktop.MoveToTrash(second));
    EXPECT_EQ(desktop.TrashedAs(), trash + "/files/a b.rla.2");
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
    EXPECT_EQ(ReadBytes(trash + "/files/a b.rla"), "first");
    EXPECT_EQ(ReadBytes(trash + "/files/a b.rla.2"), "second");

    // The path is a URL path (bytes outside the plain ones escaped), the date local time.
    const std::regex info(
        "\\[Trash Info\\]\nPath=(.*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    std::smatch found;
    const std::string firstInfo = InfoOf(trash, "a b.rla");
    ASSERT_TRUE(std::regex_match(firstInfo, found, info)) << firstInfo;
    EXPECT_EQ(found[1].str(), scratch.path().string() + "/docs/%D0%B7%D0%B0%D0%BA%D0%BE%D0%BD%201/a%20b.rla");
    const std::string secondInfo = InfoOf(trash, "a b.rla.2");
    ASSERT_TRUE(std::regex_match(secondInfo, found, info)) << secondInfo;
    EXPECT_EQ(found[1].str(), scratch.path().string() + "/docs/a%20b.rla");

    // A file that has a name in the trash without its info file is never replaced: the next name is
    // taken, and the info file made for the name in the way goes again.
    WriteBytes(trash + "/files/c.rla", "left by someone");
    WriteBytes(scratch / "c.rla", "third");
    ASSERT_TRUE(desktop.MoveToTrash(scratch / "c.rla"));
    EXPECT_EQ(desktop.TrashedAs(), trash + "/files/c.rla.2");
    EXPECT_EQ(ReadBytes(trash + "/files/c.rla"), "left by someone");
    EXPECT_FALSE(fs::exists(trash + "/info/c.rla.trashinfo"));
    EXPECT_TRUE(fs::exists(trash + "/info/c.rla.2.trashinfo"));

    // Nothing to trash, or no way to make the trash: false, and nothing moves.
    EXPECT_FALSE(desktop.MoveToTrash(scratch / "missing.rla"));
    WriteBytes(scratch / "blocked", "a file where the trash should be");
    const std::string kept = scratch / "kept.rla";
    WriteBytes(kept, "kept");
    CDesktopTrash blocked(scratch / "blocked");
    EXPECT_FALSE(blocked.MoveToTrash(kept));
    EXPECT_EQ(ReadBytes(kept), "kept");
}

TEST(DesktopTrash, AFileOnAnotherFileSystemGoesToThatFileSystemsTrash)
{
    SmallFileSystem other(1 << 20);
    if (!other.Mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    ScratchFolder home;
    fs::create_directories(other / "in");
    const std::string file = other / "in/doc.rla";
    WriteBytes(file, "document");

    CDesktopTrash desktop(home / "Trash");
    ASSERT_TRUE(desktop.MoveToTrash(file));
    const std::string trash = other / (".Trash-" + std::to_string(::geteuid()));
    EXPECT_EQ(desktop.TrashedAs(), trash + "/files/doc.rla");
    EXPECT_EQ(ReadBytes(trash + "/files/doc.rla"), "document");
    EXPECT_NE(InfoOf(trash, "doc.rla").find("\nPath=in/doc.rla\n"), std::string::npos)
        << InfoOf(trash, "doc.rla");
    EXPECT_FALSE(fs::exists(home / "Trash/files"));
}
} // namespace
