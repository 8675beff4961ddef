// The options file: the reading rules, the fall-backs for values the game
// could never have written, and saves that never damage the old file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "services/options.h"
#include "run_util.h"

namespace {
class OptionsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = MakeTempDir();
        path_ = dir_ + "/Data/OptionData.dat";
        mkdir((dir_ + "/Data").c_str(), 0755);
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    void Write(const std::string& text)
    {
        std::ofstream(path_, std::ios::binary) << text;
    }
    std::string Read()
    {
        std::ifstream f(path_, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    // Reads the file and returns what went to stderr.
    std::string Load(OptionRecord* o)
    {
        ::testing::internal::CaptureStderr();
        *o = ReadOptionsFile(path_.c_str());
        return ::testing::internal::GetCapturedStderr();
    }

    std::string dir_, path_;
};

void ExpectOptions(const OptionRecord& o, int fs, int w, int h, int shadow)
{
    EXPECT_EQ(o.fullScreen, fs);
    EXPECT_EQ(o.screenWidth, w);
    EXPECT_EQ(o.screenHeight, h);
    EXPECT_EQ(o.shadowMapSize, shadow);
}
}  // namespace

TEST(OptionAtoi, ReadsLikeAtoiWithoutOverflow)
{
    EXPECT_EQ(OptionAtoi("800"), 800);
    EXPECT_EQ(OptionAtoi("  \t-12abc"), -12);
    EXPECT_EQ(OptionAtoi("+7\r\n"), 7);
    EXPECT_EQ(OptionAtoi("800 600"), 800);
    EXPECT_EQ(OptionAtoi("abc"), 0);
    EXPECT_EQ(OptionAtoi(""), 0);
    EXPECT_EQ(OptionAtoi("- 5"), 0);
    EXPECT_EQ(OptionAtoi("2147483647"), INT_MAX);
    EXPECT_EQ(OptionAtoi("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(OptionAtoi("-2147483648"), INT_MIN);
    EXPECT_EQ(OptionAtoi("-99999999999999999999999"), INT_MIN);
}

TEST_F(OptionsFile, MissingFileGivesTheDefaults)
{
    OptionRecord o;
    EXPECT_EQ(Load(&o), "");
    ExpectOptions(o, 0, 800, 600, 1024);
}

TEST_F(OptionsFile, EveryValueTheOptionsScreenWritesIsKept)
{
    OptionRecord o;
    Write("1\n1024\n768\n512\n");
    EXPECT_EQ(Load(&o), "");
    ExpectOptions(o, 1, 1024, 768, 512);
    Write("0\r\n640\r\n480\r\n1\r\n");  // the game's own CR LF lines
    EXPECT_EQ(Load(&o), "");
    ExpectOptions(o, 0, 640, 480, 1);
    Write("0\n800xyz\n600 \n1600");  // trailing letters ignored, no final newline
    EXPECT_EQ(Load(&o), "");
    ExpectOptions(o, 0, 800, 600, 1600);
}

TEST_F(OptionsFile, AShortFileRepeatsTheLastLineRead)
{
    OptionRecord o;
    Write("1\n");  // every line reads 1: a full-screen, shadowless start
    std::string err = Load(&o);
    ExpectOptions(o, 1, 800, 600, 1);
    EXPECT_NE(err.find("line 2 is missing, so it reads as '1'"), std::string::npos) << err;
    EXPECT_EQ(err.find("line 4"), std::string::npos) << err;
}

TEST_F(OptionsFile, GarbageFallsBackWithOneLinePerValue)
{
    OptionRecord o;
    Write("-3\nabc\n0\n100000\n");
    std::string err = Load(&o);
    ExpectOptions(o, 0, 800, 600, 1024);
    EXPECT_NE(err.find(path_ + ": line 1: '-3' is not a screen mode"), std::string::npos) << err;
    EXPECT_NE(err.find("line 2: 'abc' is not a screen width"), std::string::npos) << err;
    EXPECT_NE(err.find("line 3: '0' is not a screen height"), std::string::npos) << err;
    EXPECT_NE(err.find("line 4: '100000' is not a shadow map size"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 4);

    Write("0\n800\n");  // two lines only
    err = Load(&o);
    ExpectOptions(o, 0, 800, 600, 1024);
    EXPECT_NE(err.find("line 3 is missing, so it reads as '800'"), std::string::npos) << err;
    EXPECT_NE(err.find("line 4 is missing, so it reads as '800'"), std::string::npos) << err;

    Write("0\n800\n768\n512\n");  // each size exists, the pair does not
    err = Load(&o);
    ExpectOptions(o, 0, 800, 600, 512);
    EXPECT_NE(err.find("'800' x '768' is not a screen size"), std::string::npos) << err;

    Write(std::string("\0\0\0\xff\xfe", 5) + "\n\n\n\n");
    err = Load(&o);
    ExpectOptions(o, 0, 800, 600, 1024);

    // Control bytes and overlong lines are quoted safely and cut short.
    Write("7\x1b[2J\n" + std::string(200, '9') + "\n600\n1024\n");
    err = Load(&o);
    EXPECT_NE(err.find("line 1: '7?[2J' is not a screen mode"), std::string::npos) << err;
    EXPECT_NE(err.find("line 2: '" + std::string(40, '9') + "...' is not a screen width"),
              std::string::npos) << err;
}

TEST_F(OptionsFile, SaveWritesTheModeInvertedAndReadsBack)
{
    ASSERT_TRUE(WriteOptionsFile(path_.c_str(), 1, 800, 600, 1024));  // window chosen
    EXPECT_EQ(Read(), "0\r\n800\r\n600\r\n1024\r\n");
    ASSERT_TRUE(WriteOptionsFile(path_.c_str(), 0, 1024, 768, 1600));  // full screen chosen
    EXPECT_EQ(Read(), "1\r\n1024\r\n768\r\n1600\r\n");
    OptionRecord o;
    EXPECT_EQ(Load(&o), "");
    ExpectOptions(o, 1, 1024, 768, 1600);
    EXPECT_NE(access((path_ + ".tmp").c_str(), F_OK), 0);  // no temporary left over
}

TEST_F(OptionsFile, SaveCreatesTheFolderAndAFailedSaveKeepsTheOldFile)
{
    std::string fresh = dir_ + "/New/OptionData.dat";
    ASSERT_TRUE(WriteOptionsFile(fresh.c_str(), 1, 640, 480, 1));
    EXPECT_EQ(access(fresh.c_str(), F_OK), 0);

    Write("0\r\n640\r\n480\r\n512\r\n");
    mkdir((path_ + ".tmp").c_str(), 0755);  // the temporary cannot be written
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteOptionsFile(path_.c_str(), 0, 1024, 768, 1600));
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("the settings were not saved"), std::string::npos) << err;
    EXPECT_EQ(Read(), "0\r\n640\r\n480\r\n512\r\n");

    std::string underAFile = path_ + "/x.dat";  // its folder is a file
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteOptionsFile(underAFile.c_str(), 0, 800, 600, 1));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(underAFile), std::string::npos);
}
