#include "codeplug/data_file.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "patterned_image.h"
#include "temp_dir.h"

namespace pl3 {
namespace {

std::vector<std::uint8_t> fileBytes(std::size_t size, std::uint8_t fill = 0x5A) {
    std::vector<std::uint8_t> bytes(size, fill);
    std::copy(data_file::kMagic.begin(), data_file::kMagic.end(), bytes.begin());
    return bytes;
}

struct Loaded {
    data_file::ReadResult result;
    Header header;
    Image image;
};

Loaded load(const std::string& path) {
    Loaded loaded{{}, {}, {}};
    loaded.header.fill(0xEE);
    loaded.image.fill(0xFF);
    loaded.result = data_file::read(path, loaded.header, loaded.image);
    return loaded;
}

TEST(DataFile, WriteThenReadIsByteExact) {
    test::TempDir dir;
    Header header{};
    data_file::writeMagic(header);
    header[44] = 1, header[45] = 2, header[46] = 3, header[47] = 4;
    Image image = test::patternedImage(7, 0);
    ASSERT_TRUE(data_file::write(dir.file("a.PL-3"), header, image));

    std::vector<std::uint8_t> bytes = test::readBytes(dir.file("a.PL-3"));
    ASSERT_EQ(bytes.size(), 4144u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 44), std::string(data_file::kMagic));
    Loaded loaded = load(dir.file("a.PL-3"));
    EXPECT_EQ(loaded.result.status, data_file::ReadStatus::Complete);
    EXPECT_EQ(loaded.header, header);
    EXPECT_EQ(loaded.image, image);
}

TEST(DataFile, WhatEachFileShapeLoads) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        data_file::ReadStatus status;
        std::size_t imageBytesLoaded;
    } cases[] = {
        {"complete", fileBytes(4144), data_file::ReadStatus::Complete, 4096},
        {"longer", fileBytes(5000), data_file::ReadStatus::Complete, 4096},
        {"half", fileBytes(48 + 2048), data_file::ReadStatus::Incomplete, 2048},
        {"header only", fileBytes(48), data_file::ReadStatus::Incomplete, 0},
        {"magic only", fileBytes(44), data_file::ReadStatus::Incomplete, 0},
        {"empty", {}, data_file::ReadStatus::WrongMagic, 0},
        {"short magic",
         std::vector<std::uint8_t>(data_file::kMagic.begin(), data_file::kMagic.end() - 1),
         data_file::ReadStatus::WrongMagic, 0},
        {"other program", std::vector<std::uint8_t>(4144, 0x41), data_file::ReadStatus::WrongMagic,
         0},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        Loaded loaded = load(dir.writeBytes("f.PL-3", c.bytes));
        EXPECT_EQ(loaded.result.status, c.status) << c.what;
        for (std::size_t i = 0; i < kImageSize; ++i) {
            ASSERT_EQ(loaded.image[i], i < c.imageBytesLoaded ? 0x5A : 0xFF) << c.what << " @" << i;
        }
        if (c.status == data_file::ReadStatus::WrongMagic) {
            EXPECT_EQ(loaded.header[0], 0xEE) << c.what << ": header must stay untouched";
        } else {
            EXPECT_EQ(loaded.header[0], 'K') << c.what;
        }
    }
}

TEST(DataFile, FileErrorsAreToldApart) {
    test::TempDir dir;
    Loaded missing = load(dir.file("missing.PL-3"));
    EXPECT_EQ(missing.result.status, data_file::ReadStatus::FileError);
    EXPECT_EQ(missing.result.error.errorNumber, ENOENT);
    Loaded directory = load(dir.path());
    EXPECT_EQ(directory.result.status, data_file::ReadStatus::FileError);
    EXPECT_EQ(directory.result.error.errorNumber, EISDIR);
}

// A write cut short (here by a file-size limit, which even root cannot ignore) must
// leave the previous file as it was and no temporary file behind.
TEST(DataFile, FailedWriteKeepsThePreviousFile) {
    test::TempDir dir;
    std::string kept = dir.write("kept.PL-3", "previous contents");
    Header header{};
    Image image{};

    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    rlimit small = original;
    small.rlim_cur = 1000;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    platform::FileError error;
    bool written = data_file::write(kept, header, image, &error);
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(error.errorNumber, EFBIG);
    EXPECT_EQ(test::readText(kept), "previous contents");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);

    EXPECT_FALSE(data_file::write(dir.file("no/such/folder/x.PL-3"), header, image, &error));
    EXPECT_EQ(error.errorNumber, ENOENT);
    EXPECT_FALSE(data_file::write(dir.path(), header, image, &error));
    EXPECT_EQ(error.errorNumber, EISDIR);
}

}  // namespace
}  // namespace pl3
