#include "ContractDesktop.h"

#include "chatlink/SimDesktop.h"

namespace {

class SimContractDesktop : public ContractDesktop {
public:
    SimContractDesktop() { m_desktop.clock = [] { return std::string(kTime); }; }

    WindowSystem& windows() override { return m_desktop; }
    void openAimChat(const std::vector<std::string>& otherMembers) override
    {
        const SimDesktop::Hwnd chat = m_desktop.openAimChat("me").window;
        for (const std::string& member : otherMembers)
            m_desktop.addMember(chat, member);
    }
    void openAolClient(const std::vector<std::string>& helpMenuItems) override
    {
        m_aol = m_desktop.openAolClient(helpMenuItems);
    }
    void addAolChild(bool chatRoom) override
    {
        if (chatRoom)
            m_desktop.addAolRoom(m_aol);
        else
            m_desktop.addAolChild(m_aol);
    }

private:
    SimDesktop m_desktop;
    SimDesktop::AolClient m_aol;
};

} // namespace

std::unique_ptr<ContractDesktop> makeContractDesktop()
{
    return std::make_unique<SimContractDesktop>();
}
