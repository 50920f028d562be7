#include "blob.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

void Blob::addMemory(std::shared_ptr<const std::string> data, uint64_t offset, uint64_t length)
{
    Piece piece{Piece::Memory, std::move(data), {}, offset, length, 0};
    m_pieces.push_back(std::move(piece));
    m_size += length;
}

void Blob::addMemory(std::string data)
{
    const uint64_t length = data.size();
    addMemory(std::make_shared<const std::string>(std::move(data)), 0, length);
}

void Blob::addFile(const std::string& path, uint64_t offset, uint64_t length)
{
    m_pieces.push_back(Piece{Piece::File, nullptr, path, offset, length, 0});
    m_size += length;
}

void Blob::addPattern(uint64_t length, uint32_t seed)
{
    if (length == 0)
        return;
    m_pieces.push_back(Piece{Piece::Pattern, nullptr, {}, 0, length, seed});
    m_size += length;
}

namespace {

// 64 KiB of noise; the pattern walks through it, changed per 64 KiB block and per file,
// so a shifted or mixed-up range shows, and filling stays as fast as a copy.
const std::vector<char>& noise()
{
    static const std::vector<char> table = [] {
        std::vector<char> t(65536);
        uint32_t x = 2463534242u;
        for (char& c : t) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            c = static_cast<char>(x >> 24);
        }
        return t;
    }();
    return table;
}

// The pattern bytes from position j on, as patternByte gives them, a 64 KiB block at a time
// and eight bytes a step: served byte by byte, the pattern took more CPU than the client
// under test and its peer together.
void fillPattern(char* out, uint64_t j, size_t count)
{
    const char* table = noise().data();
    while (count > 0) {
        const size_t at = j & 0xFFFF;
        const size_t run = std::min<size_t>(count, 0x10000 - at);
        const uint8_t mask = static_cast<uint8_t>((j >> 16) * 31);
        const uint64_t wide = mask * 0x0101010101010101ull;
        size_t k = 0;
        for (; k + 8 <= run; k += 8) {
            uint64_t word;
            std::memcpy(&word, table + at + k, 8);
            word ^= wide;
            std::memcpy(out + k, &word, 8);
        }
        for (; k < run; ++k)
            out[k] = static_cast<char>(table[at + k] ^ mask);
        out += run;
        j += run;
        count -= run;
    }
}

} // namespace

char Blob::patternByte(uint64_t i, uint32_t seed)
{
    const uint64_t j = i + seed;
    return static_cast<char>(noise()[j & 0xFFFF] ^ static_cast<char>((j >> 16) * 31));
}

size_t Blob::read(uint64_t offset, char* buffer, size_t n) const
{
    size_t copied = 0;
    uint64_t start = 0;
    for (const Piece& piece : m_pieces) {
        if (copied == n)
            break;
        const uint64_t end = start + piece.length;
        if (offset + copied < end) {
            const uint64_t within = offset + copied - start;
            const size_t count = static_cast<size_t>(std::min<uint64_t>(n - copied, end - (offset + copied)));
            char* out = buffer + copied;
            switch (piece.kind) {
            case Piece::Memory:
                std::memcpy(out, piece.data->data() + piece.offset + within, count);
                break;
            case Piece::File: {
                const int fd = ::open(piece.path.c_str(), O_RDONLY | O_CLOEXEC);
                if (fd < 0)
                    return copied;
                size_t done = 0;
                while (done < count) {
                    const ssize_t r = ::pread(fd, out + done, count - done,
                                              static_cast<off_t>(piece.offset + within + done));
                    if (r <= 0)
                        break;
                    done += static_cast<size_t>(r);
                }
                ::close(fd);
                if (done < count)
                    return copied + done;
                break;
            }
            case Piece::Pattern:
                fillPattern(out, within + piece.seed, count);
                break;
            }
            copied += count;
        }
        start = end;
    }
    return copied;
}
