// Paradox table encryption: the block cipher that protects data blocks of a .db file and
// the checksum of the password that the header stores (and that keys the cipher).
// The algorithm is Borland's; its description follows pxlib's px_crypt.c.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dx::px::crypt {

// The 32-bit value the header stores for a password (0 for an empty password). Only the
// first 255 bytes of a password count.
uint32_t passwordChecksum(std::string_view password);

// Decrypts / encrypts one data block in place. `size` is the block size (a multiple of
// 256; a trailing part shorter than 256 bytes is left as it is), `blockNo` the block's
// 1-based number in the file, `key` the header's encryption value.
void decryptBlock(unsigned char *block, size_t size, uint32_t key, uint32_t blockNo);
// Decrypts chunks [firstChunk, firstChunk + chunks) of a block: `src` and `dst` point at
// the block's start (in place is fine).
void decryptChunks(const unsigned char *src, unsigned char *dst, size_t firstChunk, size_t chunks, uint32_t key,
                   uint32_t blockNo);
// Decrypts `size` bytes of a block from `src` into `dst` (in place is fine).
void decryptBlockTo(const unsigned char *src, unsigned char *dst, size_t size, uint32_t key, uint32_t blockNo);
void encryptBlock(unsigned char *block, size_t size, uint32_t key, uint32_t blockNo);

} // namespace dx::px::crypt
