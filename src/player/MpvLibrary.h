// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mpv/client.h>

// The libmpv calls the player makes, resolved when the first song starts
// instead of when the program starts: libmpv brings some two hundred
// libraries with it, which would add a tenth of a second to every start and
// memory to a program that may never play.
struct MpvLibrary {
    decltype(&::mpv_create) create;
    decltype(&::mpv_initialize) initialize;
    decltype(&::mpv_terminate_destroy) terminate_destroy;
    decltype(&::mpv_set_option_string) set_option_string;
    decltype(&::mpv_observe_property) observe_property;
    decltype(&::mpv_set_wakeup_callback) set_wakeup_callback;
    decltype(&::mpv_wait_event) wait_event;
    decltype(&::mpv_command_async) command_async;
    decltype(&::mpv_get_property) get_property;
    decltype(&::mpv_error_string) error_string;

    // The loaded library, or null when it cannot be found or lacks a call.
    static const MpvLibrary* instance();
};
