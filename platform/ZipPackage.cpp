// Reading a zip file's central directory and inflating each entry in
// chunks, keeping only its checksum, its size and the ends of its text.
#include "ZipPackage.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace plat {

namespace {

uint32_t U16(const unsigned char* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t U32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

[[noreturn]] void Damaged(const std::string& path, const std::string& what) {
    throw std::runtime_error(path + " is damaged: " + what);
}

struct Entry {
    std::string Name;
    uint32_t Method, Crc, Compressed, Size, LocalOffset;
};

class ZipFile {
public:
    explicit ZipFile(const std::string& path) : path_(path), in_(path, std::ios::binary) {
        if (!in_) throw std::runtime_error("cannot read " + path);
        in_.seekg(0, std::ios::end);
        size_ = static_cast<uint64_t>(in_.tellg());
    }

    // The entries of the central directory; empty for a ZIP64 package.
    std::vector<Entry> Entries() {
        std::vector<unsigned char> tail = Read(size_ - std::min<uint64_t>(size_, 65557), std::min<uint64_t>(size_, 65557));
        size_t at = tail.size() < 22 ? std::string::npos : tail.size() - 22;
        while (at != std::string::npos && U32(&tail[at]) != 0x06054b50) at = at == 0 ? std::string::npos : at - 1;
        if (at == std::string::npos) Damaged(path_, "no zip directory");
        uint32_t count = U16(&tail[at + 10]), dirSize = U32(&tail[at + 12]), dirOffset = U32(&tail[at + 16]);
        if (count == 0xFFFF || dirOffset == 0xFFFFFFFF) return {};
        if (uint64_t(dirOffset) + dirSize > size_) Damaged(path_, "zip directory out of the file");
        std::vector<unsigned char> dir = Read(dirOffset, dirSize);
        std::vector<Entry> entries;
        size_t p = 0;
        for (uint32_t i = 0; i < count; ++i) {
            if (p + 46 > dir.size() || U32(&dir[p]) != 0x02014b50) Damaged(path_, "zip directory entry " + std::to_string(i));
            Entry e{{}, U16(&dir[p + 10]), U32(&dir[p + 16]), U32(&dir[p + 20]), U32(&dir[p + 24]), U32(&dir[p + 42])};
            size_t nameLength = U16(&dir[p + 28]);
            if (p + 46 + nameLength > dir.size()) Damaged(path_, "zip directory entry " + std::to_string(i));
            e.Name.assign(reinterpret_cast<const char*>(&dir[p + 46]), nameLength);
            entries.push_back(e);
            p += 46 + nameLength + U16(&dir[p + 30]) + U16(&dir[p + 32]);
        }
        return entries;
    }

    // Inflates `e`, checking its size and checksum; answers its first and
    // last bytes (at most 256 of each).
    std::pair<std::string, std::string> Inflate(const Entry& e) {
        std::vector<unsigned char> local = Read(e.LocalOffset, 30);
        if (U32(local.data()) != 0x04034b50) Damaged(path_, e.Name + ": no local header");
        uint64_t data = uint64_t(e.LocalOffset) + 30 + U16(&local[26]) + U16(&local[28]);
        if (data + e.Compressed > size_) Damaged(path_, e.Name + ": cut off");
        in_.seekg(static_cast<std::streamoff>(data));
        z_stream z{};
        if (e.Method == 8 && inflateInit2(&z, -MAX_WBITS) != Z_OK) throw std::runtime_error("zlib cannot start");
        if (e.Method != 8 && e.Method != 0) Damaged(path_, e.Name + ": unknown compression " + std::to_string(e.Method));
        std::string head, tail;
        uLong crc = crc32(0, nullptr, 0);
        uint64_t produced = 0, left = e.Compressed;
        std::vector<unsigned char> input(65536), output(65536);
        auto take = [&](const unsigned char* bytes, size_t n) {
            crc = crc32(crc, bytes, static_cast<uInt>(n));
            produced += n;
            if (head.size() < 256) head.append(reinterpret_cast<const char*>(bytes), std::min(n, 256 - head.size()));
            tail.append(reinterpret_cast<const char*>(bytes), n);
            if (tail.size() > 256) tail.erase(0, tail.size() - 256);
        };
        int status = Z_OK;
        while (left > 0 && status != Z_STREAM_END) {
            size_t n = static_cast<size_t>(std::min<uint64_t>(left, input.size()));
            if (!in_.read(reinterpret_cast<char*>(input.data()), static_cast<std::streamsize>(n))) Damaged(path_, e.Name + ": cut off");
            left -= n;
            if (e.Method == 0) {
                take(input.data(), n);
                continue;
            }
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(n);
            do {
                z.next_out = output.data();
                z.avail_out = static_cast<uInt>(output.size());
                status = inflate(&z, Z_NO_FLUSH);
                if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
                    inflateEnd(&z);
                    Damaged(path_, e.Name + ": bad compressed data");
                }
                take(output.data(), output.size() - z.avail_out);
            } while (z.avail_out == 0 && status != Z_STREAM_END);
        }
        if (e.Method == 8) inflateEnd(&z);
        if (e.Method == 8 && status != Z_STREAM_END) Damaged(path_, e.Name + ": compressed data cut off");
        if (produced != e.Size || crc != e.Crc) Damaged(path_, e.Name + ": size or checksum differs");
        return {head, tail};
    }

private:
    std::vector<unsigned char> Read(uint64_t offset, uint64_t length) {
        std::vector<unsigned char> bytes(static_cast<size_t>(length));
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        if (!in_.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length))) Damaged(path_, "cut off");
        return bytes;
    }

    std::string path_;
    std::ifstream in_;
    uint64_t size_ = 0;
};

bool IsXmlPart(const std::string& name) {
    auto endsWith = [&](const char* s) {
        size_t n = std::strlen(s);
        return name.size() >= n && name.compare(name.size() - n, n, s) == 0;
    };
    return endsWith(".xml") || endsWith(".rels");
}

// The name of the root element: the first tag that is no declaration,
// processing instruction or comment.
std::string RootName(const std::string& head) {
    size_t at = 0;
    while ((at = head.find('<', at)) != std::string::npos) {
        if (at + 1 < head.size() && head[at + 1] != '?' && head[at + 1] != '!') {
            size_t end = head.find_first_of(" \t\r\n/>", at + 1);
            return head.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
        }
        ++at;
    }
    return {};
}

bool EndsWhole(const std::string& head, std::string tail) {
    while (!tail.empty() && std::strchr(" \t\r\n", tail.back())) tail.pop_back();
    std::string root = RootName(head);
    if (root.empty()) return false;
    std::string closing = "</" + root + ">";
    if (tail.size() >= closing.size() && tail.compare(tail.size() - closing.size(), closing.size(), closing) == 0)
        return true;
    // An empty root written as one tag, "<root .../>", ends the part.
    size_t open = head.find("<" + root);
    size_t close = head.find('>', open);
    return close != std::string::npos && close > 0 && head[close - 1] == '/' && tail.size() >= 2 &&
           tail.compare(tail.size() - 2, 2, "/>") == 0 && head.find('<', close) == std::string::npos;
}

}  // namespace

void VerifyXmlPackage(const std::string& path) {
    ZipFile zip(path);
    for (const Entry& e : zip.Entries()) {
        auto [head, tail] = zip.Inflate(e);
        if (IsXmlPart(e.Name) && !EndsWhole(head, tail)) Damaged(path, e.Name + ": the XML ends before its root closes");
    }
}

}  // namespace plat
