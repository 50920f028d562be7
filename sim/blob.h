#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The bytes of one served media file, put together from pieces so that large or many files
// need neither disk space nor memory: shared in-memory data (a JPEG, the sample video), a
// region of a real file, or a deterministic filler pattern. Reading is thread-safe.
class Blob
{
public:
    void addMemory(std::shared_ptr<const std::string> data, uint64_t offset, uint64_t length);
    void addMemory(std::string data);
    void addFile(const std::string& path, uint64_t offset, uint64_t length);
    void addPattern(uint64_t length, uint32_t seed);

    uint64_t size() const { return m_size; }
    // Copies up to n bytes from offset; returns the number copied (0 at the end or on a file
    // read error).
    size_t read(uint64_t offset, char* buffer, size_t n) const;

    // The filler byte at position i of a pattern piece, so tests can predict served bytes.
    static char patternByte(uint64_t i, uint32_t seed);

private:
    struct Piece {
        enum Kind { Memory, File, Pattern } kind;
        std::shared_ptr<const std::string> data;
        std::string path;
        uint64_t offset = 0;
        uint64_t length = 0;
        uint32_t seed = 0;
    };
    std::vector<Piece> m_pieces;
    uint64_t m_size = 0;
};
