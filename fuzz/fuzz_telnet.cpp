// Feeds arbitrary bytes to the receive side of a line through a device server (Telnet
// with the COM port control option), as the far end might send them. Whatever arrives,
// and however the reads split it, the station must get the same bytes and give the
// same answers; the answers are refusals only; and the data, escaped again, comes
// back unchanged.
#include "link/telnetcodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace talvex;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkReply(const QByteArray &reply)
{
    check(reply.size() % 3 == 0);
    for (qsizetype i = 0; i < reply.size(); i += 3) {
        check(reply.at(i) == TelnetCodec::kIac);
        check(reply.at(i + 1) == TelnetCodec::kWont || reply.at(i + 1) == TelnetCodec::kDont);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses how the reads are cut; the rest is what arrives.
    const qsizetype step = data[0] % 16 + 1;
    const QByteArray received(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size) - 1);

    TelnetCodec whole;
    const TelnetCodec::Decoded once = whole.decode(received);
    check(once.data.size() <= received.size());
    checkReply(once.reply);

    TelnetCodec pieces;
    QByteArray pieceData;
    QByteArray pieceReply;
    for (qsizetype at = 0; at < received.size(); at += step) {
        const TelnetCodec::Decoded part = pieces.decode(received.mid(at, step));
        pieceData += part.data;
        pieceReply += part.reply;
    }
    check(pieceData == once.data);
    check(pieceReply == once.reply);
    check(pieces.comPortAccepted() == whole.comPortAccepted());
    check(pieces.comPortRefused() == whole.comPortRefused());

    TelnetCodec again;
    const TelnetCodec::Decoded roundTrip = again.decode(TelnetCodec::encode(once.data));
    check(roundTrip.data == once.data);
    check(roundTrip.reply.isEmpty());
    return 0;
}
