#pragma once

#include "platform/avifilelibrary.h"

#include <set>
#include <string>
#include <vector>

namespace examo::fakes {

// Keeps the frames written and the handles not yet released; each step's result is scripted.
class FakeAviFileLibrary : public AviFileLibrary {
public:
    void fileInit() override { ++inits; }
    void fileExit() override { --inits; }
    long fileOpen(AviFileHandle& file, const std::string&, std::uint32_t) override {
        return make(file, openResult);
    }
    long fileCreateStream(AviFileHandle, AviStreamHandle& stream,
                          const AviStreamInfo& info) override {
        lastInfo = info;
        return make(stream, createStreamResult);
    }
    long saveOptions(std::intptr_t, std::uint32_t, AviStreamHandle,
                     AviCompressOptions& options) override {
        options = chosenOptions;
        return saveOptionsResult;
    }
    long saveOptionsFree(AviCompressOptions&) override { return 0; }
    long makeCompressedStream(AviStreamHandle& compressed, AviStreamHandle,
                              const AviCompressOptions&) override {
        return make(compressed, compressResult);
    }
    long streamSetFormat(AviStreamHandle, std::int32_t, std::span<const std::uint8_t>) override {
        return setFormatResult;
    }
    long streamWrite(AviStreamHandle, std::int32_t, std::int32_t,
                     std::span<const std::uint8_t> data, std::uint32_t) override {
        if (writeResult == 0)
            frames.emplace_back(data.begin(), data.end());
        return writeResult;
    }
    long streamRelease(AviStreamHandle stream) override { return release(stream); }
    long fileRelease(AviFileHandle file) override {
        release(file);
        return fileReleaseResult;
    }

    int inits = 0;
    std::set<std::intptr_t> live; // handles made and not released
    std::vector<std::vector<std::uint8_t>> frames;
    AviStreamInfo lastInfo;
    AviCompressOptions chosenOptions{"mjpeg", 0, 0, 0};
    long openResult = 0;
    long createStreamResult = 0;
    long saveOptionsResult = 1;
    long compressResult = 0;
    long setFormatResult = 0;
    long writeResult = 0;
    long fileReleaseResult = 0;

private:
    long make(std::intptr_t& handle, long result) {
        handle = result == 0 ? ++m_next : 0;
        if (result == 0)
            live.insert(handle);
        return result;
    }
    long release(std::intptr_t handle) { return live.erase(handle) == 1 ? 0 : avierr::kBadHandle; }

    std::intptr_t m_next = 0;
};

} // namespace examo::fakes
