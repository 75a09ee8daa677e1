#include "fakes/fakedialogs.h"
#include "fakes/fakeeventpump.h"
#include "fakes/fakemedia.h"
#include "fakes/fakemediaservices.h"
#include "media/modsound.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace examo;
using Commands = std::vector<std::string>;

namespace {

struct Box : DisplayBox {
    Box(double w, double h) : w(w), h(h) {}
    double ScaleWidth() const override { return w; }
    double ScaleHeight() const override { return h; }
    std::intptr_t hWnd() const override { return 4711; }
    double w, h;
};

class ModSound : public ::testing::Test, protected fakes::FakeMediaServices {
protected:
    ModSound() {
        shortPaths.shortForms["/media/My Films/clip.avi"] = "/media/My%20Films/clip.avi";
        shortPaths.shortForms["/m/clip.mpg"] = "/m/clip.mpg";
        shortPaths.shortForms["/m/tune.mid"] = "/m/tune.mid";
        shortPaths.shortForms["/m/song.mp3"] = "/m/song.mp3";
        mci.replies["capability movie can stretch"] = "true";
    }

    // The commands an AVI of w by h in a 320 by 240 box sends.
    Commands aviIn320x240(int w, int h) {
        mci.replies["where movie source"] = "0 0 " + std::to_string(w) + " " + std::to_string(h);
        modSound::PlayAviMovie(media, "/media/My Films/clip.avi", Box(320.7, 240.2), true);
        return mci.commands;
    }
};

const std::string kAviOpen = "open AVIvideo!/media/My%20Films/clip.avi alias movie";

} // namespace

TEST_F(ModSound, AnAviIsCentredAtItsSizeOrShrunkToFillTheBox) {
    EXPECT_EQ(aviIn320x240(160, 120),
              (Commands{kAviOpen, "window movie handle 4711", "capability movie can stretch",
                        "where movie source", "put movie destination at  80  60  160  120",
                        "play movie"}));
    EXPECT_EQ(pump.runs, 1);
    const std::tuple<int, int, const char*> cases[] = {
        {640, 480, "put movie destination at 0 0  320  240"},
        {400, 200, "put movie destination at -40  20  400  200"}, // wide: keeps its size
        // Halves round to the even neighbour.
        {161, 121, "put movie destination at  80  60  161  121"},
        {163, 123, "put movie destination at  78  58  163  123"},
    };
    for (const auto& [w, h, placement] : cases) {
        mci.commands.clear();
        EXPECT_EQ(aviIn320x240(w, h).at(4), placement);
    }
}

TEST_F(ModSound, ADeviceThatCannotStretchGetsNoPlacement) {
    mci.replies["capability movie can stretch"] = "false";
    EXPECT_EQ(aviIn320x240(160, 120), (Commands{kAviOpen, "window movie handle 4711",
                                                "capability movie can stretch", "play movie"}));
}

TEST_F(ModSound, AMissingMovieClosesAllAndSaysSo) {
    mci.results["open AVIvideo!error alias movie"] = 275;
    mci.results["window movie handle 4711"] = 263;
    modSound::PlayAviMovie(media, "/nowhere/clip.avi", Box(320, 240), true);
    EXPECT_EQ(mci.commands, (Commands{"open AVIvideo!error alias movie", "window movie handle 4711",
                                      "close all"}));
    EXPECT_EQ(dialogs.texts(), Commands{"Error playing AVI"});
    EXPECT_EQ(pump.runs, 0);

    mci.commands.clear();
    modSound::PlayMpegMovie(media, "/nowhere/clip.avi", Box(320, 240), true);
    EXPECT_EQ(mci.commands.back(), "close all");
    EXPECT_EQ(dialogs.messages.back().text, "Error playing MPEG");
}

TEST_F(ModSound, AnMpegSmallerThanTheBoxIsStretchedToFillIt) {
    mci.replies["where movie source"] = "0 0 160 120";
    modSound::PlayMpegMovie(media, "/m/clip.mpg", Box(270, 270), true);
    EXPECT_EQ(mci.commands, (Commands{"open MPEGvideo!/m/clip.mpg alias movie",
                                      "window movie handle 4711", "capability movie can stretch",
                                      "put movie destination at 0 0  270  270", "play movie"}));
}

TEST_F(ModSound, TunesOpenUnderTheSongAlias) {
    modSound::PlayMidiFile(media, "/m/tune.mid");
    modSound::PlayMp3File(media, "/m/song.mp3");
    modSound::CloseAllMedia(media);
    EXPECT_EQ(mci.commands,
              (Commands{"open sequencer!/m/tune.mid alias song ", "play song",
                        "open MPEGvideo!/m/song.mp3 alias song ", "play song", "close all"}));
    // The service's failures are not looked at.
    mci.results["play song"] = 1;
    modSound::PlayMidiFile(media, "/nowhere.mid");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ModSound, ModeWordsInAnyCase) {
    const std::pair<const char*, unsigned> cases[] = {
        {"SYNC", 0}, {"Async", 1}, {"LOOP", 9}, {"", 1}, {"synchronous", 1}};
    for (const auto& [mode, flags] : cases)
        EXPECT_EQ(modSound::WaveFlags(mode), flags) << mode;

    modSound::PlayWaveFile(media, "/My Sounds/a b.wav", "Sync");
    ASSERT_EQ(waves.plays.size(), 1u);
    EXPECT_EQ(waves.plays[0].path, "/My Sounds/a b.wav"); // not shortened
    EXPECT_EQ(waves.plays[0].flags, 0u);
}

TEST_F(ModSound, BuiltInSoundsPlayFromMemoryAndStayHeld) {
    resources.items[123] = {'R', 'I', 'F', 'F', 1, 2, 3};
    modSound::PlayResourceWave(media, 123, "loop");
    modSound::PlayResourceWave(media, 999, "sync"); // missing: ignored, nothing played
    ASSERT_EQ(waves.plays.size(), 1u);
    EXPECT_EQ(waves.plays[0].flags, 13u);
    EXPECT_EQ(waves.plays[0].image, resources.items[123]);
    EXPECT_EQ(media.playingResource, resources.items[123]);
    modSound::PlayResourceWave(media, 123, "sync");
    EXPECT_EQ(waves.plays[1].flags, 4u);
}
