// The command line: the input split at its NUL bytes into arguments after
// the program's name.  Every flag list is taken or refused with a message.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/cmdline.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words{"varnok"};
    std::string word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    if (size > 0) words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);
    CommandLine cl;
    std::string error;
    if (ParseCommandLine(static_cast<int>(words.size()), argv.data(), &cl, &error)) {
        if (cl.earthCount < 1 || cl.earthCount > 16 || cl.mercuryCount < 1 || cl.mercuryCount > 16 ||
            cl.minutes < 5 || cl.minutes > 90 || cl.skyId < 200 || cl.skyId > 208)
            std::abort();  // a setting outside what the battle takes
    } else if (error.empty() || !fuzz::Plain(error)) {
        std::abort();  // a refusal without a word of why, or quoting control bytes
    }
    return 0;
}
