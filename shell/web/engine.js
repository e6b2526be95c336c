// The engine as the page sees it: the WebAssembly module's C interface
// (shell/web/exports.h) wrapped in functions on plain JavaScript values.
// Bytes are copied into the module's memory for each call and every result
// is copied out and released before the function returns.
'use strict';

const sorbelinEngine = (function () {
  // The values of ConvertOutcome (engine/convert.h) that a conversion gives.
  const outcomeNames = {0: 'done', 2: 'not-melody', 3: 'malformed', 4: 'no-memory'};

  // Copies the bytes into the module's memory; 0 when there is no room.
  function copyIn(module, bytes) {
    const at = module._malloc(Math.max(bytes.length, 1));
    if (at) module.HEAPU8.set(bytes, at);
    return at;
  }

  function textAt(module, at) {
    return at ? module.UTF8ToString(at) : null;
  }

  // Calls one of the module's reports on a file's name and bytes and parses
  // the JSON line it gives; null when there is no memory for it.
  function report(module, exported, name, bytes) {
    const namePtr = copyIn(module, new TextEncoder().encode(name + '\0'));
    const bytesPtr = copyIn(module, bytes);
    const json = namePtr && bytesPtr ? exported(namePtr, bytesPtr, bytes.length) : 0;
    module._free(bytesPtr);
    module._free(namePtr);
    if (!json) return null;
    const parsed = JSON.parse(module.UTF8ToString(json));
    module._free(json);
    return parsed;
  }

  // The inspector's report on the bytes, as `sorbelin --info --json` gives it
  // for a file of that name; null when there is no memory for it.
  function inspect(module, name, bytes) {
    return report(module, module._sorbelin_inspect, name, bytes);
  }

  // The note timeline of the bytes, as `sorbelin --timeline --json` gives it
  // for a file of that name: {path, format, error, durationMs, loops,
  // channels, notes: [[channel, startMs, durationMs, key], ...]}; null when
  // there is no memory for it.
  function timeline(module, name, bytes) {
    return report(module, module._sorbelin_timeline, name, bytes);
  }

  // The text of a string the module allocated, which is then released.
  function takeText(module, at) {
    const text = textAt(module, at);
    module._free(at);
    return text;
  }

  // The line that says what a conversion carries, in one language, naming
  // the page's choice that links score tracks 6 and 7 as `choice`.
  function carriesLine(module, conversion, name, japanese, choice) {
    const namePtr = copyIn(module, new TextEncoder().encode(name + '\0'));
    const choicePtr = copyIn(module, new TextEncoder().encode(choice + '\0'));
    const line = namePtr && choicePtr ? takeText(module, module._sorbelin_carries(conversion, namePtr, japanese, choicePtr))
                                      : null;
    module._free(choicePtr);
    module._free(namePtr);
    return line;
  }

  // Converts the bytes of the file named `name` with the two channel masks
  // (bit i: channel i + 1) and the flags (bit 0: SMAF score tracks 6 and 7
  // are linked too, the choice that `choice` names: {japanese, english}).
  // Returns {outcome, bytes, japanese, english, vibCarried, ledCarried,
  // laterTracks, carries}: bytes is the converted file, or null unless
  // outcome is 'done'; the messages are null where none applies; vibCarried
  // and ledCarried are the masks that the converted bytes really link,
  // laterTracks whether they have score tracks 6 or 7 that only the flag
  // links, and carries the line that says what they carry ({japanese,
  // english}), as the native program prints it.
  function convert(module, name, bytes, vibMask, ledMask, flags, choice) {
    const result = {outcome: 'no-memory', bytes: null, japanese: null, english: null, vibCarried: 0, ledCarried: 0,
                    laterTracks: false, carries: null};
    const input = copyIn(module, bytes);
    const conversion = input ? module._sorbelin_convert(input, bytes.length, vibMask, ledMask, flags) : 0;
    module._free(input);
    if (!conversion) return result;
    result.outcome = outcomeNames[module._sorbelin_outcome(conversion)];
    if (result.outcome === 'done') {
      const at = module._sorbelin_output(conversion);
      result.bytes = module.HEAPU8.slice(at, at + module._sorbelin_output_length(conversion));
      result.japanese = textAt(module, module._sorbelin_message(conversion, 1));
      result.english = textAt(module, module._sorbelin_message(conversion, 0));
      result.vibCarried = module._sorbelin_carried(conversion, 0) >>> 0;
      result.ledCarried = module._sorbelin_carried(conversion, 1) >>> 0;
      result.laterTracks = module._sorbelin_later_tracks(conversion) !== 0;
      result.carries = {japanese: carriesLine(module, conversion, name, 1, choice.japanese),
                        english: carriesLine(module, conversion, name, 0, choice.english)};
    }
    module._sorbelin_release(conversion);
    return result;
  }

  return {inspect, timeline, convert};
})();
