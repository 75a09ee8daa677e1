#include "platform/linux/qtspeech.h"

namespace examo {

QtSpeech::QtSpeech() = default;

QtSpeech::~QtSpeech() {
    // A student who closes the window does not want the reading to go on without it.
    stop();
}

QTextToSpeech* QtSpeech::engine() {
    if (!m_tried) {
        m_tried = true;
        if (!QTextToSpeech::availableEngines().isEmpty()) {
            auto engine = std::make_unique<QTextToSpeech>();
            // A plugin without its daemon (speech-dispatcher not installed) is no engine.
            if (engine->state() != QTextToSpeech::Error) {
                QObject::connect(engine.get(), &QTextToSpeech::stateChanged, engine.get(),
                                 [this](QTextToSpeech::State state) {
                                     if (state == QTextToSpeech::Ready ||
                                         state == QTextToSpeech::Error)
                                         m_speaking = false;
                                 });
                m_engine = std::move(engine);
            }
        }
    }
    return m_engine.get();
}

bool QtSpeech::available() {
    return engine() != nullptr;
}

void QtSpeech::say(const QString& text) {
    if (QTextToSpeech* e = engine()) {
        m_speaking = true;
        e->say(text);
    }
}

void QtSpeech::stop() {
    // Without an engine made, nothing can be reading: none is started just to stop it.
    if (m_engine)
        m_engine->stop();
    m_speaking = false;
}

bool QtSpeech::speaking() const {
    // Our own account: an engine that cannot reach the sound card may never say it is done,
    // and a second F5 must still stop rather than start again.
    return m_speaking;
}

QTextToSpeech::State QtSpeech::engineState() const {
    return m_engine ? m_engine->state() : QTextToSpeech::Ready;
}

} // namespace examo
