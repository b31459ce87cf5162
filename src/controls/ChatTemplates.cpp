// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ChatTemplates.h"

#include "controls/Notice.h"

ChatTemplates::ChatTemplates()
    : font(QStringLiteral("<FONT FACE=\"MS Reference Serif\"><FONT COLOR=#0080ff></u></i></b>")),
      playing(Notice::pairAfterClose(QStringLiteral("Playing"), QStringLiteral("%s"))
              + QStringLiteral("</U> <FONT COLOR=#0080ff >\u00bb<FONT COLOR=#000000> <U><FONT "
                               "COLOR=#0080c0><u>%n</u><FONT COLOR=#000000><FONT COLOR=#0080ff>")),
      playingTitle(QStringLiteral("P</b>laying [%s]")),
      ignored(Notice::pairAfterClose(QStringLiteral("Ignored"), QStringLiteral("%p"))),
      unignored(Notice::pairAfterClose(QStringLiteral("UnIgnored"), QStringLiteral("%p"))),
      streamPlaying(QStringLiteral("\u00bb <u>Playing</u> \u00bb <u>URL</u>")),
      inputClose(QStringLiteral("</font>"))
{ }
