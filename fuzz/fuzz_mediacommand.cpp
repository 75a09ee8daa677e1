// Any command text sent to the media command service must be answered with a result number
// and a reply that fits the caller's buffer, never a crash. Each line of the input is one
// command; the first byte is the reply capacity. Files that exist are never opened here: a
// pipeline per input would make the run crawl, and the fuzzer must not play the machine's files.
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

// True when the line would open a file that exists.
bool opensAFile(const std::string& line, const examo::PercentShortPath& shortPaths) {
    const auto w = words(line);
    if (w.size() < 2)
        return false;
    std::string verb = w[0];
    std::transform(verb.begin(), verb.end(), verb.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::size_t bang = w[1].find('!');
    if (verb != "open" || bang == std::string::npos)
        return false;
    const std::string path = shortPaths.longPathOf(w[1].substr(bang + 1));
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const examo::GstEnvironment env;
    static examo::PercentShortPath shortPaths;
    if (size == 0)
        return 0;
    const std::uint32_t capacity = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    examo::GstMediaCommandService service(env, shortPaths);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string line(text.substr(start, end - start));
        start = end + 1;
        if (opensAFile(line, shortPaths))
            continue;
        std::string reply(capacity, 'x');
        (void)service.send(line, reply, capacity);
        // What a fixed buffer could not hold must never be written.
        if (capacity != 0 && reply.size() > capacity)
            __builtin_trap();
    }
    return 0;
}
