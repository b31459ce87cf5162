// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContractDesktop.h"

#include "chatlink/SimDesktop.h"

namespace {

class SimContractDesktop : public ContractDesktop {
public:
    WindowSystem& windows() override { return m_desktop; }
    void openAimChat() override
    {
        const SimDesktop::Hwnd chat = m_desktop.openAimChat("me").window;
        m_desktop.addMember(chat, "bob");
        m_desktop.addMember(chat, "carol");
    }
    void openAolClient() override { m_desktop.openAolClient({"&Help Topics", "&What's New in AOL 5.0"}); }

private:
    SimDesktop m_desktop;
};

}  // namespace

std::unique_ptr<ContractDesktop> makeContractDesktop()
{
    return std::make_unique<SimContractDesktop>();
}
