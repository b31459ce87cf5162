#pragma once

#include "chatlink/SimDesktop.h"
#include "support/TestForm.h"

// A main form whose chat clients run on a simulated desktop; every
// transcript line shows the time "10:15:02 PM".
struct SimForm : BasicTestForm<SimDesktop> {
    SimForm()
    {
        desktop.clock = [] { return std::string("10:15:02 PM"); };
    }
};
