// The GStreamer services, in a module of their own that programs load on first use.
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/gstservices.h"
#include "platform/linux/gstwaveplayer.h"

namespace {

class Services : public examo::GstServices {
public:
    explicit Services(const examo::PercentShortPath& shortPaths) : m_commands(m_env, shortPaths) {}

    examo::MediaCommandService& commands() override { return m_commands; }
    examo::WavePlayer& waves() override { return m_waves; }
    void start() override { m_env.start(); }

private:
    examo::GstEnvironment m_env;
    examo::GstMediaCommandService m_commands;
    examo::GstWavePlayer m_waves{m_env};
};

} // namespace

extern "C" __attribute__((visibility("default"))) examo::GstServices*
examo_make_gst_services(const examo::PercentShortPath& shortPaths) {
    return new Services(shortPaths);
}
