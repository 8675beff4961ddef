// A test fixture with the game's device on the null backend, in a headless
// window of 800 x 600, that puts the working directory back afterwards.
#pragma once

#include <gtest/gtest.h>
#include "platform/test_hooks.h"
#include <unistd.h>

#include <climits>

#include "services/device.h"
#include "services/display.h"
#include "services/options.h"
#include "platform/system.h"

class HeadlessDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sys::Init(sys::Backend::Headless, true));
        ASSERT_TRUE(sys::CreateMainWindow({"VARNOK", "test", 800, 600, false}, nullptr));
        OptionData = kDefaultOptions;
        ASSERT_EQ(CreateDevice3D(true), 1);
        scaleX = scaleY = 1.0f;  // the menus' scale for this 800 x 600, whatever a test before left
        ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    }
    void TearDown() override
    {
        gfx::RefuseTextureFormat(gfx::FMT_UNKNOWN);
        ReleaseShadowResources();
        ReleaseFontsAndSprite();
        ReleaseDevice3D();
        sys::Shutdown();
        EXPECT_EQ(chdir(cwd_), 0);
    }
    char cwd_[PATH_MAX];
};
