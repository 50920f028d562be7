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

char Blob::patternByte(uint64_t i, uint32_t seed)
{
    // Varies within every few bytes and between files, so a shifted or mixed-up range shows.
    const uint64_t x = (i + seed) * 0x9E3779B1u;
    return static_cast<char>((x >> 11) ^ (i >> 9));
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
                for (size_t k = 0; k < count; ++k)
                    out[k] = patternByte(within + k, piece.seed);
                break;
            }
            copied += count;
        }
        start = end;
    }
    return copied;
}
