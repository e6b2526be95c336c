// Compressed SMAF sequences: a Huffman-coded stream read most significant
// bit first. It begins with a 32-bit count of the bytes it decodes to, then
// the code tree in pre-order (bit 1: an inner node, followed by its 0-branch
// and its 1-branch; bit 0: a leaf, followed by its 8-bit byte), then one code
// per byte until the count is reached.
#pragma once

#include <cstdint>

#include "engine/timeline.h"

// 256 leaves need 255 inner nodes; a tree of more nodes is damaged.
const int huffmanNodes = 511;

struct HuffmanStream {
  const uint8_t *in;
  uint64_t bit;  // the next bit, counted from the input's first
  uint64_t bitEnd;
  uint64_t left;  // bytes still to be decoded
  uint16_t branch[huffmanNodes][2];
  uint8_t byte[huffmanNodes];
  bool leaf[huffmanNodes];
};

// Reads the count and the tree of the stream in the `length` bytes at `at`.
// Returns TIMELINE_DONE, or why the stream cannot be decoded: its bits end
// inside the head (TIMELINE_HUFFMAN_CUT), the tree is damaged or has one
// leaf only, so that a byte would take no bits (TIMELINE_HUFFMAN_TREE), or
// the count claims more bytes than the bits left can code, one bit at least
// each (TIMELINE_HUFFMAN_CLAIM). The stream's bit then stands where the
// fault lies.
TimelineStop openHuffman(const uint8_t *in, uint64_t at, uint64_t length, HuffmanStream *stream);

// Decodes the next byte; false when the bits end inside its code.
bool nextHuffmanByte(HuffmanStream &stream, uint8_t *byte);
