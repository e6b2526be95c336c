// The page: the channel toggles, files taken from the picker or dropped, and
// for each file the inspector's report and the converted download. All texts
// come from index.html; this script only fills them in.
'use strict';

(function () {
  const channelCount = 16;
  const files = [];  // {name, bytes, card, url}: every file taken, in order
  let engine = null;  // the loaded module, once it is

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

  // "1, 3, 9" or the text for none.
  function channelList(channels) {
    return channels.length ? channels.join(', ') : text('none');
  }

  function channelsOf(mask) {
    const channels = [];
    for (let channel = 1; channel <= channelCount; ++channel)
      if (mask & (1 << (channel - 1))) channels.push(channel);
    return channels;
  }

  // ---- The inspector's report

  function showRow(card, name, value) {
    const row = card.querySelector(`[data-row="${name}"]`);
    if (value === undefined) {
      row.remove();
      return;
    }
    const element = field(row, name);
    if (element) fill(element, value === null ? '—' : String(value));
  }

  function drawNotes(chart, notes) {
    const counts = [];
    for (let channel = 1; channel <= channelCount; ++channel) counts.push(notes[channel] || 0);
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
  }

  function showReport(card, report) {
    showRow(card, 'format', report.format);
    showRow(card, 'version', report.version);
    showRow(card, 'scoreTrackType', report.scoreTrackType);
    showRow(card, 'title', report.format ? report.title : undefined);
    showRow(card, 'error', report.error === null ? undefined : report.error);
    const links = report.links;
    if (links) {
      fill(field(card, 'vibration'), channelList(links.vibration));
      fill(field(card, 'led'), channelList(links.led));
      showRow(card, 'ledTag', links.ledTag);
    } else {
      showRow(card, 'links', undefined);
    }
    if (report.notes) drawNotes(field(card, 'notes'), report.notes);
    else showRow(card, 'notes', undefined);
  }

  // ---- Conversion

  function showConversion(file, vibMask, ledMask) {
    const place = field(file.card, 'result');
    if (file.url) URL.revokeObjectURL(file.url);
    file.url = null;
    const result = sorbelinEngine.convert(engine, file.bytes, vibMask, ledMask, 0);
    place.dataset.outcome = result.outcome;
    place.dataset.masks = `${vibMask},${ledMask}`;
    if (result.outcome !== 'done') {
      fill(place, text(result.outcome));
      return;
    }
    const converted = document.querySelector('#converted').content.cloneNode(true);
    fill(field(converted, 'vibMask'), channelList(channelsOf(vibMask)));
    fill(field(converted, 'ledMask'), channelList(channelsOf(ledMask)));
    for (const language of ['japanese', 'english']) {
      if (result[language]) fill(field(converted, language), result[language]);
      else field(converted, language).remove();
    }
    file.url = URL.createObjectURL(new Blob([result.bytes], {type: 'application/octet-stream'}));
    const link = field(converted, 'download');
    link.href = file.url;
    link.download = file.name;
    fill(field(converted, 'fileName'), file.name);
    fill(place, converted);
  }

  function convertAll() {
    if (!engine) return;
    const vibMask = maskOf('vib'), ledMask = maskOf('led');
    for (const file of files) if (file.bytes) showConversion(file, vibMask, ledMask);
  }

  // ---- Files

  function addCard(name) {
    const card = document.querySelector('#file-card').content.firstElementChild.cloneNode(true);
    fill(card.querySelector('.file-name'), name);
    document.querySelector('#files').append(card);
    return card;
  }

  // A card without a report, that says why.
  function showProblem(card, name) {
    card.querySelector('.report').remove();
    const place = field(card, 'result');
    place.dataset.outcome = name;
    fill(place, text(name));
  }

  async function takeFile(picked) {
    const file = {name: picked.name, bytes: null, card: addCard(picked.name), url: null};
    files.push(file);
    try {
      file.bytes = new Uint8Array(await picked.arrayBuffer());
    } catch (error) {
      showProblem(file.card, 'unreadable');
      return;
    }
    await loading;
    if (!engine) {
      showProblem(file.card, 'no-module');
      return;
    }
    const report = sorbelinEngine.inspect(engine, file.name, file.bytes);
    if (report) showReport(file.card, report);
    else file.card.querySelector('.report').remove();
    showConversion(file, maskOf('vib'), maskOf('led'));
  }

  function takeFiles(list) {
    for (const picked of list) takeFile(picked);
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

  const loading = loadEngine().then(
      (module) => { engine = module; },
      () => { fill(document.querySelector('#status'), text('no-module')); });

  const input = document.querySelector('#file-input');
  document.querySelector('#choose').addEventListener('click', () => input.click());
  input.addEventListener('change', () => {
    takeFiles(input.files);
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
    takeFiles(event.dataTransfer.files);
  });
})();
