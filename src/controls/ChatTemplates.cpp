// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ChatTemplates.h"

ChatTemplates::ChatTemplates()
    : font(QStringLiteral("<FONT FACE=\"MS Reference Serif\"><FONT COLOR=#0080ff></u></i></b>")),
      playing(QStringLiteral(
          "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Playing</U> <FONT COLOR=#0080ff>\u00bb<FONT "
          "COLOR=#000000> "
          "<U></FONT><FONT COLOR=#0080c0>%s</U> <FONT COLOR=#0080ff >\u00bb<FONT COLOR=#000000> <U><FONT "
          "COLOR=#0080c0><u>%n</u><FONT COLOR=#000000><FONT COLOR=#0080ff>")),
      playingTitle(QStringLiteral("P</b>laying [%s]")),
      ignored(QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Ignored</U> <FONT "
                             "COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U></FONT><FONT COLOR=#0080c0>%p")),
      unignored(QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>UnIgnored</U> <FONT "
                               "COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U></FONT><FONT COLOR=#0080c0>%p")),
      streamPlaying(QStringLiteral("\u00bb <u>Playing</u> \u00bb <u>URL</u>")),
      inputClose(QStringLiteral("</font>"))
{ }
