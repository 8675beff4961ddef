#include <gtest/gtest.h>

#include "platform/input_script.h"
#include "platform/pad.h"
#include "platform/vk.h"

TEST(InputScript, ReadsEveryVerbInStepOrder)
{
    InputScript s;
    std::string err;
    ASSERT_TRUE(ParseInputScript("# a demo\r\n"
                                 "10 keydown w   # drive\n"
                                 "\n"
                                 "5 move 400 300\n"
                                 "5 buttondown left\n"
                                 "12 keyup W\n"
                                 "13 keydown F12\n"
                                 "14 keydown 0x54\n"
                                 "15 keydown escape\n"
                                 "16 buttonup right\n"
                                 "20 quit\n",
                                 "demo.txt", &s, &err))
        << err;
    ASSERT_EQ(s.events.size(), 9u);
    // Sorted by step, file order kept within a step.
    EXPECT_EQ(s.events[0].verb, ScriptVerb::Move);
    EXPECT_EQ(s.events[0].a, 400);
    EXPECT_EQ(s.events[0].b, 300);
    EXPECT_EQ(s.events[1].verb, ScriptVerb::ButtonDown);
    EXPECT_EQ(s.events[1].a, VK_LBUTTON);
    EXPECT_EQ(s.events[2].a, 'W');
    EXPECT_EQ(s.events[3].verb, ScriptVerb::KeyUp);
    EXPECT_EQ(s.events[4].a, VK_F12);
    EXPECT_EQ(s.events[5].a, 'T');
    EXPECT_EQ(s.events[6].a, VK_ESCAPE);
    EXPECT_EQ(s.events[7].a, VK_RBUTTON);
    EXPECT_EQ(s.events[8].verb, ScriptVerb::Quit);
    EXPECT_EQ(s.events[8].step, 20u);
}

TEST(InputScript, AMalformedLineNamesTheFileAndLine)
{
    const struct { const char* text; const char* want; } cases[] = {
        {"0 keydown A\n", "s.txt:1: '0' is not a step"},
        {"\n\nabc quit\n", "s.txt:3: 'abc' is not a step"},
        {"5\n", "s.txt:1: a verb must follow"},
        {"5 jump\n", "s.txt:1: unknown verb 'jump'"},
        {"5 keydown\n", "s.txt:1: keydown takes 1 argument"},
        {"5 keydown F13\n", "s.txt:1: 'F13' is not a key"},
        {"5 keydown 0x00\n", "s.txt:1: '0x00' is not a key"},
        {"5 keydown AB\n", "s.txt:1: 'AB' is not a key"},
        {"5 buttondown middle\n", "s.txt:1: 'middle' is not a mouse button"},
        {"1 quit\n2 move 1\n", "s.txt:2: move takes 2 arguments"},
        {"2 move 1 y\n", "s.txt:1: move takes two whole numbers"},
        {"2 quit now\n", "s.txt:1: quit takes 0 arguments"},
        {"99999999999 quit\n", "s.txt:1: '99999999999' is not a step"},
        // Control bytes are masked and a long word is cut short.
        {"1\x1b[2J quit\n", "s.txt:1: '1?[2J' is not a step"},
        {"5 \x1b]0;x\x07 A\n", "s.txt:1: unknown verb '?]0;x?'"},
        {"5 keydown KEY0123456789012345678901234567890123456789XYZ\n",
         "s.txt:1: 'KEY0123456789012345678901234567890123456...' is not a key"},
    };
    for (const auto& c : cases) {
        InputScript s;
        std::string err;
        EXPECT_FALSE(ParseInputScript(c.text, "s.txt", &s, &err)) << c.text;
        EXPECT_EQ(err.rfind(c.want, 0), 0u) << "got: " << err;
        EXPECT_TRUE(s.events.empty());
    }
    InputScript s;
    std::string err;
    EXPECT_FALSE(LoadInputScript("/nonexistent/script.txt", &s, &err));
    EXPECT_EQ(err, "/nonexistent/script.txt: cannot be opened (No such file or directory)");
}

// A recording's header lines and its device verbs; a recorded F1 ends the
// run as a scripted one does.
TEST(InputScript, ARecordingsHeaderAndDeviceEventsAreRead)
{
    InputScript s;
    std::string err;
    ASSERT_TRUE(ParseInputScript("seed 4294967295\nargs --battle --earth 3\noptions 1 1024 768 512\n"
                                 "7 press 0x01\n7 release 0x01\n9 press 0x70\n",
                                 "rec.txt", &s, &err))
        << err;
    EXPECT_TRUE(s.hasSeed);
    EXPECT_EQ(s.seed, 4294967295u);
    EXPECT_EQ(s.args, (std::vector<std::string>{"--battle", "--earth", "3"}));
    EXPECT_TRUE(s.hasOptions);
    EXPECT_EQ(s.options[1], 1024);
    EXPECT_EQ(s.options[3], 512);
    ASSERT_EQ(s.events.size(), 3u);
    EXPECT_EQ(s.events[0].verb, ScriptVerb::Press);
    EXPECT_EQ(s.events[0].a, VK_LBUTTON);
    EXPECT_EQ(s.events[1].verb, ScriptVerb::Release);
    EXPECT_TRUE(ScriptQuits(s));
    ASSERT_TRUE(ParseInputScript("9 press 0x71\n", "rec.txt", &s, &err));
    EXPECT_FALSE(ScriptQuits(s));
    EXPECT_FALSE(s.hasSeed);
    EXPECT_FALSE(ParseInputScript("seed -3\n", "rec.txt", &s, &err));
    EXPECT_EQ(err, "rec.txt:1: seed takes one whole number, 0 to 4294967295");
    EXPECT_FALSE(ParseInputScript("options 1 2 3\n", "rec.txt", &s, &err));
}

// The pad's verbs: every button and axis by name in either case, and each
// fault named with its file and line: an unknown button or axis, a value
// outside the axis's range, a wrong count of words, and a pad that moves
// while not connected (in step order, not file order).
TEST(InputScript, PadVerbsAreReadAndTheirFaultsNamed)
{
    InputScript s;
    std::string err;
    ASSERT_TRUE(ParseInputScript("1 padconnect\n2 paddown a\n2 padup DpadLeft\n3 padaxis lefty -32768\n"
                                 "3 padaxis RIGHTX 32767\n4 padaxis righttrigger 255\n4 padaxis LEFTTRIGGER 0\n"
                                 "5 paddown RIGHTSHOULDER\n6 paddisconnect\n7 padconnect\n7 paddown START\n",
                                 "pad.txt", &s, &err))
        << err;
    ASSERT_EQ(s.events.size(), 11u);
    EXPECT_EQ(s.events[0].verb, ScriptVerb::PadConnect);
    EXPECT_EQ(s.events[1].verb, ScriptVerb::PadDown);
    EXPECT_EQ(s.events[1].a, sys::PAD_A);
    EXPECT_EQ(s.events[2].verb, ScriptVerb::PadUp);
    EXPECT_EQ(s.events[2].a, sys::PAD_DPAD_LEFT);
    EXPECT_EQ(s.events[3].verb, ScriptVerb::PadAxis);
    EXPECT_EQ(s.events[3].a, static_cast<int>(PadAxis::LeftY));
    EXPECT_EQ(s.events[3].b, -32768);
    EXPECT_EQ(s.events[4].b, 32767);
    EXPECT_EQ(s.events[5].a, static_cast<int>(PadAxis::RightTrigger));
    EXPECT_EQ(s.events[5].b, 255);
    EXPECT_EQ(s.events[7].a, sys::PAD_RIGHT_SHOULDER);
    EXPECT_EQ(s.events[8].verb, ScriptVerb::PadDisconnect);
    EXPECT_EQ(s.events[10].a, sys::PAD_START);
    for (const char* name : {"A", "B", "X", "Y", "START", "BACK", "LEFTSHOULDER", "RIGHTSHOULDER", "LEFTTHUMB",
                             "RIGHTTHUMB", "DPADUP", "DPADDOWN", "DPADLEFT", "DPADRIGHT"}) {
        const int bit = PadButtonFromName(name);
        ASSERT_GT(bit, 0) << name;
        EXPECT_STREQ(PadButtonName(bit), name);
    }

    const struct { const char* text; const char* want; } cases[] = {
        {"1 padconnect\n2 paddown Z\n", "s.txt:2: 'Z' is not a pad button (A, B, X, Y, START, BACK, "},
        {"1 padconnect\n2 padup LEFTSTICK\n", "s.txt:2: 'LEFTSTICK' is not a pad button"},
        {"1 padconnect\n\n3 padaxis LEFTZ 0\n", "s.txt:3: 'LEFTZ' is not a pad axis (LEFTX, LEFTY, RIGHTX, "},
        {"1 padconnect\n2 padaxis LEFTX 32768\n",
         "s.txt:2: '32768' is not a value of LEFTX (a whole number from -32768 to 32767)"},
        {"1 padconnect\n2 padaxis righty -32769\n", "s.txt:2: '-32769' is not a value of RIGHTY"},
        {"1 padconnect\n2 padaxis LEFTTRIGGER -1\n",
         "s.txt:2: '-1' is not a value of LEFTTRIGGER (a whole number from 0 to 255)"},
        {"1 padconnect\n2 padaxis RIGHTTRIGGER 256\n", "s.txt:2: '256' is not a value of RIGHTTRIGGER"},
        {"1 padconnect\n2 padaxis LEFTX 0.5\n", "s.txt:2: '0.5' is not a value of LEFTX"},
        {"1 padconnect now\n", "s.txt:1: padconnect takes 0 arguments"},
        {"1 padconnect\n2 paddown\n", "s.txt:2: paddown takes 1 argument"},
        {"1 padconnect\n2 padaxis LEFTX\n", "s.txt:2: padaxis takes 2 arguments"},
        {"1 paddown A\n", "s.txt:1: the pad is not connected at step 1: a padconnect must come first"},
        {"5 padconnect\n3 padaxis LEFTX 100\n", "s.txt:2: the pad is not connected at step 3"},
        {"1 padconnect\n4 paddisconnect\n4 padup A\n", "s.txt:3: the pad is not connected at step 4"},
    };
    for (const auto& c : cases) {
        InputScript bad;
        EXPECT_FALSE(ParseInputScript(c.text, "s.txt", &bad, &err)) << c.text;
        EXPECT_EQ(err.rfind(c.want, 0), 0u) << "got: " << err;
        EXPECT_TRUE(bad.events.empty());
    }
}
