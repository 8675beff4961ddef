// Where each picture of the menus' atlases lies, as the pack generator lays
// them out: the pack's tests check every one holds its picture and nothing
// spills over, and the front end's tests that every sprite a screen draws is
// cut from exactly one of them.
#pragma once

#include <vector>

struct Rect4 {
    int l, t, r, b;
};

inline std::vector<Rect4> MenuLogRects()
{
    return {{2, 2, 447, 118},     {2, 122, 447, 238},   {2, 242, 447, 358},   {2, 362, 447, 478},
            {451, 2, 612, 97},    {451, 101, 612, 196}, {451, 200, 612, 295}, {2, 482, 180, 563},
            {184, 482, 362, 563}, {366, 482, 544, 563}, {2, 567, 180, 648},   {184, 567, 362, 648},
            {2, 652, 462, 787},   {2, 791, 462, 924},   {465, 584, 927, 721}, {2, 928, 273, 994},
            {276, 928, 547, 994}, {550, 928, 821, 994}, {466, 775, 619, 848}, {466, 851, 696, 924},
            {616, 1, 881, 66},    {616, 148, 819, 213}, {616, 215, 911, 280}, {616, 68, 882, 146},
            {466, 724, 514, 772}, {517, 724, 564, 772}, {874, 963, 1023, 1023}};
}

inline std::vector<Rect4> LogoRects()
{
    std::vector<Rect4> logo = {{0, 0, 30, 30},    {30, 0, 60, 30},    {420, 0, 440, 20},
                               {420, 20, 440, 40}, {0, 31, 165, 71},   {0, 71, 165, 111},
                               {168, 31, 286, 99}, {287, 31, 404, 99}, {353, 108, 510, 161}};
    for (int d = 0; d < 10; ++d) logo.push_back({65 + 35 * d, 0, 100 + 35 * d, 30});
    for (int k = 0; k < 9; ++k) logo.push_back({172, 100 + 38 * k, 337, 138 + 38 * k});
    return logo;
}

inline std::vector<Rect4> ForcesCaptionRects() { return {{0, 2, 512, 104}, {0, 107, 512, 223}, {0, 227, 512, 337}}; }
