#pragma once

#include "platform/speech.h"

#include <QTextToSpeech>

#include <memory>

namespace examo {

// Reading aloud through Qt TextToSpeech (speech-dispatcher on Linux desktops). The engine is
// made the first time it is needed, so a program that never reads aloud never starts one.
class QtSpeech : public Speech {
public:
    QtSpeech();
    ~QtSpeech() override;
    QtSpeech(const QtSpeech&) = delete;
    QtSpeech& operator=(const QtSpeech&) = delete;

    bool available() override;
    void say(const QString& text) override;
    void stop() override;
    bool speaking() const override;

    // The engine's own state, Ready when there is none.
    QTextToSpeech::State engineState() const;
    QTextToSpeech* engine();

private:
    bool m_tried = false;
    bool m_speaking = false;
    std::unique_ptr<QTextToSpeech> m_engine;
};

} // namespace examo
