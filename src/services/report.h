// The run report: one JSON object written at exit when --report is given.
// Each module that has something to tell adds a section; the writer calls
// every section in the order they were added.
#pragma once

#include <string>

// A small streaming JSON writer; keys and commas are handled for the caller.
class JsonWriter {
public:
    void BeginObject(const char* key = nullptr);
    void EndObject();
    void BeginArray(const char* key = nullptr);
    void EndArray();
    void Number(const char* key, double value);
    void Integer(const char* key, long long value);
    void String(const char* key, const std::string& value);
    void Bool(const char* key, bool value);
    const std::string& Text() const { return out_; }

private:
    void Key(const char* key);
    void Quoted(const std::string& value);
    std::string out_;
    bool needComma_ = false;
};

using ReportSection = void (*)(JsonWriter& w);

// Adds a section writer; adding the same one twice keeps one.
void AddReportSection(ReportSection section);
std::string BuildReport();
// Writes the report to `path`; false (with a line on stderr) when it cannot.
bool WriteReport(const std::string& path);
