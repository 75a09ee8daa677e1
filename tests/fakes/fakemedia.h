#pragma once

#include "platform/mediacommandservice.h"
#include "platform/resources.h"
#include "platform/shortpath.h"
#include "platform/waveplayer.h"

#include <map>
#include <string>
#include <vector>

namespace examo::fakes {

// Records each command; answers from a table of replies and results by command text.
class FakeMediaCommandService : public MediaCommandService {
public:
    std::uint32_t send(const std::string& command, std::string& reply,
                       std::uint32_t replyCapacity) override {
        commands.push_back(command);
        const auto r = replies.find(command);
        reply = r == replies.end() ? std::string() : r->second.substr(0, replyCapacity - 1);
        const auto e = results.find(command);
        return e == results.end() ? 0 : e->second;
    }

    std::vector<std::string> commands;
    std::map<std::string, std::string> replies;
    std::map<std::string, std::uint32_t> results;
};

class FakeWavePlayer : public WavePlayer {
public:
    struct Play {
        std::string path; // empty for a wave from memory
        std::vector<std::uint8_t> image;
        std::uint32_t flags;
    };
    bool playFile(const std::string& path, std::uint32_t flags) override {
        plays.push_back({path, {}, flags});
        return accept;
    }
    bool playMemory(std::span<const std::uint8_t> image, std::uint32_t flags) override {
        plays.push_back({{}, {image.begin(), image.end()}, flags});
        return accept;
    }

    std::vector<Play> plays;
    bool accept = true;
};

// Answers with a blank-free form of the paths it is told exist.
class FakeShortPath : public ShortPath {
public:
    std::uint32_t getShortPathName(const std::string& longPath, std::string& buffer,
                                   std::uint32_t capacity) override {
        const auto it = shortForms.find(longPath);
        if (it == shortForms.end() || it->second.size() > capacity)
            return 0;
        buffer = it->second;
        return static_cast<std::uint32_t>(it->second.size());
    }
    std::map<std::string, std::string> shortForms;
};

class FakeResources : public Resources {
public:
    std::optional<std::vector<std::uint8_t>> load(const std::string& type, int number) override {
        requests.emplace_back(type, number);
        const auto it = items.find(number);
        if (type != "CUSTOM" || it == items.end())
            return std::nullopt;
        return it->second;
    }
    std::map<int, std::vector<std::uint8_t>> items;
    std::vector<std::pair<std::string, int>> requests;
};

} // namespace examo::fakes
