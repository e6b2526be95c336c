// The page: the channel toggles, files taken from the picker or dropped, and
// for each file the inspector's report, its timeline with a player and the
// phone, and the converted download with what it really carries. All texts
// come from index.html; this script only fills them in.
'use strict';

const sorbelinPage = (function () {
  const channelCount = 16;
  // Every file taken, in order: {name, bytes, card, url, report, timeline,
  // view, carried: {vibration, led} (the channels its download links),
  // player}.
  const files = [];
  let engine = null;     // the loaded module, once it is; null again once it ended
  let loading = null;    // the loading of the latest module, settled once it is loaded or refused
  let pending = false;   // while that loading is under way

  // ---- Texts and templates

  function text(name) {
    return document.querySelector('#texts').content.querySelector(`[data-text="${name}"]`).cloneNode(true);
  }

  function field(root, name) {
    return root.querySelector(`[data-field="${name}"]`);
  }

  function fill(element, value) {
    element.replaceChildren(value);
  }

  // ---- Channel toggles

  function buildToggles(row) {
    const toggles = row.querySelector('.toggles');
    for (let channel = 1; channel <= channelCount; ++channel) {
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.id = `${row.id}-${channel}`;
      box.value = channel;
      box.checked = channel === 1;  // channel 1 for both at the start
      const label = document.createElement('label');
      label.htmlFor = box.id;
      label.textContent = channel;
      toggles.append(box, label);
    }
    row.querySelector('.none').addEventListener('click', () => {
      for (const box of toggles.querySelectorAll('input')) box.checked = false;
      convertAll();
    });
    toggles.addEventListener('change', convertAll);
  }

  function maskOf(rowId) {
    let mask = 0;
    for (const box of document.querySelectorAll(`#${rowId} input:checked`)) mask |= 1 << (box.value - 1);
    return mask;
  }

  // The channels of a mask (bit i: channel i + 1), up to channel 32.
  function channelsOf(mask) {
    const channels = [];
    for (let channel = 1; channel <= 32; ++channel)
      if (mask & (1 << (channel - 1))) channels.push(channel);
    return channels;
  }

  function sameChannels(a, b) {
    return a.length === b.length && a.every((channel, k) => channel === b[k]);
  }

  // The choice that links score tracks 6 and 7, as the line after a
  // conversion names it: the words of its label.
  function allTracksChoice() {
    const words = (language) => document.querySelector(`#all-tracks + label [data-choice=${language}]`).textContent;
    return {japanese: `「${words('japanese')}」`, english: `“${words('english')}”`};
  }

  // "1, 3, 9" or the text for none.
  function channelList(channels) {
    return channels.length ? channels.join(', ') : text('none');
  }

  // ---- The inspector's report

  // A row of the report with its value (a text, or nodes), '—' for null;
  // undefined removes the row.
  function showRow(card, name, value) {
    const row = card.querySelector(`[data-row="${name}"]`);
    if (value === undefined) {
      row.remove();
      return;
    }
    const element = field(row, name);
    if (element) fill(element, value === null ? '—' : value instanceof Node ? value : String(value));
  }

  // A text the engine gives in both languages ({japanese, english}), the
  // English beside the Japanese as the page's own texts are.
  function inBothLanguages(texts) {
    const english = document.createElement('span');
    english.lang = 'en';
    english.className = 'en-inline';
    english.textContent = texts.english;
    const both = document.createDocumentFragment();
    both.append(`${texts.japanese} `, english);
    return both;
  }

  // Counts stand above their bars only where every one of them fits; else
  // each shows on hover, and is in every bar's name.
  function fitCounts(chart) {
    const crowded = [...chart.querySelectorAll('.count')].some((count) => count.scrollWidth > count.parentElement.clientWidth);
    chart.classList.toggle('crowded', crowded);
  }

  function drawNotes(chart, notes) {
    const counts = [];
    const last = Math.max(channelCount, ...Object.keys(notes).map(Number));
    for (let channel = 1; channel <= last; ++channel) counts.push(notes[channel] || 0);
    const most = Math.max(1, ...counts);
    counts.forEach((count, index) => {
      const column = document.createElement('li');
      column.dataset.channel = index + 1;
      column.dataset.notes = count;
      column.title = `${index + 1}: ${count}`;
      const bar = document.createElement('span');
      bar.className = 'bar';
      bar.style.height = `${(100 * count) / most}%`;
      const number = document.createElement('span');
      number.className = 'count';
      number.textContent = count;
      const name = document.createElement('span');
      name.className = 'channel';
      name.textContent = index + 1;
      column.append(number, bar, name);
      chart.append(column);
    });
    new ResizeObserver(() => fitCounts(chart)).observe(chart);
  }

  // The report of `sorbelin --info --json`, the piece's length as
  // `sorbelin --info` writes it and the phones a SMAF file is made for, as
  // the engine reads them.
  function showReport(card, report, lengthText, madeFor) {
    showRow(card, 'format', report.format);
    showRow(card, 'version', report.version);
    showRow(card, 'madeFor', madeFor ? inBothLanguages(madeFor) : undefined);
    showRow(card, 'title', report.format ? report.title : undefined);
    showRow(card, 'length', lengthText === null ? undefined : lengthText);
    showRow(card, 'error', report.error === null ? undefined : report.error);
    const links = report.links;
    if (links) {
      fill(field(card, 'vibration'), channelList(links.vibration));
      fill(field(card, 'led'), channelList(links.led));
      showRow(card, 'ledTag', links.ledTag || undefined);
    } else {
      showRow(card, 'links', undefined);
    }
    if (report.notes) drawNotes(field(card, 'notes'), report.notes);
    else showRow(card, 'notes', undefined);
  }

  // ---- The timeline, the player and the phone

  // The phone at the playhead: its body shakes while the vibrator runs and
  // its lamp lights while the LED is on.
  function showPhone(file) {
    const state = sorbelinTimeline.deviceStateAt(file.timeline, file.carried.vibration, file.carried.led,
                                                 file.view.playheadMs);
    const phone = file.card.querySelector('.phone');
    phone.dataset.vibrating = state.vibrating;
    phone.dataset.led = state.led;
  }

  function movePlayhead(file, ms) {
    sorbelinTimelineView.setPlayhead(file.view, ms);
    const at = file.view.playheadMs;
    fill(field(file.card, 'position'), sorbelinTimeline.clockText(at));
    const lanes = file.card.querySelector('.lanes');
    lanes.setAttribute('aria-valuenow', (at / 1000).toFixed(1));
    lanes.setAttribute('aria-valuetext', sorbelinTimeline.clockText(at));
    showPhone(file);
  }

  function setPlaying(file, player) {
    file.player = player;
    file.card.querySelector('.play').setAttribute('aria-pressed', String(Boolean(player)));
  }

  function stop(file) {
    if (!file.player) return;
    file.player.stop();
    setPlaying(file, null);
  }

  // Plays the file from its playhead (from the start once at the end), one
  // file at a time; the playhead and the phone follow the sound's clock.
  function play(file) {
    for (const other of files) stop(other);
    const durationMs = file.timeline.durationMs;
    if (file.view.playheadMs >= durationMs) movePlayhead(file, 0);
    const player = sorbelinSound.play(file.timeline.notes, file.view.playheadMs);
    setPlaying(file, player);
    const frame = () => {
      if (file.player !== player) return;
      const at = player.positionMs();
      movePlayhead(file, at);
      if (at >= durationMs) stop(file);
      else requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  }

  // Moves the playhead; playback, if on, goes on from there.
  function seek(file, ms) {
    const playing = Boolean(file.player);
    stop(file);
    movePlayhead(file, ms);
    if (playing) play(file);
  }

  // Keys on the timeline: arrows step a second, Page Up and Down ten,
  // Home and End go to the ends, Space or Enter plays and stops.
  function onTimelineKey(file, event) {
    const at = file.view.playheadMs, steps = {ArrowLeft: -1000, ArrowRight: 1000, ArrowDown: -1000, ArrowUp: 1000,
                                              PageDown: -10000, PageUp: 10000};
    if (event.key in steps) seek(file, at + steps[event.key]);
    else if (event.key === 'Home') seek(file, 0);
    else if (event.key === 'End') seek(file, file.timeline.durationMs);
    else if (event.key === ' ' || event.key === 'Enter') file.player ? stop(file) : play(file);
    else return;
    event.preventDefault();
  }

  function showTimeline(file) {
    const section = field(file.card, 'player');
    if (!file.timeline || !file.timeline.notes.length) {
      section.remove();
      return;
    }
    const box = section.querySelector('.timeline');
    file.view = sorbelinTimelineView.create(box, file.timeline, {vibration: text('vibration-row'), led: text('led-row')});
    fill(field(file.card, 'duration'), file.lengthText);
    const lanes = box.querySelector('.lanes');
    lanes.setAttribute('aria-valuemax', (file.timeline.durationMs / 1000).toFixed(1));
    lanes.addEventListener('pointerdown', (event) => seek(file, sorbelinTimelineView.msAt(file.view, event.clientX)));
    lanes.addEventListener('keydown', (event) => onTimelineKey(file, event));
    section.querySelector('.play').addEventListener('click', () => (file.player ? stop(file) : play(file)));
    movePlayhead(file, 0);
  }

  // The tints, the device rows and the phone follow what the download carries.
  function followCarried(file) {
    if (!file.view) return;
    sorbelinTimelineView.setChannels(file.view, file.carried.vibration, file.carried.led);
    showPhone(file);
  }

  // ---- Conversion

  // The result message in both languages, and the phone models that it
  // names after an empty line, the same in both, once beneath them.
  function showMessage(converted, message) {
    if (!message) {
      for (const name of ['japanese', 'english', 'models']) field(converted, name).remove();
      return;
    }
    const [japanese, models] = message.japanese.split('\n\n');
    fill(field(converted, 'japanese'), japanese);
    fill(field(converted, 'english'), message.english.split('\n\n')[0]);
    if (models) fill(field(converted, 'models'), models);
    else field(converted, 'models').remove();
  }

  function showConversion(file, vibMask, ledMask) {
    const place = field(file.card, 'result');
    if (file.url) URL.revokeObjectURL(file.url);
    file.url = null;
    const allTracks = document.querySelector('#all-tracks').checked;
    const result = engine ? sorbelinEngine.convert(engine, file.name, file.bytes, vibMask, ledMask, allTracks ? 1 : 0,
                                                   allTracksChoice()) :
                            sorbelinEngine.notConverted('no-module');
    afterEngineCall();
    place.dataset.outcome = result.outcome;
    place.dataset.masks = `${vibMask},${ledMask}`;
    place.dataset.allTracks = allTracks;
    file.carried = {vibration: result.vibration, led: result.led};
    followCarried(file);
    const holdsAll = result.outcome !== 'done' || (sameChannels(result.vibration, channelsOf(vibMask)) &&
                                                   sameChannels(result.led, channelsOf(ledMask)));
    field(file.card, 'mark').hidden = holdsAll;
    file.card.dataset.holds = holdsAll ? 'all' : 'less';
    if (result.outcome !== 'done') {
      fill(place, text(result.outcome));
      return;
    }
    const converted = document.querySelector('#converted').content.cloneNode(true);
    const carries = result.carries || {japanese: null, english: null};
    for (const [name, line] of [['carries', carries.japanese], ['carriesEnglish', carries.english]]) {
      if (line) fill(field(converted, name), line);
      else field(converted, name).remove();
    }
    showMessage(converted, result.message);
    file.url = URL.createObjectURL(new Blob([result.bytes], {type: 'application/octet-stream'}));
    const link = field(converted, 'download');
    link.href = file.url;
    link.download = file.name;
    fill(field(converted, 'fileName'), file.name);
    fill(place, converted);
  }

  // Converts every file again for the channels shown.
  function convertAll() {
    convertEach(files.filter((file) => file.bytes));
  }

  // Converts the files in turn; while a module is loading (a fresh one, once
  // a conversion ended the last), the rest wait for it.
  function convertEach(list) {
    while (list.length) {
      if (pending) {
        loading.then(() => convertEach(list));
        return;
      }
      showConversion(list.shift(), maskOf('vib'), maskOf('led'));
    }
  }

  // ---- Files

  function addCard(name) {
    const card = document.querySelector('#file-card').content.firstElementChild.cloneNode(true);
    fill(card.querySelector('.file-name'), name);
    document.querySelector('#files').append(card);
    return card;
  }

  // A card whose file the engine could not read ('no-memory' or 'failed'):
  // the report and the timeline make way for a message that says why.
  function showUnread(card, failure) {
    card.querySelector('.report').replaceWith(text(`${failure}-report`));
    field(card, 'player').remove();
  }

  // A card without a report or a timeline, that says why.
  function showProblem(card, name) {
    card.querySelector('.report').remove();
    field(card, 'player').remove();
    const place = field(card, 'result');
    place.dataset.outcome = name;
    fill(place, text(name));
  }

  // Waits for the frame that shows what was just drawn, and notes on the
  // card (data-NAME) the time since the file was taken (`takenAt`, on the
  // clock of performance.now()). It resolves once that frame is painted.
  function noteShown(card, name, takenAt) {
    return new Promise((resolve) => requestAnimationFrame(() => {
      card.dataset[name] = (performance.now() - takenAt).toFixed(1);
      setTimeout(resolve, 0);
    }));
  }

  async function takeFile(picked, takenAt) {
    const file = {name: picked.name, bytes: null, card: addCard(picked.name), url: null, report: null,
                  timeline: null, lengthText: null, view: null, carried: {vibration: [], led: []}, player: null};
    files.push(file);
    try {
      file.bytes = new Uint8Array(await picked.arrayBuffer());
    } catch (error) {
      showProblem(file.card, 'unreadable');
      return;
    }
    if (!await engineReady()) {
      showProblem(file.card, 'no-module');
      return;
    }
    const read = sorbelinEngine.read(engine, file.name, file.bytes);
    afterEngineCall();
    if (read.failure) {
      showUnread(file.card, read.failure);
    } else {
      file.report = read.info;
      file.timeline = read.timeline;
      file.lengthText = read.length;
      showReport(file.card, file.report, file.lengthText, read.madeFor);
      showTimeline(file);
    }
    // The timeline goes to the screen before the conversion is made: its
    // rows light up with the links once the download is read back.
    if (file.view) await noteShown(file.card, 'timelineMs', takenAt);
    await engineReady();
    showConversion(file, maskOf('vib'), maskOf('led'));
    noteShown(file.card, 'convertedMs', takenAt);
  }

  function takeFiles(list, takenAt) {
    for (const picked of list) takeFile(picked, takenAt);
  }

  // ---- Start

  // The module, or a rejection where the browser has no WebAssembly (the
  // loader then throws instead of rejecting) or refuses it.
  function loadEngine() {
    try {
      return createSorbelin();
    } catch (error) {
      return Promise.reject(error);
    }
  }

  buildToggles(document.querySelector('#vib'));
  buildToggles(document.querySelector('#led'));
  document.querySelector('#all-tracks').addEventListener('change', convertAll);

  // Loads a module, at the start and in place of one that ended.
  function startEngine() {
    engine = null;
    pending = true;
    loading = loadEngine()
                  .then((module) => { engine = module; },
                        () => { fill(document.querySelector('#status'), text('no-module')); })
                  .then(() => { pending = false; });
  }

  // After each call: a module that the call ended is let go (its memory
  // with it), and a fresh one is started for what comes next.
  function afterEngineCall() {
    if (engine && sorbelinEngine.ended(engine)) startEngine();
  }

  // The module once its loading has settled; null where the browser cannot
  // load it.
  async function engineReady() {
    while (pending) await loading;
    return engine;
  }

  startEngine();

  const input = document.querySelector('#file-input');
  document.querySelector('#choose').addEventListener('click', () => input.click());
  input.addEventListener('change', (event) => {
    takeFiles(input.files, event.timeStamp);
    input.value = '';  // the same file may be taken again
  });

  // Files dropped anywhere on the page are taken, never opened by the browser.
  const zone = document.querySelector('#drop-zone');
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    zone.classList.add('dragging');
  });
  document.addEventListener('dragleave', (event) => {
    if (!event.relatedTarget) zone.classList.remove('dragging');
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    zone.classList.remove('dragging');
    takeFiles(event.dataTransfer.files, event.timeStamp);
  });

  return {files, seek};
})();
