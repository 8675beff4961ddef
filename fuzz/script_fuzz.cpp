// The input-script reader (--script, and recordings played back): a script
// is read whole or refused with "NAME:LINE: what is wrong", never half read.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "harness.h"
#include "platform/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    InputScript script;
    std::string error;
    if (ParseInputScript(text, "fuzz.script", &script, &error)) {
        auto later = [](const ScriptEvent& a, const ScriptEvent& b) { return a.step < b.step; };
        if (!std::is_sorted(script.events.begin(), script.events.end(), later)) std::abort();
        for (const ScriptEvent& e : script.events)
            if (e.step == 0) std::abort();
        ScriptQuits(script);
    } else if (error.rfind("fuzz.script:", 0) != 0 || !fuzz::Plain(error) || !script.events.empty()) {
        std::abort();  // a refusal that does not name the file, quotes control bytes, or a script half read
    }
    return 0;
}
