// A melody's timeline as the page uses it: the notes that `sorbelin
// --timeline --json` lists ([channel, startMs, durationMs, key], sorted by
// start), and what the phone does at any moment for the channels that its
// vibrator and LED follow. The drawing, the phone and the tests all ask the
// same two functions here: intervalsOf and deviceStateAt.
'use strict';

const sorbelinTimeline = (function() {
  const CHANNEL = 0, START = 1, DURATION = 2, KEY = 3;

  // The lowest and highest key of each channel that has notes, in one pass
  // over the notes, kept per timeline: a Map {channel: [low, high]}.
  const rangesKept = new WeakMap();
  function keyRanges(timeline) {
    let ranges = rangesKept.get(timeline);
    if (ranges) return ranges;
    ranges = new Map();
    for (const note of timeline.notes) {
      const range = ranges.get(note[CHANNEL]);
      if (!range)
        ranges.set(note[CHANNEL], [note[KEY], note[KEY]]);
      else if (note[KEY] < range[0])
        range[0] = note[KEY];
      else if (note[KEY] > range[1])
        range[1] = note[KEY];
    }
    rangesKept.set(timeline, ranges);
    return ranges;
  }

  // The channels that have at least one note, in ascending order.
  function channelsWithNotes(timeline) {
    return [...keyRanges(timeline).keys()].sort((a, b) => a - b);
  }

  // Where a note of one of the channels sounds, as sorted, disjoint
  // [startMs, endMs) pairs: the union of the notes' spans, spans that touch
  // or overlap joined into one. A note of no length sounds nowhere.
  function unionOf(notes, channels) {
    const chosen = new Set(channels);
    const intervals = [];
    for (const note of notes) {
      if (!chosen.has(note[CHANNEL]) || note[DURATION] <= 0) continue;
      const start = note[START], end = note[START] + note[DURATION];
      const last = intervals[intervals.length - 1];
      // The notes come sorted by start, so a span can only join the last one.
      if (last && start <= last[1])
        last[1] = Math.max(last[1], end);
      else
        intervals.push([start, end]);
    }
    return intervals;
  }

  // The union for a set of channels, kept per timeline: the animation asks
  // for it on every frame.
  const intervalsKept = new WeakMap();
  function intervalsOf(timeline, channels) {
    const key = [...channels].sort((a, b) => a - b).join(',');
    let known = intervalsKept.get(timeline);
    if (!known) intervalsKept.set(timeline, known = new Map());
    if (!known.has(key)) known.set(key, unionOf(timeline.notes, channels));
    return known.get(key);
  }

  // Whether `ms` lies inside one of the sorted, disjoint intervals.
  function inside(intervals, ms) {
    let low = 0, high = intervals.length;
    while (low < high) {  // the first interval that ends after ms
      const middle = (low + high) >> 1;
      if (intervals[middle][1] <= ms)
        low = middle + 1;
      else
        high = middle;
    }
    return low < intervals.length && intervals[low][0] <= ms;
  }

  // What the phone does at `ms` when its vibrator follows the channels
  // `vibChannels` and its LED `ledChannels`: {vibrating, led}.
  function deviceStateAt(timeline, vibChannels, ledChannels, ms) {
    return {
      vibrating: inside(intervalsOf(timeline, vibChannels), ms),
      led: inside(intervalsOf(timeline, ledChannels), ms),
    };
  }

  // The index of the first note that starts at or after `ms`.
  function firstNoteFrom(notes, ms) {
    let low = 0, high = notes.length;
    while (low < high) {
      const middle = (low + high) >> 1;
      if (notes[middle][START] < ms)
        low = middle + 1;
      else
        high = middle;
    }
    return low;
  }

  // "4:45.5": minutes, seconds and tenths, rounded to the nearest tenth as
  // every length the engine writes is.
  function clockText(ms) {
    const tenths = Math.round(Math.max(0, ms) / 100);
    const seconds = Math.floor(tenths / 10) % 60;
    return `${Math.floor(tenths / 600)}:${String(seconds).padStart(2, '0')}.${tenths % 10}`;
  }

  return {
    CHANNEL,
    START,
    DURATION,
    KEY,
    channelsWithNotes,
    keyRanges,
    intervalsOf,
    deviceStateAt,
    firstNoteFrom,
    clockText
  };
})();
