// SHA-256, for the exported page's content hashes: its storage key and the script and
// style hashes of its Content-Security-Policy.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Sha256 {
  public:
    Sha256();
    void add(const void* data, size_t size);
    void add(std::string_view text) { add(text.data(), text.size()); }
    std::array<uint8_t, 32> finish();

  private:
    void block(const uint8_t* p);
    uint32_t state_[8];
    uint8_t pending_[64];
    size_t pendingSize_ = 0;
    uint64_t totalBytes_ = 0;
};

std::array<uint8_t, 32> sha256(std::string_view bytes);
std::string toHex(const uint8_t* bytes, size_t size);
std::string toBase64(const uint8_t* bytes, size_t size);
