// What a piece of drawing put on the null device, for tests that check
// where things are drawn: every sprite and text of one call, and the
// sprites cut from one rectangle of one picture.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/test_hooks.h"
#include "services/display.h"

struct Drawn {
    std::vector<gfx::DrawnSprite> sprites;
    std::vector<gfx::DrawnText> texts;

    Drawn() = default;
    template <class F>
    explicit Drawn(F draw)
    {
        gfx::RecordSprites(&sprites, &texts);
        draw();
        gfx::RecordSprites(nullptr, nullptr);
    }
    std::vector<gfx::DrawnSprite> Of(const gfx::Texture* tex, gfx::Rect src) const
    {
        std::vector<gfx::DrawnSprite> out;
        for (const auto& d : sprites)
            if (d.texture == tex && d.src.left == src.left && d.src.top == src.top && d.src.right == src.right &&
                d.src.bottom == src.bottom)
                out.push_back(d);
        return out;
    }
    const gfx::DrawnText* Text(const std::string& text) const
    {
        for (const auto& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
};

// Every draw call made inside one call.
template <class F>
std::vector<gfx::DrawnCall> DrawCalls(F draw)
{
    std::vector<gfx::DrawnCall> calls;
    gfx::RecordDraws(&calls);
    draw();
    gfx::RecordDraws(nullptr);
    return calls;
}

// A picture loaded at the size its atlas rectangles are laid out for.
inline void ExpectTextureSize(gfx::Texture* texture, uint32_t width, uint32_t height)
{
    ASSERT_NE(texture, nullptr);
    gfx::SurfaceDesc d{};
    gfx::GetLevelDesc(texture, 0, &d);
    EXPECT_EQ(d.width, width);
    EXPECT_EQ(d.height, height);
}

inline Vec3 Middle(const gfx::DrawnSprite& d) { return (d.lo + d.hi) * 0.5f; }

// The back buffer at this size and the menus' scale to match it.
inline void UseScreenSize(int width, int height)
{
    SetBackBufferSize(width, height);
    scaleX = static_cast<float>(width) / 800.0f;
    scaleY = static_cast<float>(height) / 600.0f;
}
