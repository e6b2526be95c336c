#include "engine/huffman.h"

namespace {

// Bits that run past the end leave the stream at its end.
bool readBits(HuffmanStream &s, int count, uint32_t *value) {
  if (uint64_t(count) > s.bitEnd - s.bit) {
    s.bit = s.bitEnd;
    return false;
  }
  uint32_t v = 0;
  for (int k = 0; k < count; ++k, ++s.bit) v = v << 1 | ((s.in[s.bit / 8] >> (7 - s.bit % 8)) & 1);
  *value = v;
  return true;
}

// The tree in pre-order, without recursion: the branches still to be read
// wait on a stack, the 0-branch on top of the 1-branch.
TimelineStop readTree(HuffmanStream &s) {
  struct Slot {
    uint16_t node;
    uint8_t side;
  } pending[huffmanNodes + 1];
  int waiting = 0, nodes = 0;
  pending[waiting++] = {0, 2};  // the root: attached to no node
  while (waiting > 0) {
    Slot slot = pending[--waiting];
    if (nodes == huffmanNodes) return TIMELINE_HUFFMAN_TREE;
    uint32_t inner = 0, value = 0;
    if (!readBits(s, 1, &inner)) return TIMELINE_HUFFMAN_CUT;
    uint16_t node = uint16_t(nodes++);
    if (slot.side < 2) s.branch[slot.node][slot.side] = node;
    s.leaf[node] = !inner;
    if (inner) {
      pending[waiting++] = {node, 1};
      pending[waiting++] = {node, 0};
    } else {
      if (!readBits(s, 8, &value)) return TIMELINE_HUFFMAN_CUT;
      s.byte[node] = uint8_t(value);
    }
  }
  return s.leaf[0] ? TIMELINE_HUFFMAN_TREE : TIMELINE_DONE;
}

}  // namespace

TimelineStop openHuffman(const uint8_t *in, uint64_t at, uint64_t length, HuffmanStream *stream) {
  HuffmanStream &s = *stream;
  s.in = in;
  s.bit = 8 * at;
  s.bitEnd = 8 * (at + length);
  uint32_t count = 0;
  if (!readBits(s, 32, &count)) return TIMELINE_HUFFMAN_CUT;
  s.left = count;
  TimelineStop stop = readTree(s);
  if (stop != TIMELINE_DONE) return stop;
  return s.left > s.bitEnd - s.bit ? TIMELINE_HUFFMAN_CLAIM : TIMELINE_DONE;
}

bool nextHuffmanByte(HuffmanStream &s, uint8_t *byte) {
  uint16_t node = 0;
  while (!s.leaf[node]) {
    uint32_t bit = 0;
    if (!readBits(s, 1, &bit)) return false;
    node = s.branch[node][bit];
  }
  *byte = s.byte[node];
  --s.left;
  return true;
}
