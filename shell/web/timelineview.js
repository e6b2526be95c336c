// The drawn timeline of one file: a row per channel that has notes, each
// note a bar at its time, placed in its row by its key; a row for recorded
// sound, where the file has some, its spans drawn as bars; the rows of the
// channels that the vibrator and LED follow tinted; beneath them the
// vibration and LED rows, lit where those channels sound; and the playhead.
// Each row's label, beside the lanes, is the page's (its name and controls).
// Three canvases lie on each other: the marks (tints and device rows), the
// notes, and the playhead. The notes are drawn once (again only when the
// width changes), so that choosing channels and moving the playhead redraw
// only what they change.
'use strict';

const sorbelinTimelineView = (function() {
  const T = sorbelinTimeline, {CHANNEL, START, DURATION, KEY} = T;
  // A channel's row is as tall as the controls in its label.
  const rowHeight = 26, deviceRowHeight = 18, axisHeight = 14, barHeight = 3;

  // The colours are the style sheet's (--vib, --led, ...), read once per view.
  function colours(element) {
    const style = getComputedStyle(element);
    const colour = (name) => style.getPropertyValue(name).trim();
    return {
      note: colour('--note'),
      line: colour('--line'),
      vib: colour('--vib'),
      led: colour('--led'),
      vibTint: colour('--vib-tint'),
      ledTint: colour('--led-tint'),
      off: colour('--device-off'),
      playhead: colour('--playhead'),
      axis: colour('--muted'),
      recorded: colour('--recorded'),
    };
  }

  // Rows top to bottom: one per channel with notes, recorded sound where
  // there is some, then the two devices.
  function rowsOf(timeline) {
    const rows = T.channelsWithNotes(timeline).map((channel, index) => ({channel, top: index * rowHeight}));
    const recorded = timeline.recordedSound && timeline.recordedSound.length ?
        {top: rows.length * rowHeight, height: rowHeight} :
        null;
    const deviceTop = rows.length * rowHeight + (recorded ? rowHeight : 0);
    return {
      channels: rows,
      recorded,
      vibration: {top: deviceTop, height: deviceRowHeight},
      led: {top: deviceTop + deviceRowHeight, height: deviceRowHeight},
      axis: {top: deviceTop + 2 * deviceRowHeight, height: axisHeight},
      height: deviceTop + 2 * deviceRowHeight + axisHeight,
    };
  }

  // The labels beside the lanes, in the rows' heights: a channel's from
  // `labels.channel(channel)`, the others' from `labels.recorded`,
  // `labels.vibration` and `labels.led` (nodes).
  function buildLabels(list, rows, labels) {
    const item = (height, content) => {
      const element = document.createElement('li');
      element.style.height = `${height}px`;
      element.append(content);
      return element;
    };
    const items = rows.channels.map((row) => {
      const element = item(rowHeight, labels.channel(row.channel));
      element.dataset.channel = row.channel;
      return element;
    });
    if (rows.recorded) {
      items.push(item(rowHeight, labels.recorded));
      items[items.length - 1].dataset.recorded = '';
    }
    for (const device of ['vibration', 'led']) {
      items.push(item(deviceRowHeight, labels[device]));
      items[items.length - 1].dataset.device = device;
    }
    const axis = item(axisHeight, '');
    axis.setAttribute('aria-hidden', 'true');
    list.replaceChildren(...items, axis);
  }

  function sizeCanvas(canvas, width, height, ratio) {
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
    canvas.style.height = `${height}px`;
    const context = canvas.getContext('2d');
    context.setTransform(ratio, 0, 0, ratio, 0, 0);
    return context;
  }

  // Milliseconds of the piece per CSS pixel of the lanes' width.
  function scaleOf(view) {
    return view.width / Math.max(1, view.timeline.durationMs);
  }

  // Seconds between two marks of the axis: the first step that leaves room
  // for the longest label (the last) and a gap, however long the piece, so
  // that the marks are at most a screenful. Past an hour the steps are 100,
  // 200, 500, 1000, ... minutes.
  function axisStep(context, view) {
    const scale = scaleOf(view), durationMs = view.timeline.durationMs;
    const fits = (seconds) => {
      const room = seconds * 1000 * scale;
      if (room < 48) return false;
      return context.measureText(axisLabel(Math.floor(durationMs / (seconds * 1000)) * seconds)).width + 12 <= room;
    };
    const step = [1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600].find(fits);
    if (step) return step;
    for (let minutes = 100;; minutes *= 10) {
      for (const factor of [1, 2, 5])
        if (fits(factor * minutes * 60)) return factor * minutes * 60;
    }
  }

  function axisLabel(seconds) {
    return T.clockText(seconds * 1000).slice(0, -2);
  }

  // The time axis: a mark and its time every step, each label where it
  // fits whole.
  function drawAxis(context, view) {
    const scale = scaleOf(view), top = view.rows.axis.top;
    context.font = '10px sans-serif';
    context.textBaseline = 'top';
    const step = axisStep(context, view);
    context.fillStyle = view.colour.line;
    context.fillRect(0, top, view.width, 1);
    for (let seconds = 0; seconds * 1000 <= view.timeline.durationMs; seconds += step) {
      const x = seconds * 1000 * scale, label = axisLabel(seconds);
      context.fillStyle = view.colour.line;
      context.fillRect(x, top, 1, 4);
      context.fillStyle = view.colour.axis;
      if (x + 2 + context.measureText(label).width <= view.width) context.fillText(label, x + 2, top + 3);
    }
  }

  // A colour of the style sheet as one pixel of image data: its four bytes
  // seen as one number, in the machine's own byte order.
  function pixelOf(colour) {
    const paint = document.createElement('canvas').getContext('2d');
    paint.fillStyle = colour;
    paint.fillRect(0, 0, 1, 1);
    return new Uint32Array(paint.getImageData(0, 0, 1, 1).data.buffer)[0];
  }

  // The notes and the row lines, into the notes layer, pixel by pixel: many
  // thousands of rectangles drawn one call each would take far longer.
  function drawNotes(view) {
    const {rows, timeline, ratio} = view;
    const context = sizeCanvas(view.notes, view.width, rows.height, ratio);
    const width = view.notes.width, image = context.createImageData(width, view.notes.height);
    const pixels = new Uint32Array(image.data.buffer);
    const line = pixelOf(view.colour.line), ink = pixelOf(view.colour.note);
    for (const row of rows.channels) {
      const y = Math.round((row.top + rowHeight) * ratio) - 1;
      pixels.fill(line, y * width, (y + 1) * width);
    }
    // Per channel: the top of its row and its keys' range, in arrays, for
    // the one loop over every note.
    const last = rows.channels.length ? rows.channels[rows.channels.length - 1].channel : 0;
    const top = new Float64Array(last + 1), low = new Float64Array(last + 1), span = new Float64Array(last + 1);
    for (const row of rows.channels) top[row.channel] = row.top;
    for (const [channel, [lowest, highest]] of T.keyRanges(timeline)) {
      low[channel] = lowest;
      span[channel] = highest - lowest;
    }
    const scale = scaleOf(view) * ratio, room = rowHeight - barHeight - 2,
          bar = Math.max(1, Math.round(barHeight * ratio));
    const notes = timeline.notes;
    for (let i = 0; i < notes.length; ++i) {
      const note = notes[i], channel = note[CHANNEL];
      const height = span[channel] > 0 ? (note[KEY] - low[channel]) / span[channel] : 0.5;
      const y = Math.round((top[channel] + 1 + room * (1 - height)) * ratio);
      // Every note at least one pixel wide, and none past the right edge.
      const x0 = Math.min(Math.floor(note[START] * scale), width - 1);
      const x1 = Math.min(Math.max(x0 + 1, Math.round((note[START] + note[DURATION]) * scale)), width);
      for (let at = y * width, end = (y + bar) * width; at < end; at += width) pixels.fill(ink, at + x0, at + x1);
    }
    context.putImageData(image, 0, 0);
    if (rows.recorded) drawRecorded(context, view);
    drawAxis(context, view);
  }

  // Recorded sound: each span a bar across the middle of its row, at least
  // a pixel wide.
  function drawRecorded(context, view) {
    const row = view.rows.recorded, scale = scaleOf(view), pixel = 1 / view.ratio;
    context.fillStyle = view.colour.recorded;
    for (const [start, duration] of view.timeline.recordedSound)
      context.fillRect(start * scale, row.top + rowHeight / 2 - 4, Math.max(pixel, duration * scale), 8);
  }

  // A device row: grey, lit over the intervals; intervals less than a pixel
  // apart are lit as one.
  function drawDevice(context, view, row, intervals, lit) {
    const scale = scaleOf(view), pixel = 1 / view.ratio;
    context.fillStyle = view.colour.off;
    context.fillRect(0, row.top + 2, view.width, row.height - 4);
    context.fillStyle = lit;
    let from = 0, to = -1;
    for (const [start, end] of intervals) {
      if (start * scale - to < pixel) {
        to = end * scale;
        continue;
      }
      if (to > from) context.fillRect(from, row.top + 2, to - from, row.height - 4);
      from = start * scale;
      to = end * scale;
    }
    if (to > from) context.fillRect(from, row.top + 2, to - from, row.height - 4);
  }

  // Beneath the notes: the tints of the followed channels' rows, and the
  // device rows.
  function drawMarks(view) {
    const {rows, colour} = view;
    const context = sizeCanvas(view.marks, view.width, rows.height, view.ratio);
    const vib = new Set(view.vibChannels), led = new Set(view.ledChannels);
    for (const row of rows.channels) {
      const both = vib.has(row.channel) && led.has(row.channel);
      if (vib.has(row.channel)) {
        context.fillStyle = colour.vibTint;
        context.fillRect(0, row.top, view.width, both ? rowHeight / 2 : rowHeight);
      }
      if (led.has(row.channel)) {
        context.fillStyle = colour.ledTint;
        context.fillRect(0, both ? row.top + rowHeight / 2 : row.top, view.width, both ? rowHeight / 2 : rowHeight);
      }
    }
    drawDevice(context, view, rows.vibration, T.intervalsOf(view.timeline, view.vibChannels), colour.vib);
    drawDevice(context, view, rows.led, T.intervalsOf(view.timeline, view.ledChannels), colour.led);
  }

  function drawPlayhead(view) {
    const context = view.overlay.getContext('2d');
    context.clearRect(0, 0, view.width, view.rows.height);
    context.fillStyle = view.colour.playhead;
    const x = Math.min(view.playheadMs * scaleOf(view), view.width - 2);
    context.fillRect(x, 0, 2, view.rows.height);
  }

  // Everything, for the lanes' present width.
  function drawAll(view) {
    view.width = Math.max(1, view.lanes.clientWidth);
    view.ratio = window.devicePixelRatio || 1;
    drawNotes(view);
    if (view.vibChannels) drawMarks(view);
    sizeCanvas(view.overlay, view.width, view.rows.height, view.ratio);
    drawPlayhead(view);
  }

  // A view of the timeline in `box` (the element holding .rows and .lanes),
  // its rows labelled by `labels` ({channel(channel), recorded, vibration,
  // led}, as buildLabels takes them).
  function create(box, timeline, labels) {
    const lanes = box.querySelector('.lanes');
    const view = {
      box,
      lanes,
      timeline,
      rows: rowsOf(timeline),
      colour: colours(box),
      marks: lanes.querySelector('.marks'),
      notes: lanes.querySelector('.notes'),
      overlay: lanes.querySelector('.overlay'),
      width: 0,
      ratio: 1,
      vibChannels: null,
      ledChannels: null,
      playheadMs: 0,  // the channels, once set
    };
    buildLabels(box.querySelector('.rows'), view.rows, labels);
    lanes.style.height = `${view.rows.height}px`;
    drawAll(view);
    // Drawn again only when the box's width really changes.
    new ResizeObserver(() => {
      if (lanes.clientWidth !== view.width) drawAll(view);
    }).observe(lanes);
    return view;
  }

  // The channels that the vibrator and the LED follow.
  function setChannels(view, vibChannels, ledChannels) {
    view.vibChannels = vibChannels;
    view.ledChannels = ledChannels;
    const vib = new Set(vibChannels), led = new Set(ledChannels);
    for (const label of view.box.querySelectorAll('.rows [data-channel]')) {
      label.classList.toggle('vib', vib.has(Number(label.dataset.channel)));
      label.classList.toggle('led', led.has(Number(label.dataset.channel)));
    }
    drawMarks(view);
  }

  function setPlayhead(view, ms) {
    view.playheadMs = Math.min(Math.max(0, ms), view.timeline.durationMs);
    drawPlayhead(view);
  }

  // The time under a point of the lanes (a client x coordinate).
  function msAt(view, clientX) {
    const x = clientX - view.lanes.getBoundingClientRect().left;
    return Math.min(Math.max(0, x / scaleOf(view)), view.timeline.durationMs);
  }

  // The x coordinate of a time within the lanes, in CSS pixels.
  function xOf(view, ms) {
    return ms * scaleOf(view);
  }

  return {rowHeight, deviceRowHeight, create, setChannels, setPlayhead, msAt, xOf};
})();
