#pragma once

#include <string>

namespace examo {

// The desktop's registry of file types: default text values of keys and their subkeys
// ("ExamoMe", "shell\open\command"). An empty subKey means the key itself.
class FileTypeRegistry {
public:
    virtual ~FileTypeRegistry() = default;
    // False when the value could not be recorded.
    virtual bool setValue(const std::string& key, const std::string& subKey,
                          const std::string& value) = 0;
};

} // namespace examo
