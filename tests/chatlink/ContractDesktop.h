#pragma once

#include "chatlink/WindowSystem.h"

#include <memory>
#include <string>
#include <vector>

// A desktop the window contract runs on, with the two chat clients opened
// the same way on every backend.
class ContractDesktop {
public:
    virtual ~ContractDesktop() = default;

    virtual WindowSystem& windows() = 0;
    // An AIM chat window in the client's layout, run by the member "me";
    // every new transcript line shows the time kTime. The member list holds
    // "me" and then the others, in order.
    virtual void openAimChat(const std::vector<std::string>& otherMembers) = 0;
    // An AOL client whose help menu holds the texts, with an empty MDI area.
    virtual void openAolClient(const std::vector<std::string>& helpMenuItems) = 0;
    // One more "AOL Child" in the MDI area: a chat room or a plain window.
    virtual void addAolChild(bool chatRoom) = 0;

    static constexpr const char* kTime = "10:15:02 PM";
};

// The desktop of the backend under test.
std::unique_ptr<ContractDesktop> makeContractDesktop();
