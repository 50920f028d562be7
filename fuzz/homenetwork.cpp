#include "networkmessage.h"
#include "packetframing.h"

#include <algorithm>
#include <cstdlib>

// A row of notifications, each a length byte and that many bytes: packets put together into
// frames, each frame read as the camera's message.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PacketFraming framing;
    const char* p = reinterpret_cast<const char*>(data);
    const char* const end = p + size;
    while (p < end) {
        const size_t length = std::min<size_t>(static_cast<unsigned char>(*p), end - p - 1);
        const PacketFraming::Result result = framing.feed(QByteArray(p + 1, int(length)));
        p += 1 + length;
        if (result == PacketFraming::Result::Malformed && framing.problem().isEmpty())
            abort();
        if (result != PacketFraming::Result::Complete)
            continue;
        const QByteArray frame = framing.message();
        const NetworkMessage m = NetworkMessage::parse(frame);
        using Kind = NetworkMessage::Kind;
        // What is read is whole and checked, or said to be bad.
        if (m.kind == Kind::Malformed && m.problem.isEmpty())
            abort();
        if (m.kind == Kind::Status && m.provisioned && m.state == NetworkMessage::kNetworkConnected
            && (m.address.isNull() || m.user.isEmpty() || m.password.isEmpty()))
            abort();
        if (m.kind == Kind::Certificate && m.result == NetworkMessage::kSuccess
            && !NetworkMessage::isPemCertificate(m.certificate))
            abort();
        // The same frame written by us reads back unchanged.
        PacketFraming again;
        PacketFraming::Result last = PacketFraming::Result::Ignored;
        for (const QByteArray& packet : PacketFraming::split(frame)) {
            if (packet.size() > PacketFraming::kPacketSize)
                abort();
            last = again.feed(packet);
        }
        if (last != PacketFraming::Result::Complete || again.message() != frame)
            abort();
    }
    return 0;
}
