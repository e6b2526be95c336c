// The drawn timeline of one file: a row per channel that has notes, each
// note a bar at its time, placed in its row by its key; the rows of the
// channels that the vibrator and LED follow tinted; beneath them the
// vibration and LED rows, lit where those channels sound; and the playhead.
// The notes are drawn once into a layer of their own (again only when the
// width changes), so that choosing channels and moving the playhead redraw
// only what they change.
'use strict';

const sorbelinTimelineView = (function () {
  const T = sorbelinTimeline;
  const rowHeight = 14, deviceRowHeight = 18, axisHeight = 14, barHeight = 3;

  // The colours are the style sheet's (--vib, --led, ...), read once per view.
  function colours(element) {
    const style = getComputedStyle(element);
    const colour = (name) => style.getPropertyValue(name).trim();
    return {
      note: colour('--note'), line: colour('--line'), vib: colour('--vib'), led: colour('--led'),
      vibTint: colour('--vib-tint'), ledTint: colour('--led-tint'), off: colour('--device-off'),
      playhead: colour('--playhead'), axis: colour('--muted'),
    };
  }

  // Rows top to bottom: one per channel with notes, then the two devices.
  function rowsOf(timeline) {
    const rows = T.channelsWithNotes(timeline).map((channel, index) => ({channel, top: index * rowHeight}));
    const deviceTop = rows.length * rowHeight;
    return {
      channels: rows,
      vibration: {top: deviceTop, height: deviceRowHeight},
      led: {top: deviceTop + deviceRowHeight, height: deviceRowHeight},
      axis: {top: deviceTop + 2 * deviceRowHeight, height: axisHeight},
      height: deviceTop + 2 * deviceRowHeight + axisHeight,
    };
  }

  // The labels beside the lanes, in the rows' heights; the device rows take
  // their names from the page's texts.
  function buildLabels(list, rows, deviceNames) {
    const items = rows.channels.map((row) => {
      const item = document.createElement('li');
      item.dataset.channel = row.channel;
      item.textContent = row.channel;
      item.style.height = `${rowHeight}px`;
      return item;
    });
    for (const device of ['vibration', 'led']) {
      const item = document.createElement('li');
      item.dataset.device = device;
      item.style.height = `${deviceRowHeight}px`;
      item.append(deviceNames[device]);
      items.push(item);
    }
    const axis = document.createElement('li');
    axis.setAttribute('aria-hidden', 'true');
    axis.style.height = `${axisHeight}px`;
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

  // The time axis: a mark and its time every so many seconds, as many as
  // leave room for their labels.
  function drawAxis(context, view) {
    const scale = scaleOf(view), top = view.rows.axis.top;
    const step = [1, 2, 5, 10, 15, 30, 60, 120, 300].find((seconds) => seconds * 1000 * scale >= 48) || 600;
    context.fillStyle = view.colour.line;
    context.fillRect(0, top, view.width, 1);
    context.font = '10px sans-serif';
    context.textBaseline = 'top';
    for (let seconds = 0; seconds * 1000 <= view.timeline.durationMs; seconds += step) {
      const x = seconds * 1000 * scale;
      context.fillStyle = view.colour.line;
      context.fillRect(x, top, 1, 4);
      context.fillStyle = view.colour.axis;
      if (x + 30 <= view.width) context.fillText(sorbelinTimeline.clockText(seconds * 1000).slice(0, -2), x + 2, top + 3);
    }
  }

  // The notes and the row lines, into the view's layer.
  function drawLayer(view) {
    const {rows, timeline, colour} = view;
    const context = sizeCanvas(view.layer, view.width, rows.height, view.ratio);
    const scale = scaleOf(view), ranges = T.keyRanges(timeline);
    const topOf = new Map(rows.channels.map((row) => [row.channel, row.top]));
    const minimum = 1 / view.ratio;  // the shortest note is still one device pixel wide
    context.fillStyle = colour.line;
    for (const row of rows.channels) context.fillRect(0, row.top + rowHeight - minimum, view.width, minimum);
    drawAxis(context, view);
    context.fillStyle = colour.note;
    const room = rowHeight - barHeight - 2;
    for (const note of timeline.notes) {
      const [low, high] = ranges.get(note[T.CHANNEL]);
      const height = high > low ? (note[T.KEY] - low) / (high - low) : 0.5;
      const y = topOf.get(note[T.CHANNEL]) + 1 + room * (1 - height);
      context.fillRect(note[T.START] * scale, y, Math.max(minimum, note[T.DURATION] * scale), barHeight);
    }
  }

  // A device row: grey, lit over the intervals.
  function drawDevice(context, view, row, intervals, lit) {
    const scale = scaleOf(view);
    context.fillStyle = view.colour.off;
    context.fillRect(0, row.top + 2, view.width, row.height - 4);
    context.fillStyle = lit;
    for (const [start, end] of intervals) context.fillRect(start * scale, row.top + 2, (end - start) * scale, row.height - 4);
  }

  // The tints of the followed channels' rows, the notes, the device rows.
  function drawBase(view) {
    const {rows, colour} = view;
    const context = sizeCanvas(view.base, view.width, rows.height, view.ratio);
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
    context.drawImage(view.layer, 0, 0, view.width, rows.height);
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
    drawLayer(view);
    drawBase(view);
    sizeCanvas(view.overlay, view.width, view.rows.height, view.ratio);
    drawPlayhead(view);
  }

  // A view of the timeline in `box` (the element holding .rows and .lanes),
  // its device rows named by `deviceNames` ({vibration, led}: nodes).
  function create(box, timeline, deviceNames) {
    const lanes = box.querySelector('.lanes');
    const view = {
      box, lanes, timeline, rows: rowsOf(timeline), colour: colours(box),
      base: lanes.querySelector('.base'), overlay: lanes.querySelector('.overlay'),
      layer: document.createElement('canvas'), width: 0, ratio: 1,
      vibChannels: [], ledChannels: [], playheadMs: 0,
    };
    buildLabels(box.querySelector('.rows'), view.rows, deviceNames);
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
    drawBase(view);
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
