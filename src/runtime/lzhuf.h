// LZHUF compression (LZSS over a 4096-byte ring with an adaptive Huffman
// coder), memory buffer to memory buffer. Used for network packets and the
// debug console.
//
// A compressed buffer is the plain length as 4 bytes big-endian, then the
// coded bits, most significant bit first, the last byte padded with zeros.
// The coder keeps its trees and ring buffer in fixed process-wide tables and
// allocates nothing, so one compression or decompression runs at a time.
#pragma once
#include "runtime/short.h"

// Compresses length bytes of source into destination, which holds capacity
// bytes. Result: bytes written (length prefix included), or -1 when the
// output would not fit; the caller then sends the data uncompressed.
// A length of 0 or less (or no source) writes the prefix 00 00 00 00 alone.
int32_t lzh_compress(const void* source, int32_t length, void* destination, int32_t capacity);

// Decompresses sourcelength bytes into destination, which holds capacity
// bytes. Result: the plain length (the length prefix), or -1 when the prefix
// exceeds the capacity, the source is shorter than its prefix, or the bit
// stream ends before the plain length is reached.
int32_t lzh_decompress(const void* source, int32_t sourcelength, void* destination, int32_t capacity);
