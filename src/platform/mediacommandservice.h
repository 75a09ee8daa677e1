#pragma once

#include <cstdint>
#include <string>

namespace examo {

// The media command service: text commands such as "open AVIvideo!/a.avi alias movie".
class MediaCommandService {
public:
    virtual ~MediaCommandService() = default;
    // Runs one command. The reply text goes into reply (at most replyCapacity - 1 characters,
    // the service ends it with a NUL as a fixed buffer would hold it). 0 on success,
    // an error number otherwise.
    virtual std::uint32_t send(const std::string& command, std::string& reply,
                               std::uint32_t replyCapacity) = 0;
};

} // namespace examo
