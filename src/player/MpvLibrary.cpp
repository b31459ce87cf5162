// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/MpvLibrary.h"

#include <QLibrary>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMpv)

namespace {

template <typename Function> bool resolve(QLibrary& library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

const MpvLibrary* load()
{
    static MpvLibrary api;
    // The library stays loaded for the rest of the run, as a linked one would.
    static QLibrary library(QStringLiteral("mpv"), MPV_CLIENT_API_VERSION >> 16);
    if (!library.load()) {
        qCWarning(lcMpv).noquote() << "quillon: libmpv could not be loaded:" << library.errorString();
        return nullptr;
    }
    const bool complete = resolve(library, "mpv_create", api.create)
        && resolve(library, "mpv_initialize", api.initialize)
        && resolve(library, "mpv_terminate_destroy", api.terminate_destroy)
        && resolve(library, "mpv_set_option_string", api.set_option_string)
        && resolve(library, "mpv_observe_property", api.observe_property)
        && resolve(library, "mpv_set_wakeup_callback", api.set_wakeup_callback)
        && resolve(library, "mpv_wait_event", api.wait_event)
        && resolve(library, "mpv_command_async", api.command_async)
        && resolve(library, "mpv_get_property", api.get_property)
        && resolve(library, "mpv_error_string", api.error_string);
    if (!complete) {
        qCWarning(lcMpv).noquote() << "quillon: libmpv lacks a call the player needs:" << library.errorString();
        return nullptr;
    }
    return &api;
}

}  // namespace

const MpvLibrary* MpvLibrary::instance()
{
    static const MpvLibrary* const api = load();
    return api;
}
