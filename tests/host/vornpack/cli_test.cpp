// vornpack as the build and its users run it: exit codes, messages, and the
// payload it writes read back by verify, list and extract.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "engine/session.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int exitCode;
    std::string output;   // stdout and stderr together
};

Result vornpack(const std::string &arguments)
{
    std::string command = std::string(VORNPACK_PATH) + " " + arguments + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    Result run{-1, ""};
    if (!pipe)
        return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary) << content;
}

// A product folder with ten small files and a scratch folder, removed afterwards.
class VornpackCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
               ("vornpack_cli_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        product = root / "product";
        fs::create_directories(product);
        std::mt19937 rng(5);
        for (int slot = 0; slot < SLOT_COUNT; ++slot) {
            std::string content = "[text]\r\nignore=" + std::to_string(slot) + "\r\n";
            for (int k = 0; k < 200 * (slot + 1); ++k)
                content += char('A' + rng() % 8);
            writeFile(product / SLOT_FILE_NAMES[slot], content);
        }
        payload = root / "payload.bin";
    }
    void TearDown() override { fs::remove_all(root); }

    Result build() { return vornpack("build " + product.string() + " -o " + payload.string() + " -q"); }

    std::string crcOf(const Result &run)
    {
        size_t at = run.output.find("CRC-32 0x");
        return at == std::string::npos ? "" : run.output.substr(at + 9, 8);
    }

    fs::path root, product, payload;
};

}  // namespace

TEST(VornpackUsage, ExitCodes)
{
    struct Case {
        const char *arguments;
        int exitCode;
    } cases[] = {
        {"", 2},
        {"--help", 0},
        {"frobnicate", 2},
        {"build /nonexistent", 2},                  // no -o
        {"build -o x", 2},                           // no product folder
        {"build a b -o x", 2},
        {"build a -o", 2},                           // option without its value
        {"verify", 2},
        {"verify x --crc nothex", 2},
        {"verify x --bogus", 2},
        {"extract onlyone", 2},
        {"list /nonexistent/file", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        Result run = vornpack(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        if (c.exitCode == 2) {
            EXPECT_NE(run.output.find("usage:"), std::string::npos);
        }
    }
}

TEST_F(VornpackCli, MissingOrEmptyProductFileIsNamed)
{
    fs::remove(product / "popups.ini");
    Result missing = build();
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("popups.ini"), std::string::npos) << missing.output;

    writeFile(product / "popups.ini", "");
    Result empty = build();
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.output.find("popups.ini"), std::string::npos) << empty.output;
    EXPECT_NE(empty.output.find("empty"), std::string::npos) << empty.output;
    EXPECT_FALSE(fs::exists(payload));
}

TEST_F(VornpackCli, BuildWritesHeaderAndVerifies)
{
    fs::path header = root / "payload_crc.h";
    Result built = vornpack("build " + product.string() + " -o " + payload.string() + " --header " +
                         header.string());
    ASSERT_EQ(built.exitCode, 0) << built.output;
    std::string crc = crcOf(built);
    ASSERT_EQ(crc.size(), 8u);
    EXPECT_EQ(readFile(header), "#pragma once\n#define PAYLOAD_CRC 0x" + crc + "u\n");

    // An installer is the payload with its own code before and after it.
    fs::path installer = root / "setup.exe";
    writeFile(installer, "MZ stub Z ZO ZOL code" + readFile(payload) + "trailing resources");
    Result verified = vornpack("verify " + installer.string() + " --crc " + crc + " --product " +
                            product.string());
    EXPECT_EQ(verified.exitCode, 0) << verified.output;
    EXPECT_NE(verified.output.find("10 segments"), std::string::npos);
    EXPECT_NE(verified.output.find("OK"), std::string::npos);

    Result wrongCrc = vornpack("verify " + installer.string() + " --crc 0x12345678");
    EXPECT_EQ(wrongCrc.exitCode, 1);
    EXPECT_NE(wrongCrc.output.find("expected 0x12345678"), std::string::npos) << wrongCrc.output;
}

TEST_F(VornpackCli, VerifyDetectsAFlippedByte)
{
    Result built = build();
    ASSERT_EQ(built.exitCode, 0) << built.output;
    std::string crc = crcOf(built);
    std::string bytes = readFile(payload);
    size_t at = bytes.size() / 2;   // inside the largest segment
    bytes[at] = char(bytes[at] ^ 0x10);
    writeFile(payload, bytes);

    Result byCrc = vornpack("verify " + payload.string() + " --crc " + crc);
    EXPECT_EQ(byCrc.exitCode, 1);
    EXPECT_NE(byCrc.output.find("differs from the expected"), std::string::npos) << byCrc.output;
    Result byContent = vornpack("verify " + payload.string() + " --product " + product.string());
    EXPECT_EQ(byContent.exitCode, 1);
    EXPECT_NE(byContent.output.find("urls.ini"), std::string::npos) << byContent.output;
}

TEST_F(VornpackCli, VerifyReportsATruncatedPayload)
{
    ASSERT_EQ(build().exitCode, 0);
    std::string bytes = readFile(payload);
    writeFile(payload, bytes.substr(0, bytes.size() / 2));
    Result run = vornpack("verify " + payload.string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("not closed"), std::string::npos) << run.output;
}

TEST_F(VornpackCli, ListAndExtract)
{
    ASSERT_EQ(build().exitCode, 0);
    Result list = vornpack("list " + payload.string());
    EXPECT_EQ(list.exitCode, 0) << list.output;
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        EXPECT_NE(list.output.find(SLOT_FILE_NAMES[slot]), std::string::npos);

    fs::path target = root / "out" / "nested";
    Result extracted = vornpack("extract " + payload.string() + " " + target.string());
    ASSERT_EQ(extracted.exitCode, 0) << extracted.output;
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        EXPECT_EQ(readFile(target / SLOT_FILE_NAMES[slot]), readFile(product / SLOT_FILE_NAMES[slot]));

    writeFile(target / "vorn.ini", "mine");
    Result refused = vornpack("extract " + payload.string() + " " + target.string());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("--force"), std::string::npos) << refused.output;
    EXPECT_EQ(readFile(target / "vorn.ini"), "mine");

    Result forced = vornpack("extract " + payload.string() + " " + target.string() + " --force");
    EXPECT_EQ(forced.exitCode, 0) << forced.output;
    EXPECT_EQ(readFile(target / "vorn.ini"), readFile(product / "vorn.ini"));
}
