#pragma once

#include "storage/record.h"

#include <string>
#include <vector>

namespace examo::testing {

// A full quiz of about 300 KB whose every question depends on the version, so any two
// versions differ all through the file.
inline std::vector<std::string> bigQuiz(int version) {
    std::vector<std::string> records;
    for (int q = 0; q < 100; ++q) {
        const std::string text = "Version " + std::to_string(version) + " question " +
                                 std::to_string(q) + ": " +
                                 std::string(3000, static_cast<char>('a' + (version + q) % 26));
        records.push_back(record::BuildMultipleChoice("m", text, {"Cow", "Hen", "Pig", "Goat"},
                                                      "none", (version + q) % 4));
    }
    return records;
}

} // namespace examo::testing
