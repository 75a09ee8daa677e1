#pragma once

#include "platform/avifilelibrary.h"

#include <string>
#include <vector>

namespace examo::fakes {

// Records each call by name; results are scripted per operation name.
class FakeAviFileLibrary : public AviFileLibrary {
public:
    void fileInit() override { calls.push_back("AVIFileInit"); }
    void fileExit() override { calls.push_back("AVIFileExit"); }
    long fileOpen(AviFileHandle& file, const std::string& path, std::uint32_t mode) override {
        calls.push_back("AVIFileOpen|" + path + "|" + std::to_string(mode));
        file = openResult == 0 ? 1 : 0;
        return openResult;
    }
    long fileCreateStream(AviFileHandle, AviStreamHandle& stream,
                          const AviStreamInfo& info) override {
        calls.push_back("AVIFileCreateStream");
        lastInfo = info;
        stream = createStreamResult == 0 ? 2 : 0;
        return createStreamResult;
    }
    long saveOptions(std::intptr_t, std::uint32_t flags, AviStreamHandle,
                     AviCompressOptions& options) override {
        calls.push_back("AVISaveOptions|" + std::to_string(flags));
        options = chosenOptions;
        return saveOptionsResult;
    }
    long saveOptionsFree(AviCompressOptions&) override {
        calls.push_back("AVISaveOptionsFree");
        return 0;
    }
    long makeCompressedStream(AviStreamHandle& compressed, AviStreamHandle,
                              const AviCompressOptions&) override {
        calls.push_back("AVIMakeCompressedStream");
        compressed = compressResult == 0 ? 3 : 0;
        return compressResult;
    }
    long streamSetFormat(AviStreamHandle, std::int32_t position,
                         std::span<const std::uint8_t> format) override {
        calls.push_back("AVIStreamSetFormat|" + std::to_string(position) + "|" +
                        std::to_string(format.size()));
        return setFormatResult;
    }
    long streamWrite(AviStreamHandle, std::int32_t start, std::int32_t samples,
                     std::span<const std::uint8_t> data, std::uint32_t flags) override {
        calls.push_back("AVIStreamWrite|" + std::to_string(start) + "|" + std::to_string(samples) +
                        "|" + std::to_string(data.size()) + "|" + std::to_string(flags));
        return writeResult;
    }
    long streamRelease(AviStreamHandle stream) override {
        calls.push_back("AVIStreamRelease|" + std::to_string(stream));
        return 0;
    }
    long fileRelease(AviFileHandle) override {
        calls.push_back("AVIFileRelease");
        return 0;
    }

    std::vector<std::string> calls;
    AviStreamInfo lastInfo;
    AviCompressOptions chosenOptions{"mjpeg", 0, 0, 0};
    long openResult = 0;
    long createStreamResult = 0;
    long saveOptionsResult = 1;
    long compressResult = 0;
    long setFormatResult = 0;
    long writeResult = 0;
};

} // namespace examo::fakes
