// Hostile files through the real entry points of both programs: the player's open, the
// creator's open and save, the log viewer's open, the AVI maker's add and the score-log append.
// Each row names its input, the message a person sees, and checks that nothing was lost and
// nothing written where it should not be.
#include "hostilerows.h"

#include <gtest/gtest.h>

using namespace examo::testing::hostile;
using examo::testing::TempFolder;

class HostileInputs : public ::testing::Test, examo::testing::SilentAudio {};

TEST_F(HostileInputs, EveryEntryPointGivesItsMessageLosesNothingAndWritesNothingElsewhere) {
    const std::vector<Row> table = rows();
    EXPECT_GE(table.size(), 40u);
    for (const Row& row : table) {
        SCOPED_TRACE(row.input + " through the " + nameOf(row.entry));
        TempFolder dir;
        const std::string path = row.make(dir);
        const auto before = snapshot(dir.folder());
        const std::vector<std::string> seen = take(row, dir, path);
        std::string shown;
        for (const auto& t : seen)
            shown += "[" + t + "] ";
        ASSERT_EQ(seen.size(), row.messages.size()) << shown;
        for (std::size_t i = 0; i < seen.size(); ++i)
            EXPECT_NE(seen[i].find(row.messages[i]), std::string::npos) << shown;
        if (!row.writes) {
            EXPECT_EQ(snapshot(dir.folder()), before);
        }
        // A read-only folder must be writable again for the folder to be removed.
        std::error_code ec;
        fs::permissions(dir.path("locked"), fs::perms::owner_all, ec);
    }
}
