// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/FormState.h"

const QString FormState::kCaption = QStringLiteral("Quillon 3.2");
const QString FormState::kUnknownOwner = QStringLiteral("       unkown        ");

FormState::FormState()
    : txtFont(QStringLiteral("<FONT FACE=\"MS Reference Serif\"><FONT COLOR=#0080ff></u></i></b>")),
      txtPlay(QStringLiteral(
          "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Playing</U> <FONT COLOR=#0080ff>\u00bb<FONT "
          "COLOR=#000000> "
          "<U></FONT><FONT COLOR=#0080c0>%s</U> <FONT COLOR=#0080ff >\u00bb<FONT COLOR=#000000> <U><FONT "
          "COLOR=#0080c0><u>%n</u><FONT COLOR=#000000><FONT COLOR=#0080ff>")),
      txtPlaying(QStringLiteral("P</b>laying [%s]")),
      txtIgnore(QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Ignored</U> <FONT "
                               "COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U></FONT><FONT COLOR=#0080c0>%p")),
      txtUnignore(QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>UnIgnored</U> <FONT "
                                 "COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U></FONT><FONT COLOR=#0080c0>%p")),
      txtLoads(QStringLiteral("1")),
      txtNum(QStringLiteral("0")),
      txtSec(QStringLiteral("0")),
      txtMin(QStringLiteral("0")),
      txtURL(QStringLiteral("\u00bb <u>Playing</u> \u00bb <u>URL</u>")),
      txtafont(QStringLiteral("</font>")),
      botSN(QStringLiteral("bot name")),
      botPW(QStringLiteral("bot pass")),
      txtChat(QStringLiteral("Chat")),
      txtEx(QStringLiteral("4")),
      chkSky(QStringLiteral("Use Sky Skin"), 1),
      chkScan(QStringLiteral("Chat Scan"), 1),
      chkBot(QStringLiteral("Use TOC bot"), 0),
      chkChat(QStringLiteral("Chat Send"), 1),
      chkSendAOL(QStringLiteral("Send On AOL"), 0),
      chkenabled(QStringLiteral("Auto Random"), 0),
      chkTime(QStringLiteral("Check1"), 0),
      music(QStringLiteral("music"), 0),
      labTime(QStringLiteral("00:00")),
      labFile(QStringLiteral("singer - song")),
      lblbitrate(QStringLiteral("0")),
      lblKhz(QStringLiteral("0")),
      lblmode(QStringLiteral("mono")),
      lbuser(kUnknownOwner),
      labToc(QStringLiteral("Waiting")),
      skinButton6(QStringLiteral("Signon"))
{ }
