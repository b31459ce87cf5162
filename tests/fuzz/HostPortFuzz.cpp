// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

#include "toc/BotMode.h"

// A --toc-server or --authorizer value. What is taken has a host without
// blanks or control characters and a port from 1 to 65535, and its printed
// form reads back as the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<TocEndpoint> endpoint
        = TocEndpoint::parse(QString::fromUtf8(FuzzInput(data, size).rest()), 5190);
    if (!endpoint)
        return 0;
    fuzzCheck(!endpoint->host.isEmpty() && endpoint->port != 0, "a host and a port");
    const auto plain = [](QChar c) { return c.isPrint() && !c.isSpace(); };
    fuzzCheck(std::all_of(endpoint->host.cbegin(), endpoint->host.cend(), plain), "no blank or control in a host");
    const std::optional<TocEndpoint> again = TocEndpoint::parse(endpoint->toString(), 1);
    fuzzCheck(again && *again == *endpoint, "the printed form reads back as the same");
    return 0;
}
