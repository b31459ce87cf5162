// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The windows the chat client lives in: the real desktop's on Windows;
// elsewhere no chat client runs, so the local room lives on a simulated
// desktop. Free of Qt, so the cross-built window test compiles the Windows
// choice too.
#ifdef _WIN32
#include "chatlink/Win32WindowSystem.h"
using DesktopWindows = Win32WindowSystem;
#else
#include "chatlink/SimDesktop.h"
using DesktopWindows = SimDesktop;
#endif
