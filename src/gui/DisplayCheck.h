// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Whether the windows can open here. Qt ends the program when the display
// it is given does not answer; this asks first.
struct DisplayCheck {
    enum class State {
        Usable,  // a display answers, or one Qt reaches by other means is named
        Missing,  // no display is named
        Broken,  // the X display named in DISPLAY does not answer
    };
    State state = State::Usable;
    QString reason;  // for Missing and Broken: why, in a few words

    static DisplayCheck run();
};
