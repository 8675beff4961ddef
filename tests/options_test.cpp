// The options file: the reading rules, the fall-backs for values the game
// could never have written, and saves that never damage the old file.  The
// settings file beside it, and the rule that rebinds the battle's keys.
#include <gtest/gtest.h>
#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <vector>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "services/controls.h"
#include "services/device.h"
#include "services/options.h"
#include "services/settings.h"
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
// Everything in the options file's folder.
std::vector<std::string> FolderList(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `body` in a child process, as an ordinary user when the tests run as
// root (so that permissions hold), and returns its exit status.
// The user owns the files named.
template <class F>
int InChild(const std::vector<std::string>& owned, F body)
{
    pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0) {
            for (const std::string& f : owned)
                if (chown(f.c_str(), 65534, 65534) != 0) _exit(90);
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(91);
        }
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
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
    // A line longer than the reader's buffer is one line all the same.
    Write("0\n" + std::string(300, '7') + "\n600\n1024\n");
    err = Load(&o);
    EXPECT_NE(err.find("line 2: '" + std::string(40, '7') + "...' is not a screen width"), std::string::npos) << err;
    EXPECT_EQ(err.find("line 3"), std::string::npos) << err;
    EXPECT_EQ(o.shadowMapSize, 1024);
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
    EXPECT_EQ(FolderList(dir_ + "/Data"), std::vector<std::string>{"OptionData.dat"});  // no temporary left
}

TEST_F(OptionsFile, SaveCreatesTheFolderAndNoStaleOrPlantedFileStopsOrMisleadsIt)
{
    std::string fresh = dir_ + "/New/OptionData.dat";
    ASSERT_TRUE(WriteOptionsFile(fresh.c_str(), 1, 640, 480, 1));
    EXPECT_EQ(access(fresh.c_str(), F_OK), 0);

    // A stale temporary that is a folder, and a link planted where one was
    // once written, pointing at another file: neither is touched.
    Write("0\r\n640\r\n480\r\n512\r\n");
    mkdir((path_ + ".tmp").c_str(), 0755);
    std::string victim = dir_ + "/victim.txt";
    WriteFile(victim, "keep me");
    ASSERT_EQ(symlink(victim.c_str(), (path_ + ".tmp2").c_str()), 0);
    ASSERT_TRUE(WriteOptionsFile(path_.c_str(), 0, 1024, 768, 1600));
    EXPECT_EQ(Read(), "1\r\n1024\r\n768\r\n1600\r\n");
    EXPECT_EQ(ReadFile(victim), "keep me");
    // Nothing is left beside it.
    EXPECT_EQ(FolderList(dir_ + "/Data"),
              (std::vector<std::string>{"OptionData.dat", "OptionData.dat.tmp", "OptionData.dat.tmp2"}));

    std::string underAFile = path_ + "/x.dat";  // its folder is a file
    std::string why;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteOptionsFile(underAFile.c_str(), 0, 800, 600, 1, &why));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(underAFile), std::string::npos);
    EXPECT_FALSE(why.empty());
}

TEST_F(OptionsFile, ASaveWritesThroughALinkAndKeepsTheFilesMode)
{
    // The options file is a link to a file elsewhere: the target is
    // written, and the link stays a link.
    std::string real = dir_ + "/elsewhere.dat";
    WriteFile(real, "0\r\n640\r\n480\r\n512\r\n");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(symlink("../elsewhere.dat", path_.c_str()), 0);
    ASSERT_TRUE(WriteOptionsFile(path_.c_str(), 1, 800, 600, 1024));
    struct stat st {};
    ASSERT_EQ(lstat(path_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(real), "0\r\n800\r\n600\r\n1024\r\n");
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // A link whose target is not there yet makes the target.
    std::string dangling = dir_ + "/Data/Other.dat";
    ASSERT_EQ(symlink("Made.dat", dangling.c_str()), 0);
    ASSERT_TRUE(WriteOptionsFile(dangling.c_str(), 1, 640, 480, 1));
    EXPECT_EQ(ReadFile(dir_ + "/Data/Made.dat"), "0\r\n640\r\n480\r\n1\r\n");
    // A loop of links is refused.
    std::string loop = dir_ + "/Data/Loop.dat";
    ASSERT_EQ(symlink("Loop.dat", loop.c_str()), 0);
    std::string why;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteOptionsFile(loop.c_str(), 1, 640, 480, 1, &why));
    EXPECT_NE(why.find("loop"), std::string::npos) << why;
    // A link into folders that are not there is refused too: they are not
    // the game's to make.
    std::string away = dir_ + "/Data/Away.dat";
    ASSERT_EQ(symlink("../gone/deeper/Away.dat", away.c_str()), 0);
    EXPECT_FALSE(WriteOptionsFile(away.c_str(), 1, 640, 480, 1, &why));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(why, "it leads to " + dir_ + "/Data/../gone/deeper/Away.dat, whose folder is not there");
    EXPECT_NE(access((dir_ + "/gone").c_str(), F_OK), 0);
}

TEST_F(OptionsFile, AReadOnlyFileOrFolderOrAFullDiskKeepsTheOldFileAndSaysWhy)
{
    const std::string old = "0\r\n640\r\n480\r\n512\r\n";
    Write(old);
    // A file the player made read-only is respected, even by root.
    ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
    std::string why;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteOptionsFile(path_.c_str(), 0, 1024, 768, 1600, &why));
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(why, "it is read-only");
    EXPECT_NE(err.find(path_ + ": the settings were not saved: it is read-only"), std::string::npos) << err;
    EXPECT_EQ(Read(), old);
    ASSERT_EQ(chmod(path_.c_str(), 0644), 0);

    // A folder the player cannot write in, as an ordinary user.
    const std::string data = dir_ + "/Data";
    ASSERT_EQ(chmod(ScratchDir().c_str(), 0711), 0);  // the user may pass through to it
    ASSERT_EQ(chmod(dir_.c_str(), 0711), 0);
    int status = InChild({data, path_}, [&] {
        if (chmod(data.c_str(), 0555) != 0) return 1;
        std::string reason;
        bool saved = WriteOptionsFile(path_.c_str(), 0, 1024, 768, 1600, &reason);
        return saved ? 2 : reason.find("Permission denied") == std::string::npos ? 3 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read(), old);

    // The disk fills while the new file is written: the old one stays whole.
    ASSERT_EQ(chmod(data.c_str(), 0755), 0);
    status = InChild({data, path_}, [&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4, 4};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 1;
        std::string reason;
        bool saved = WriteOptionsFile(path_.c_str(), 0, 1024, 768, 1600, &reason);
        return saved ? 2 : reason.empty() ? 3 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read(), old);
    EXPECT_EQ(FolderList(data), std::vector<std::string>{"OptionData.dat"});
}

// A real disk that fills: a small memory disk, mounted where only this
// process sees it, holds the options file and one more file that leaves
// too little room for a second copy.  Mounting needs root.
TEST_F(OptionsFile, ASaveOntoAFullDiskKeepsTheOldFileWhole)
{
    if (geteuid() != 0) GTEST_SKIP() << "mounting a memory disk needs root";
    const std::string old = "0\r\n640\r\n480\r\n512\r\n";
    const std::string disk = dir_ + "/disk";
    ASSERT_EQ(mkdir(disk.c_str(), 0755), 0);
    pid_t pid = fork();
    if (pid == 0) _exit([&] {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return 80;  // no private mounts here: nothing to test
        if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=16k") != 0) return 80;
        const std::string data = disk + "/Data", file = data + "/OptionData.dat";
        mkdir(data.c_str(), 0755);
        std::ofstream(file, std::ios::binary) << old;
        // Fill the disk to the last block.
        std::ofstream fill(disk + "/fill", std::ios::binary);
        std::string block(512, 'x');
        while (fill.write(block.data(), block.size()) && fill.flush()) {
        }
        fill.close();
        std::string why;
        ::testing::internal::CaptureStderr();
        bool saved = WriteOptionsFile(file.c_str(), 0, 1024, 768, 1600, &why);
        ::testing::internal::GetCapturedStderr();
        std::ifstream in(file, std::ios::binary);
        std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (saved) return 1;
        if (why.find("No space left") == std::string::npos) return 2;
        if (now != old) return 3;
        if (FolderList(data) != std::vector<std::string>{"OptionData.dat"}) return 4;
        return 0;
    }());
    int status = 0;
    waitpid(pid, &status, 0);
    status = WIFEXITED(status) ? WEXITSTATUS(status) : 99;
    if (status == 80) GTEST_SKIP() << "this machine gives no private mounts";
    EXPECT_EQ(status, 0);
}

// An installed game: its data folder is read-only to the player, so the
// options and the screenshots go to the player's own folders, and the
// saved file is read before the data folder's from then on.
TEST_F(OptionsFile, AReadOnlyDataFolderSavesInThePlayersFoldersWhichAreReadFirst)
{
    Write("1\r\n640\r\n480\r\n512\r\n");
    const std::string home = dir_ + "/home", config = home + "/.config", share = home + "/.local/share";
    for (const std::string& d : {home, config, home + "/Pics"}) ASSERT_EQ(mkdir(d.c_str(), 0755), 0);
    std::ofstream(config + "/user-dirs.dirs") << "# written by the user-dirs tool\nXDG_PICTURES_DIR=\"$HOME/Pics\"\n";
    ASSERT_EQ(chmod(ScratchDir().c_str(), 0711), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);  // the data folder, and its Data folder
    ASSERT_EQ(chmod((dir_ + "/Data").c_str(), 0555), 0);
    int status = InChild({home, config, home + "/Pics"}, [&] {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
        setenv("HOME", home.c_str(), 1);
        if (chdir(dir_.c_str()) != 0) return 1;
        const std::string saved = config + "/varnok/OptionData.dat";
        // Before any save the data folder's file is read.
        LoadOptions();
        if (OptionData.screenWidth != 640 || OptionsSavePath() != saved) return 2;
        if (ScreenshotFolders() != std::vector<std::string>{home + "/Pics", share + "/varnok/screenshots"}) return 3;
        ::testing::internal::CaptureStderr();
        bool ok = WriteOptionsFile(OptionsSavePath().c_str(), 1, 1024, 768, 1600);
        ::testing::internal::GetCapturedStderr();
        if (!ok) return 4;
        LoadOptions();
        if (OptionData.screenWidth != 1024 || OptionsReadPath() != saved) return 5;
        // The settings file goes beside it.
        if (SettingsSavePath() != config + "/varnok/SettingData.dat") return 8;
        // Without a pictures folder the shots go with the player's data.
        unlink((config + "/user-dirs.dirs").c_str());
        return ScreenshotFolders() == std::vector<std::string>{share + "/varnok/screenshots"} ? 0 : 6;
    });
    EXPECT_EQ(status, 0);
    ASSERT_EQ(chmod((dir_ + "/Data").c_str(), 0755), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
    EXPECT_EQ(Read(), "1\r\n640\r\n480\r\n512\r\n");  // the data folder's file as it was

    // Once the player's folder holds a file, a writable data folder does not
    // take the saves back: they would be hidden behind it.
    char* was = std::getenv("XDG_CONFIG_HOME");
    const std::string keep = was ? was : "";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    EXPECT_EQ(OptionsSavePath(), config + "/varnok/OptionData.dat");
    unlink((config + "/varnok/OptionData.dat").c_str());
    EXPECT_EQ(OptionsSavePath(), kOptionsPath);  // a writable data folder keeps its own file
    ASSERT_EQ(chdir(cwd), 0);
    setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
}


namespace {
void ExpectKeys(const SettingRecord& s, const int32_t (&keys)[kBattleActionCount], const std::string& where)
{
    for (int a = 0; a < kBattleActionCount; ++a) EXPECT_EQ(s.keys[a], keys[a]) << where << ", action " << a;
}
}  // namespace

// What the settings screen saves reads back; a damaged file gives the
// default of what is bad, keeps the rest, and says so in one message that
// names the file, the first bad line and how many more there are.
TEST_F(OptionsFile, TheSettingsFileReadsBackAndADamagedOneGivesTheDefaultsOfWhatIsBadInOneMessage)
{
    const std::string path = dir_ + "/Data/SettingData.dat";
    std::string problem;
    SettingRecord chosen = DefaultSettings();
    chosen.volume = {3, 0, 7};
    ASSERT_TRUE(BindBattleKey(chosen.keys, kActFire, VK_SPACE));
    ASSERT_TRUE(BindBattleKey(chosen.keys, kActPause, 'Q'));
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), chosen));
    SettingRecord back = ReadSettingsFile(path.c_str(), &problem);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(back.volume.master, 3);
    EXPECT_EQ(back.volume.effects, 0);
    EXPECT_EQ(back.volume.engine, 7);
    ExpectKeys(back, chosen.keys, "round trip");
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "");  // the options file is not touched

    int32_t fireSpace[kBattleActionCount];
    std::copy(std::begin(kDefaultBattleKeys), std::end(kDefaultBattleKeys), fireSpace);
    fireSpace[kActFire] = VK_SPACE;
    const int32_t(&defaults)[kBattleActionCount] = kDefaultBattleKeys;
    struct Case {
        const char* text;
        SoundLevels volume;
        const int32_t (&keys)[kBattleActionCount];
        const char* told;  // "" when nothing is wrong
    } cases[] = {
        // Comments, blank lines, CR LF and a missing setting are fine.
        {"# mine\r\n\r\nengine_volume 4\r\nkey_fire 32  # Space\r\n", {10, 10, 4}, fireSpace, ""},
        {"master_volume 11\neffects_volume 2\n", {10, 2, 10}, defaults,
         "line 1: 'master_volume 11' is not a sound level (0 to 10); what is bad is the default"},
        {"effects_volume 2\nmaster_volume -1\nengine_volume x\nkey_fire 32\nmaster_volume 5 5\n", {10, 2, 10},
         fireSpace, "line 2: 'master_volume -1' is not a sound level (0 to 10) (and 2 more)"},
        {"volume 3\nkey_fire 32\n", {10, 10, 10}, fireSpace, "line 1: 'volume 3' is not a setting"},
        // Bytes no terminal shows as they are: a stray half of a character.
        {"m\xc3\xa4ster_volume 3\x1b[31m\n", {10, 10, 10}, defaults, "line 1: 'm??ster_volume 3?[31m' is not a setting"},
        {"key_fire 300\n", {10, 10, 10}, defaults, "line 1: 'key_fire 300' is not a key the game can bind"},
        {"key_fire 84\n", {10, 10, 10}, defaults, "'key_fire 84' is not a key the game can bind"},  // T: screenshots
        {"key_pause 4294967383\n", {10, 10, 10}, defaults, "is not a key the game can bind"},
        // Two actions on one key: every key is the default.
        {"engine_volume 1\nkey_fire 32\nkey_pause 32\n", {10, 10, 1}, defaults,
         "line 3: 'key_pause 32' gives Space a second action; using the default keys"},
        {"key_fire 87\n", {10, 10, 10}, defaults, "line 1: 'key_fire 87' gives W a second action"},
        {nullptr, {10, 10, 10}, defaults, "too large"},
    };
    for (const Case& c : cases) {
        const std::string where = c.text ? c.text : "a large file";
        WriteFile(path, c.text ? c.text : std::string(70000, '#'));
        SettingRecord s = ReadSettingsFile(path.c_str(), &problem);
        EXPECT_EQ(s.volume.master, c.volume.master) << where;
        EXPECT_EQ(s.volume.effects, c.volume.effects) << where;
        EXPECT_EQ(s.volume.engine, c.volume.engine) << where;
        ExpectKeys(s, c.keys, where);
        if (*c.told == '\0') {
            EXPECT_EQ(problem, "") << where;
        } else {
            EXPECT_EQ(problem.rfind(path + ": ", 0), 0u) << problem;
            EXPECT_NE(problem.find(c.told), std::string::npos) << problem;
            EXPECT_EQ(problem.find('\n'), std::string::npos) << problem;
        }
    }
    // A folder where the file should be is no settings file.
    unlink(path.c_str());
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    back = ReadSettingsFile(path.c_str(), &problem);
    ExpectKeys(back, kDefaultBattleKeys, "a folder");
    EXPECT_NE(problem.find(path + ": not a file (a folder); using the default settings"), std::string::npos) << problem;
}

// Binding a key another action has swaps the two: whatever the player
// does, every action keeps a key of its own and none is ever lost.
TEST(Controls, BindingAKeyInUseSwapsAndEveryActionKeepsAKeyOfItsOwn)
{
    int32_t keys[kBattleActionCount];
    std::copy(std::begin(kDefaultBattleKeys), std::end(kDefaultBattleKeys), keys);
    ASSERT_TRUE(BindBattleKey(keys, kActFire, 'W'));
    EXPECT_EQ(keys[kActFire], 'W');
    EXPECT_EQ(keys[kActForward], VK_LBUTTON);  // forward takes fire's old key
    ASSERT_TRUE(BindBattleKey(keys, kActFire, 'W'));  // its own key again: nothing moves
    EXPECT_EQ(keys[kActForward], VK_LBUTTON);
    ASSERT_TRUE(BindBattleKey(keys, kActPause, 'Q'));  // a free key: nobody else changes
    EXPECT_EQ(keys[kActPause], 'Q');
    EXPECT_EQ(BattleActionOfKey(keys, VK_ESCAPE), -1);
    const int32_t before[kBattleActionCount] = {keys[0], keys[1], keys[2], keys[3], keys[4], keys[5], keys[6],
                                                keys[7], keys[8], keys[9], keys[10], keys[11], keys[12]};
    // Quitting, screenshots, the frame rate and codes no key gives are refused.
    for (int32_t vk : {0, int{VK_F1}, int{'T'}, int{'P'}, 0x07, 0xFF, 256, -1}) {
        EXPECT_FALSE(BindBattleKey(keys, kActGunUp, vk)) << vk;
        EXPECT_TRUE(std::equal(keys, keys + kBattleActionCount, before)) << vk;
    }
    // Many binds of every bindable key to every action, in a fixed order.
    uint32_t r = 12345;
    for (int n = 0; n < 2000; ++n) {
        r = r * 1103515245u + 12345u;
        const auto action = static_cast<BattleAction>((r >> 16) % kBattleActionCount);
        const int32_t vk = static_cast<int32_t>((r >> 8) % kKeyCount);
        const bool inUse = BattleActionOfKey(keys, vk) >= 0;
        std::vector<int32_t> held(keys, keys + kBattleActionCount);
        const bool bound = BindBattleKey(keys, action, vk);
        ASSERT_EQ(bound, BindableKey(vk)) << vk;
        for (int a = 0; a < kBattleActionCount; ++a) {
            ASSERT_TRUE(BindableKey(keys[a])) << "step " << n;
            ASSERT_EQ(BattleActionOfKey(keys, keys[a]), a) << "two actions on one key at step " << n;
        }
        // A key in use only changes places: the same keys are bound.
        std::vector<int32_t> now(keys, keys + kBattleActionCount);
        std::sort(held.begin(), held.end());
        std::sort(now.begin(), now.end());
        if (inUse) {
            ASSERT_EQ(now, held) << "a key was lost at step " << n;
        }
    }
}
