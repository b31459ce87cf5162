#pragma once

#include "chatlink/WindowSystem.h"

#include <memory>
#include <string>

// A desktop the window contract runs on, with the two chat clients opened
// the same way on every backend.
class ContractDesktop {
public:
    virtual ~ContractDesktop() = default;

    virtual WindowSystem& windows() = 0;
    // An AIM chat window in the client's layout, run by the member "me";
    // every new transcript line shows the time kTime. The member list holds
    // "me", "bob" and "carol".
    virtual void openAimChat() = 0;
    // An AOL client whose help menu holds "&Help Topics" and "&What's New
    // in AOL 5.0", and whose MDI area holds a plain "AOL Child" and then a
    // chat room.
    virtual void openAolClient() = 0;

    static constexpr const char* kTime = "10:15:02 PM";
};

// The desktop of the backend under test.
std::unique_ptr<ContractDesktop> makeContractDesktop();
