#include <gtest/gtest.h>

#include <filesystem>

#include "core/maps/BinFileUtils.h"
#include "support/BinTestImages.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

using testing::MakeEZKImage;
using testing::MakeLHDeviceImage;
using testing::WriteBytes;

class BinFileTest : public ::testing::Test {
  protected:
    std::filesystem::path Write(const std::string& name, const TBinBytes& bytes) {
        const std::filesystem::path path = FFolder.Path() / name;
        WriteBytes(path, bytes);
        return path;
    }
    TTempFolder FFolder;
};

TEST_F(BinFileTest, ConstructorReadsOnlyBinNamesAnyCase) {
    const TBinBytes image = MakeLHDeviceImage();
    const std::filesystem::path upper = Write("engine.BIN", image);
    const TLHbinFile bin(upper);
    EXPECT_EQ(bin.Data(), image);
    EXPECT_EQ(bin.FileName(), upper);
    EXPECT_TRUE(bin.IsValid());

    const TLHbinFile text(Write("engine.txt", image));
    EXPECT_TRUE(text.Data().empty());
    EXPECT_TRUE(text.FileName().empty());
    EXPECT_FALSE(text.IsValid());

    const TEZKbinFile ezkText(Write("ign.bin.txt", MakeEZKImage()));
    EXPECT_FALSE(ezkText.IsValid());
}

TEST_F(BinFileTest, UnreadablePathsGiveEmptyImagesWithoutCrashing) {
    const std::filesystem::path missing = FFolder.Path() / "missing.bin";
    const std::filesystem::path folder = FFolder.Path() / "folder.bin";
    std::filesystem::create_directory(folder);
    for (const auto& path : {missing, folder}) {
        EXPECT_FALSE(TLHbinFile(path).IsValid()) << path;
        EXPECT_FALSE(TEZKbinFile(path).IsValid()) << path;
        EXPECT_FALSE(TLHbinFile::IsLHbinFile(path)) << path;
        EXPECT_FALSE(TEZKbinFile::IsEZKbinFile(path)) << path;
        EXPECT_EQ(ClassifyBinFile(path), TBinImageKind::NotBinImage) << path;
    }
}

TEST_F(BinFileTest, HugeFilesAreNotLoaded) {
    const std::filesystem::path huge = Write("huge.bin", MakeEZKImage());
    std::filesystem::resize_file(huge, MaxBinImageSize + 0x4000);  // sparse, still whole 16 KB blocks
    EXPECT_FALSE(TEZKbinFile(huge).IsValid());
    EXPECT_EQ(ClassifyBinFile(huge), TBinImageKind::NotBinImage);
}

TEST_F(BinFileTest, FileTestsAndKinds) {
    const std::filesystem::path lh = Write("lh.bin", MakeLHDeviceImage());
    const std::filesystem::path ezk = Write("ezk.bin", MakeEZKImage());
    const std::filesystem::path unsignedEzk = Write("plain.bin", MakeEZKImage(0x4000, false));
    const std::filesystem::path empty = Write("empty.bin", {});

    EXPECT_TRUE(TLHbinFile::IsLHbinFile(lh));
    EXPECT_FALSE(TLHbinFile::IsLHbinFile(ezk));
    EXPECT_TRUE(TEZKbinFile::IsEZKbinFile(ezk));
    EXPECT_FALSE(TEZKbinFile::IsEZKbinFile(unsignedEzk));
    EXPECT_TRUE(TEZKbinFile(unsignedEzk).IsValid());

    EXPECT_EQ(ClassifyBinFile(lh), TBinImageKind::LHDevice);
    EXPECT_EQ(ClassifyBinFile(ezk), TBinImageKind::EZKSignature);
    EXPECT_EQ(ClassifyBinFile(unsignedEzk), TBinImageKind::EZKSizeOnly);
    EXPECT_EQ(ClassifyBinFile(empty), TBinImageKind::NotBinImage);
}

TEST_F(BinFileTest, CurrentImageKeepsTheSameNameAndReplacesOthers) {
    TBinBytes first = MakeLHDeviceImage();
    first[0x3500] = 200;
    const std::filesystem::path path = Write("current.bin", first);
    TCurrentLHImage current;
    EXPECT_FALSE(current.RpmAxis().has_value());  // nothing opened yet

    EXPECT_FALSE(current.Open(""));
    EXPECT_FALSE(current.Open(FFolder.Path() / "none.bin"));
    EXPECT_EQ(current.Get(), nullptr);

    ASSERT_TRUE(current.Open(path));
    const TLHbinFile* opened = current.Get();
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(current.RpmAxis().has_value());

    // Changed on disk, opened again by the same name: the first image stays.
    WriteBytes(path, TBinBytes(10, 0));
    EXPECT_TRUE(current.Open(path));
    EXPECT_EQ(current.Get(), opened);
    EXPECT_EQ(current.Get()->Data(), first);

    // A missing file changes nothing.
    EXPECT_FALSE(current.Open(FFolder.Path() / "gone.bin"));
    EXPECT_EQ(current.Get(), opened);

    // A file that is no valid image never costs the user the image already open.
    const std::filesystem::path broken = Write("broken.bin", TBinBytes(0x1000, 0));
    EXPECT_FALSE(current.Open(broken));
    EXPECT_EQ(current.Get(), opened);
    EXPECT_TRUE(current.RpmAxis().has_value());

    // Another valid image replaces it.
    const std::filesystem::path other = Write("other.bin", MakeLHDeviceImage());
    EXPECT_TRUE(current.Open(other));
    ASSERT_NE(current.Get(), nullptr);
    EXPECT_EQ(current.Get()->FileName(), other);
}

// On this file system names that differ in case are different files, so the
// second one must not be answered with the first one's image.
TEST_F(BinFileTest, NameDifferingInCaseIsAnotherImageWhenItIsAnotherFile) {
    const std::filesystem::path lower = Write("ign.bin", MakeEZKImage());
    TBinBytes other = MakeEZKImage();
    other.at(0x1400) = 33;
    const std::filesystem::path upper = Write("IGN.bin", other);
    TCurrentEZKImage current;
    ASSERT_TRUE(current.Open(lower));
    if (std::filesystem::equivalent(lower, upper)) GTEST_SKIP() << "case-insensitive file system";
    EXPECT_TRUE(current.Open(upper));
    EXPECT_EQ(current.Get()->FileName(), upper);
    EXPECT_EQ(current.Get()->Data(), other);
}

TEST(SameBinImageNameTest, ExactNamesMatchEmptyNamesNever) {
    EXPECT_TRUE(SameBinImageName("/a/b.bin", "/a/b.bin"));
    EXPECT_FALSE(SameBinImageName("/a/b.bin", "/a/c.bin"));
    EXPECT_FALSE(SameBinImageName("", ""));
    EXPECT_FALSE(SameBinImageName("/nonexistent/B.bin", "/nonexistent/b.bin"));
}

}  // namespace
}  // namespace kelvane
