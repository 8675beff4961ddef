#include <gtest/gtest.h>

#include <cmath>

#include "services/report.h"

TEST(Report, WriterProducesValidNestedJson)
{
    JsonWriter w;
    w.BeginObject();
    w.Integer("frames", 300);
    w.String("scene", "A \"quoted\"\\ name\n\x01");
    w.BeginObject("step_ms");
    w.Number("mean", 16.5);
    w.Number("bad", std::nan(""));
    w.EndObject();
    w.BeginArray("units");
    w.BeginObject();
    w.Bool("alive", true);
    w.EndObject();
    w.BeginObject();
    w.EndObject();
    w.EndArray();
    w.EndObject();
    EXPECT_EQ(w.Text(),
              "{\"frames\":300,\"scene\":\"A \\\"quoted\\\"\\\\ name\\n\\u0001\","
              "\"step_ms\":{\"mean\":16.5,\"bad\":null},\"units\":[{\"alive\":true},{}]}");
}

namespace {
void SectionA(JsonWriter& w) { w.Integer("a", 1); }
void SectionB(JsonWriter& w) { w.Integer("b", 2); }
}  // namespace

TEST(Report, SectionsWriteInTheOrderAddedAndOnlyOnce)
{
    AddReportSection(SectionA);
    AddReportSection(SectionB);
    AddReportSection(SectionA);
    std::string r = BuildReport();
    size_t a = r.find("\"a\":1"), b = r.find("\"b\":2");
    ASSERT_NE(a, std::string::npos);
    ASSERT_NE(b, std::string::npos);
    EXPECT_LT(a, b);
    EXPECT_EQ(r.find("\"a\":1", a + 1), std::string::npos);
    EXPECT_FALSE(WriteReport("/nonexistent-dir/r.json"));
}
