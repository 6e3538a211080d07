// What the descriptor helpers share on both platforms.
#include "descriptors.h"

#include "byte_io.h"
#include "mbap_layout.h"

namespace qxtest {

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

Bytes readMbap(Descriptor fd, std::chrono::milliseconds limit)
{
    namespace M = qx::MbapLayout;
    Bytes frame = readExactly(fd, M::kLengthEnd, limit);
    if (frame.size() < M::kLengthEnd)
        return frame;
    const Bytes rest = readExactly(fd, qx::getU16be(frame.data(), M::kLength), limit);
    frame.insert(frame.end(), rest.begin(), rest.end());
    return frame;
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

} // namespace qxtest
