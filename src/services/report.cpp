#include "services/report.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

// Starts a value: the comma before it and its key inside an object.
void JsonWriter::Key(const char* key)
{
    if (needComma_) out_ += ',';
    needComma_ = true;
    if (key) {
        Quoted(key);
        out_ += ':';
    }
}

void JsonWriter::BeginObject(const char* key)
{
    Key(key);
    out_ += '{';
    needComma_ = false;
}

void JsonWriter::EndObject()
{
    out_ += '}';
    needComma_ = true;
}

void JsonWriter::BeginArray(const char* key)
{
    Key(key);
    out_ += '[';
    needComma_ = false;
}

void JsonWriter::EndArray()
{
    out_ += ']';
    needComma_ = true;
}

void JsonWriter::Number(const char* key, double value)
{
    Key(key);
    if (!std::isfinite(value)) {
        out_ += "null";  // JSON has no NaN or infinity
        return;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.6g", value);
    out_ += buf;
}

void JsonWriter::Integer(const char* key, long long value)
{
    Key(key);
    out_ += std::to_string(value);
}

void JsonWriter::Bool(const char* key, bool value)
{
    Key(key);
    out_ += value ? "true" : "false";
}

void JsonWriter::String(const char* key, const std::string& value)
{
    Key(key);
    Quoted(value);
}

void JsonWriter::Quoted(const std::string& value)
{
    out_ += '"';
    for (unsigned char c : value) {
        switch (c) {
        case '"': out_ += "\\\""; break;
        case '\\': out_ += "\\\\"; break;
        case '\n': out_ += "\\n"; break;
        case '\r': out_ += "\\r"; break;
        case '\t': out_ += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out_ += buf;
            } else {
                out_ += static_cast<char>(c);
            }
        }
    }
    out_ += '"';
}

static std::vector<ReportSection>& Sections()
{
    static std::vector<ReportSection> sections;
    return sections;
}

void AddReportSection(ReportSection section)
{
    for (ReportSection s : Sections())
        if (s == section) return;
    Sections().push_back(section);
}

std::string BuildReport()
{
    JsonWriter w;
    w.BeginObject();
    for (ReportSection s : Sections()) s(w);
    w.EndObject();
    return w.Text() + "\n";
}

bool WriteReport(const std::string& path)
{
    std::string text = BuildReport();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f) ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::fprintf(stderr, "%s: the report cannot be written\n", path.c_str());
    return ok;
}
