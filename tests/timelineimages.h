// Melodies whose every note the tests know: i-melody tempo maps, note
// forms and tracks; SMAF sequences in each encoding, a compressed one coded
// here with a small Huffman coder.
#pragma once

#include <algorithm>

#include "tests/images.h"

// Bits appended most significant first.
struct BitWriter {
  Bytes bytes;
  int used = 8;  // bits used of the last byte
  void put(uint32_t value, int count) {
    for (int k = count - 1; k >= 0; --k) {
      if (used == 8) bytes.push_back(0), used = 0;
      bytes.back() = uint8_t(bytes.back() | ((value >> k) & 1) << (7 - used++));
    }
  }
};

// The bytes as a compressed sequence: their count, a Huffman tree of their
// frequencies in pre-order, and their codes. `count` stands in for the true
// count when it is not 0.
inline Bytes huffmanCoded(const Bytes &plain, uint32_t count = 0) {
  struct Node {
    uint64_t weight;
    int byte, zero, one;
  };
  std::vector<Node> nodes;
  std::vector<int> open;
  for (int b = 0; b < 256; ++b) {
    uint64_t weight = uint64_t(std::count(plain.begin(), plain.end(), uint8_t(b)));
    if (weight) open.push_back(int(nodes.size())), nodes.push_back({weight, b, -1, -1});
  }
  while (open.size() > 1) {
    std::sort(open.begin(), open.end(), [&](int a, int b) { return nodes[a].weight > nodes[b].weight; });
    int a = open.back();
    open.pop_back();
    int b = open.back();
    open.back() = int(nodes.size());
    nodes.push_back({nodes[a].weight + nodes[b].weight, -1, a, b});
  }
  std::vector<std::string> codes(256);
  BitWriter out;
  out.put(count ? count : uint32_t(plain.size()), 32);
  struct Walker {
    std::vector<Node> &nodes;
    std::vector<std::string> &codes;
    BitWriter &out;
    void tree(int node, const std::string &code) {
      if (nodes[node].byte >= 0) {
        out.put(0, 1), out.put(uint32_t(nodes[node].byte), 8);
        codes[size_t(nodes[node].byte)] = code;
        return;
      }
      out.put(1, 1);
      tree(nodes[node].zero, code + "0");
      tree(nodes[node].one, code + "1");
    }
  } walker = {nodes, codes, out};
  walker.tree(open[0], "");
  for (uint8_t b : plain)
    for (char bit : codes[b]) out.put(bit == '1', 1);
  return out.bytes;
}

// --- i-melody --------------------------------------------------------------

// Track 1 sets time base 48 and tempo 121 at tick 0 and tempo 155 at tick
// 192, which moves track 2's notes; a note of track 1 runs across the
// change. Track 2 waits with a no-op and a long no-op, has a loop point and
// an end of track, after which a note counts for nothing.
inline Bytes tempoMapMelody() {
  return melody(vers('3'),
                track(hex("00 FF C3 79  30 13 18  84 13 18  0C FF C3 9B  00 FF DF 00")) +
                    track(hex("FF FF DE 00  17 4F 10  05 FF DC 02  00 8F 20  00 FF DD 00  10 FF DF 00  00 0F 10")));
}

// 4-byte notes at the first tempo: each octave shift and a velocity of
// each size; then a reserved time-base code, which keeps the time base, and
// another time base, which shorten the notes that still sound. Five
// tracks: the fifth plays channel 17.
inline Bytes fourByteMelody() {
  return melody(
      note(1) + vers('2'),
      track(hex(
          "10 0F 30 FC  10 0F 30 81  10 0F 30 06  10 0F 30 03  00 FF C7 40  10 0F 30 FC  00 FF CD 20  40 0F 30 FC")) +
          track({}) + track({}) + track({}) + track(hex("00 0F 30 FC")));
}

// --- SMAF ------------------------------------------------------------------

// HandyPhone tracks 1 to 4 at 4 ms a duration and 5 ms a gate time. Track
// 1: two-byte durations and gates, octave shifts of channel 2 up and down, a
// no-op, an exclusive, a short control and the end.
inline Bytes handyPhoneTracks() {
  Bytes first =
      hex("00 3C 20  81 10 C5 82 05  00 00 72 01  05 51 10  00 00 72 82  00 51 10"
          "  00 FF 00  00 FF F0 03 43 79 F7  00 00 10  02 00 00 00");
  return scoreTrack(1, 0, 0x02, 0x03, hex("00 00"), mtsq(first)) +
         scoreTrack(2, 0, 0x02, 0x03, hex("00 00"), mtsq(hex("00 8C 10"))) +
         scoreTrack(3, 0, 0x02, 0x03, hex("00 00"), mtsq(hex("10 0A 10"))) +
         scoreTrack(4, 0, 0x02, 0x03, hex("00 00"), mtsq(hex("10 FA 10")));
}

// A Mobile sequence at 20 ms a duration and 2 ms a gate time: notes with and
// without a velocity, a two-byte gate, an exclusive, a control and program
// change, a no-op, a two-byte duration and the end, after which a note
// counts for nothing.
inline Bytes mobileSequence() {
  return hex(
      "00 80 3C 10  05 91 40 50 81 00  00 81 41 08  00 F0 03 43 79 F7  00 B0 07 64  00 C0 05  00 FF 00"
      "  81 00 82 48 04  01 FF 2F 00  00 80 3C 10");
}

inline Bytes mobileTrack(uint8_t format, const Bytes &sequence, const Bytes &parts = {}) {
  return scoreTrack(5, format, 0x11, 0x01, Bytes(16, 0x00), parts + mtsq(sequence));
}

// The 32-channel format in track 7: channel 16 and channel 32 with a
// velocity, channel 17 without, a control change, the end.
inline Bytes wideTrack() {
  return scoreTrack(7, 3, 0x00, 0x00, Bytes(32, 0x00),
                    mtsq(hex("00 1F 3C 40 10  00 9F 3E 40 10  00 80 30 10  00 3F 01 02  00 FF 2F 00")));
}

// An audio track: its header (format type, sequence type 0, wave type 0x10
// 0x00: mono ADPCM at 4 kHz, the time-base codes of durations and gate
// times) and parts, such as the sequence around its events and the waves.
inline Bytes audioTrack(uint8_t track, uint8_t format, uint8_t durationBase, uint8_t gateBase, const Bytes &parts) {
  return chunk(ascii("ATR") + Bytes{track}, Bytes{format, 0x00, 0x10, 0x00, durationBase, gateBase} + parts);
}
inline Bytes atsq(const Bytes &sequence) { return chunk(ascii("Atsq"), sequence); }
inline Bytes wave(uint8_t number) { return chunk(ascii("Awa") + Bytes{number}, Bytes(40, 0x77)); }

// Two audio tracks. Track 0 at 4 ms a unit: wave 1 from 0 for 1000 ms, then
// a no-op and the end at 1000 ms. Track 1 at 10 ms a unit: wave 2 from 500
// ms for 1000 ms, wave 3 on channel 2 from 2000 ms for 500 ms after a
// two-byte duration, the end at 2000 ms. Recorded sound plays 2000 ms of
// the 2500.
inline Bytes audioTracks() {
  return audioTrack(0, 0, 0x02, 0x02, atsq(hex("00 01 80 7A  80 7A FF 00  00 00 00 00")) + wave(1)) +
         audioTrack(
             1, 0, 0x10, 0x10,
             chunk(ascii("Atsu"), hex("00")) + atsq(hex("32 02 64  80 16 43 32  00 00 00 00")) + wave(2) + wave(3));
}

// Every generated melody of the timeline's tests that reads whole.
inline std::vector<Bytes> timelineMelodies() {
  return {tempoMapMelody(),
          fourByteMelody(),
          smaf(cnti(ascii("ST:Hand,")) + handyPhoneTracks()),
          smaf(mobileTrack(2, mobileSequence(), chunk(ascii("Mtsu"), hex("01 02")))),
          smaf(cnti(ledTag(3)) + mobileTrack(1, huffmanCoded(mobileSequence()))),
          smaf(wideTrack()),
          smaf(cnti(ascii("ST:Rec,")) + audioTracks() + mobileTrack(2, mobileSequence()))};
}
