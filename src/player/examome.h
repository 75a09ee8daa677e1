#pragma once

#include "player/frmexamome.h"
#include "player/modexamo.h"

namespace examo {

// The quiz player put together over its services: the window, the quiz module and the link
// between them. main() gives it this desktop's services; tests give it fakes.
class ExamoMe {
public:
    explicit ExamoMe(PlayerServices& services) : m_module(m_form, services) {
        m_form.attach(&m_module);
    }

    frmExamoMe& window() { return m_form; }
    modExamo& module() { return m_module; }

private:
    frmExamoMe m_form;
    modExamo m_module;
};

} // namespace examo
