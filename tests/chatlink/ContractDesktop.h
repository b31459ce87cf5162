// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/WindowSystem.h"

#include <memory>

// A desktop the window contract runs on, with the two chat clients opened
// the same way on every backend.
class ContractDesktop {
public:
    virtual ~ContractDesktop() = default;

    virtual WindowSystem& windows() = 0;
    // An AIM chat window in the client's layout, whose member list holds
    // "me", "bob" and "carol".
    virtual void openAimChat() = 0;
    // An AOL client whose menu bar is "&File", "&Window" and "&Help", the
    // last holding "&Help Topics" and "&What's New in AOL 5.0".
    virtual void openAolClient() = 0;
};

// The desktop of the backend under test.
std::unique_ptr<ContractDesktop> makeContractDesktop();
