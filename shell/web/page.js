// The page: the choice of channels (おまかせ, the engine's suggestion for
// each file, or the same channels for every file), files taken from the
// picker or dropped, and for each file the inspector's report, the
// suggestion and its reasons, its timeline with a switch, solo and mute on
// every channel's row, a player and the phone, and the converted download
// with what it really carries and where the phone will disappoint; all the
// downloads in one zip. Roles, suggestions, warnings and lengths come from
// the engine, all texts from index.html; this script only fills them in.
'use strict';

const sorbelinPage = (function() {
  const channelCount = 16;                         // a request names channels 1 to 16
  const devices = {vibration: 'vib', led: 'led'};  // each device and its row of toggles
  // Every file taken, in order: {name, bytes, card, url, output (the
  // converted bytes), report, timeline, roles (channel: {role, japanese,
  // english}) and roleNames (channel: role, as the sound takes them),
  // suggested ({plain, allTracks}, the engine's suggestion
  // without and with the score-tracks box), view, chosen and carried
  // ({vibration, led}: the channels asked for and those its download
  // links), mix ({solo, mute}: sets of channels), player}.
  const files = [];
  // The choice for each device: the suggestion of each file, or `own`, the
  // same channels for every file (channel 1 until the user picks others).
  const choice = {vibration: {suggested: true, own: [1]}, led: {suggested: true, own: [1]}};
  let engine = null;    // the loaded module, once it is; null again once it ended
  let loading = null;   // the loading of the latest module, settled once it is loaded or refused
  let pending = false;  // while that loading is under way

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

  // ---- The choice: おまかせ, the toggles and the rows' switches

  function buildToggles(device) {
    const row = document.querySelector(`#${devices[device]}`);
    const toggles = row.querySelector('.toggles');
    for (let channel = 1; channel <= channelCount; ++channel) {
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.id = `${row.id}-${channel}`;
      box.value = channel;
      const label = document.createElement('label');
      label.htmlFor = box.id;
      label.textContent = channel;
      toggles.append(box, label);
    }
    // A toggle picks from what the row shows: nothing while おまかせ is on.
    toggles.addEventListener('change', (event) => {
      const channel = Number(event.target.value);
      const shown = choice[device].suggested ? [] : choice[device].own;
      chooseOwn(device, event.target.checked ? [...shown, channel] : shown.filter((c) => c !== channel));
    });
    row.querySelector('.none').addEventListener('click', () => chooseOwn(device, []));
    row.querySelector('.auto input').addEventListener('change', (event) => {
      choice[device].suggested = event.target.checked;
      showChoice();
      convertAll();
    });
  }

  // The same channels for every file, picked by a toggle or a row's switch:
  // おまかせ is off for that device.
  function chooseOwn(device, channels) {
    choice[device] = {suggested: false, own: [...new Set(channels)].sort((a, b) => a - b)};
    showChoice();
    convertAll();
  }

  function showChoice() {
    for (const [device, id] of Object.entries(devices)) {
      const row = document.querySelector(`#${id}`), {suggested, own} = choice[device];
      row.querySelector('.auto input').checked = suggested;
      row.dataset.suggested = suggested;
      for (const box of row.querySelectorAll('.toggles input'))
        box.checked = !suggested && own.includes(Number(box.value));
    }
  }

  // The engine's suggestion for the file with the score-tracks box as it
  // is: {vibration, led, reasons}; none for a file it could not read.
  function suggestionOf(file) {
    if (!file.suggested) return {vibration: [], led: [], reasons: null};
    return file.suggested[document.querySelector('#all-tracks').checked ? 'allTracks' : 'plain'];
  }

  // The channels the file is converted with for the device.
  function chosenFor(file, device) {
    return choice[device].suggested ? suggestionOf(file)[device] : choice[device].own;
  }

  function maskOf(channels) {
    let mask = 0;
    for (const channel of channels) mask |= 1 << (channel - 1);
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
    const crowded =
        [...chart.querySelectorAll('.count')].some((count) => count.scrollWidth > count.parentElement.clientWidth);
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
    if (report.notes)
      drawNotes(field(card, 'notes'), report.notes);
    else
      showRow(card, 'notes', undefined);
  }

  // The suggestion for the file and its reasons, for each device: the
  // channels with their roles ("6 ベース bass"), and whether おまかせ uses
  // it now. A file that is no melody has none.
  function showSuggestion(file) {
    const section = field(file.card, 'suggestion');
    if (!section) return;
    if (!file.suggested) {
      section.remove();
      return;
    }
    const suggestion = suggestionOf(file);
    for (const device of Object.keys(devices)) {
      const part = section.querySelector(`[data-device=${device}]`);
      const named = document.createDocumentFragment();
      suggestion[device].forEach((channel, index) => {
        const role = file.roles.get(channel);
        named.append(index ? ', ' : '', String(channel));
        if (role) named.append(' ', inBothLanguages(role));
      });
      fill(field(part, 'channels'), suggestion[device].length ? named : text('none'));
      fill(field(part, 'reason'), inBothLanguages(suggestion.reasons[device]));
      part.classList.toggle('in-use', choice[device].suggested);
    }
  }

  // ---- The timeline, its rows' controls, the player and the phone

  // The phone at the playhead: its lamp lights while the LED is on; its
  // body shakes while the vibrator runs during playback, and keeps still
  // with a word for it when stopped.
  function showPhone(file) {
    const state =
        sorbelinTimeline.deviceStateAt(file.timeline, file.carried.vibration, file.carried.led, file.view.playheadMs);
    const phone = file.card.querySelector('.phone');
    phone.dataset.vibrating = state.vibrating;
    phone.dataset.led = state.led;
    phone.dataset.playing = Boolean(file.player);
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
    if (file.view) showPhone(file);
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
    const player = sorbelinSound.play(file.timeline.notes, file.roleNames, file.mix, file.view.playheadMs);
    setPlaying(file, player);
    const frame = () => {
      if (file.player !== player) return;
      const at = player.positionMs();
      movePlayhead(file, at);
      if (at >= durationMs)
        stop(file);
      else
        requestAnimationFrame(frame);
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
    const at = file.view.playheadMs,
          steps =
              {ArrowLeft: -1000, ArrowRight: 1000, ArrowDown: -1000, ArrowUp: 1000, PageDown: -10000, PageUp: 10000};
    if (event.key in steps)
      seek(file, at + steps[event.key]);
    else if (event.key === 'Home')
      seek(file, 0);
    else if (event.key === 'End')
      seek(file, file.timeline.durationMs);
    else if (event.key === ' ' || event.key === 'Enter')
      file.player ? stop(file) : play(file);
    else
      return;
    event.preventDefault();
  }

  // Solo and mute: the rows that are not heard dim, and a playing file
  // hears the change at once.
  function toggleMix(file, set, channel) {
    if (!set.delete(channel)) set.add(channel);
    for (const row of file.card.querySelectorAll('.rows [data-channel]')) {
      const at = Number(row.dataset.channel);
      row.querySelector('.solo').setAttribute('aria-pressed', String(file.mix.solo.has(at)));
      row.querySelector('.mute').setAttribute('aria-pressed', String(file.mix.mute.has(at)));
      row.classList.toggle('silent', !sorbelinSound.audible(file.mix, at));
    }
    if (file.player) file.player.setMix(file.mix);
  }

  // A channel's label: its number and role (the engine's words), its
  // vibration and LED switches, solo and mute, each control named by the
  // row and its own words.
  function channelLabel(file, index, channel) {
    const row = document.querySelector('#channel-row').content.firstElementChild.cloneNode(true);
    const role = file.roles.get(channel);
    fill(field(row, 'channel'), String(channel));
    fill(field(row, 'role'), role ? role.japanese : '');
    fill(field(row, 'roleEnglish'), role ? role.english : '');
    const prefix = `file${index}-${channel}`, name = field(row, 'name');
    name.id = `${prefix}-name`;
    row.querySelectorAll('[data-field=words]').forEach((words, k) => {
      words.id = `${prefix}-words${k}`;
    });
    const controls = [...row.querySelectorAll('.switch, .solo, .mute')];
    controls.forEach((control, k) => control.setAttribute('aria-labelledby', `${name.id} ${prefix}-words${k}`));
    for (const box of row.querySelectorAll('.switch')) {
      box.id = `${prefix}-${box.dataset.device}`;
      box.nextElementSibling.htmlFor = box.id;
      box.value = channel;
      box.addEventListener('change', () => {
        const device = box.dataset.device, shown = chosenFor(file, device);
        chooseOwn(device, box.checked ? [...shown, channel] : shown.filter((c) => c !== channel));
      });
    }
    if (channel > channelCount) {
      // A request names channels 1 to 16 only.
      for (const box of row.querySelectorAll('.switch')) {
        box.nextElementSibling.remove();
        box.replaceWith(text('cannot-link'));
      }
    }
    row.querySelector('.solo').addEventListener('click', () => toggleMix(file, file.mix.solo, channel));
    row.querySelector('.mute').addEventListener('click', () => toggleMix(file, file.mix.mute, channel));
    const content = document.createDocumentFragment();
    content.append(...row.childNodes);
    return content;
  }

  function showTimeline(file) {
    const section = field(file.card, 'player');
    if (!file.timeline || (!file.timeline.notes.length && !file.timeline.recordedSound.length)) {
      section.remove();
      return;
    }
    const box = section.querySelector('.timeline');
    const index = files.indexOf(file);
    file.view = sorbelinTimelineView.create(box, file.timeline, {
      channel: (channel) => channelLabel(file, index, channel),
      recorded: text('recorded-row'),
      vibration: text('vibration-row'),
      led: text('led-row'),
    });
    fill(field(file.card, 'duration'), file.lengthText);
    const lanes = box.querySelector('.lanes');
    lanes.setAttribute('aria-valuemax', (file.timeline.durationMs / 1000).toFixed(1));
    lanes.addEventListener('pointerdown', (event) => seek(file, sorbelinTimelineView.msAt(file.view, event.clientX)));
    lanes.addEventListener('keydown', (event) => onTimelineKey(file, event));
    section.querySelector('.play').addEventListener('click', () => (file.player ? stop(file) : play(file)));
    movePlayhead(file, 0);
  }

  // The tints, the device rows and the phone follow what the download
  // carries; the rows' switches show the channels asked for, marked where
  // the download cannot carry them.
  function followCarried(file) {
    if (!file.view) return;
    sorbelinTimelineView.setChannels(file.view, file.carried.vibration, file.carried.led);
    for (const box of file.card.querySelectorAll('.rows .switch')) {
      const device = box.dataset.device, channel = Number(box.value);
      box.checked = file.chosen[device].includes(channel);
      box.classList.toggle('not-carried', box.checked && !file.carried[device].includes(channel));
    }
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
    if (models)
      fill(field(converted, 'models'), models);
    else
      field(converted, 'models').remove();
  }

  // Where the phone will disappoint with what the download carries, each
  // sentence in both languages.
  function showWarnings(list, warnings) {
    if (!warnings.english.length) {
      list.remove();
      return;
    }
    list.replaceChildren(...warnings.english.map((english, k) => {
      const item = document.createElement('li');
      item.append(inBothLanguages({japanese: warnings.japanese[k], english}));
      return item;
    }));
  }

  // Converts the file with the channels chosen for it, and shows what came
  // of it.
  function showConversion(file) {
    const place = field(file.card, 'result');
    if (file.url) URL.revokeObjectURL(file.url);
    file.url = null;
    file.output = null;
    file.chosen = {vibration: chosenFor(file, 'vibration'), led: chosenFor(file, 'led')};
    const vibMask = maskOf(file.chosen.vibration), ledMask = maskOf(file.chosen.led);
    const allTracks = document.querySelector('#all-tracks').checked;
    // The warnings read the notes again: only for a file whose reading the
    // engine could give.
    const flags = (allTracks ? 1 : 0) | (file.report ? 2 : 0);
    const result = engine ?
        sorbelinEngine.convert(engine, file.name, file.bytes, vibMask, ledMask, flags, allTracksChoice()) :
        sorbelinEngine.notConverted('no-module');
    afterEngineCall();
    place.dataset.outcome = result.outcome;
    place.dataset.masks = `${vibMask},${ledMask}`;
    place.dataset.allTracks = allTracks;
    file.carried = {vibration: result.vibration, led: result.led};
    followCarried(file);
    showSuggestion(file);
    const holdsAll = result.outcome !== 'done' ||
        (sameChannels(result.vibration, channelsOf(vibMask)) && sameChannels(result.led, channelsOf(ledMask)));
    field(file.card, 'mark').hidden = holdsAll;
    file.card.dataset.holds = holdsAll ? 'all' : 'less';
    if (result.outcome !== 'done') {
      fill(place, text(result.outcome));
      offerAll();
      return;
    }
    const converted = document.querySelector('#converted').content.cloneNode(true);
    const carries = result.carries || {japanese: null, english: null};
    for (const [name, line] of [['carries', carries.japanese], ['carriesEnglish', carries.english]]) {
      if (line)
        fill(field(converted, name), line);
      else
        field(converted, name).remove();
    }
    showWarnings(field(converted, 'warnings'), result.warnings);
    showMessage(converted, result.message);
    file.output = result.bytes;
    file.url = URL.createObjectURL(new Blob([result.bytes], {type: 'application/octet-stream'}));
    const link = field(converted, 'download');
    link.href = file.url;
    link.download = file.name;
    fill(field(converted, 'fileName'), file.name);
    fill(place, converted);
    offerAll();
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
      showConversion(list.shift());
    }
  }

  // ---- Download all

  // The button shows once two or more files have a download.
  function offerAll() {
    document.querySelector('#download-all').hidden = files.filter((file) => file.output).length < 2;
  }

  // Every converted file in one zip, each under its own name ("tune.mld";
  // a name taken twice becomes "tune (2).mld"), in the order of the cards.
  function zipOfAll() {
    const entries = {};
    for (const file of files) {
      if (!file.output) continue;
      let name = file.name;
      const dot = name.lastIndexOf('.') > 0 ? name.lastIndexOf('.') : name.length;
      for (let count = 2; name in entries; ++count)
        name = `${file.name.slice(0, dot)} (${count})${file.name.slice(dot)}`;
      entries[name] = file.output;
    }
    return fflate.zipSync(entries);
  }

  let zipUrl = null;
  function downloadAll() {
    if (zipUrl) URL.revokeObjectURL(zipUrl);
    zipUrl = URL.createObjectURL(new Blob([zipOfAll()], {type: 'application/zip'}));
    const link = document.createElement('a');
    link.href = zipUrl;
    link.download = document.querySelector('#download-all').dataset.zipName;
    link.click();
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
    field(card, 'suggestion').remove();
  }

  // A card without a report or a timeline, that says why.
  function showProblem(card, name) {
    card.querySelector('.report').remove();
    field(card, 'player').remove();
    field(card, 'suggestion').remove();
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
    const file = {
      name: picked.name,
      bytes: null,
      card: addCard(picked.name),
      url: null,
      output: null,
      report: null,
      timeline: null,
      lengthText: null,
      roles: new Map(),
      roleNames: new Map(),
      suggested: null,
      view: null,
      chosen: {vibration: [], led: []},
      carried: {vibration: [], led: []},
      mix: {solo: new Set(), mute: new Set()},
      player: null
    };
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
    const read = sorbelinEngine.read(engine, file.name, file.bytes, allTracksChoice());
    afterEngineCall();
    if (read.failure) {
      showUnread(file.card, read.failure);
    } else {
      file.report = read.info;
      file.timeline = read.timeline;
      file.lengthText = read.length;
      file.roles = new Map(read.roles.map((role) => [role.channel, role]));
      file.roleNames = new Map(read.roles.map((role) => [role.channel, role.role]));
      file.suggested = file.report.format ? read.suggested : null;
      showReport(file.card, file.report, file.lengthText, read.madeFor);
      showTimeline(file);
    }
    // The timeline goes to the screen before the conversion is made: its
    // rows light up with the links once the download is read back.
    if (file.view) await noteShown(file.card, 'timelineMs', takenAt);
    await engineReady();
    showConversion(file);
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

  buildToggles('vibration');
  buildToggles('led');
  showChoice();
  document.querySelector('#all-tracks').addEventListener('change', convertAll);
  document.querySelector('#download-all').addEventListener('click', downloadAll);
  // The choice stays on the screen: what scrolls into view with the keyboard
  // or a link stops beneath it.
  const choiceBar = document.querySelector('#choice');
  new ResizeObserver(() => document.documentElement.style.setProperty('--choice-height', `${choiceBar.offsetHeight}px`))
      .observe(choiceBar);

  // Loads a module, at the start and in place of one that ended.
  function startEngine() {
    engine = null;
    pending = true;
    loading = loadEngine()
                  .then(
                      (module) => {
                        engine = module;
                      },
                      () => {
                        fill(document.querySelector('#status'), text('no-module'));
                      })
                  .then(() => {
                    pending = false;
                  });
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
